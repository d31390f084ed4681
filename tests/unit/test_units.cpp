// tests/unit/test_units.cpp — the five classes start with their table's statistics, ids in creation order
#include <gtest/gtest.h>
#include <vector>

#include "game/unit.h"
#include "tests/support/window_link_fake.h"

using Units = BattleTest;

TEST_F(Units, EachClassStartsWithItsTabledStatisticsAndTakesTheNextId) {
    struct Stats {
        std::vector<int> whole;     // class, hp, mp, move, range, sight, id
        std::vector<float> rates;   // accuracy, defence, attack factor, evasion, attack power
    };
    auto statsOf = [](const Unit& u) {
        // Whoever owns it, a new unit may act and counts as defending; its maxima are its start values.
        EXPECT_TRUE(u.canAct && u.defending && !u.dead && !u.hero && !u.menuOpen && !u.visible) << u.unitClass;
        EXPECT_TRUE(u.maxHp == u.hp && u.maxMp == u.mp) << u.unitClass;
        return Stats{{u.unitClass, u.hp, u.mp, u.movePoints, u.attackRange, u.sight, u.id},
                     {u.accuracy, u.defence, u.attackFactor, u.evasion, u.attackPower}};
    };
    Unit placeholder;   // the base record takes no id
    const std::pair<Stats, Stats> table[] = {
        //                             class hp  mp  move range sight id   acc    def    factor evasion power
        {statsOf(Mage(1, 2, 3, 1)),    {{5,  65,  50, 6, 3,  6, 0},  {0.95f, 0.27f, 0.85f, 18.0f, 20.0f}}},
        {statsOf(Archer(1, 2, 3, 1)),  {{1,  80,  20, 5, 3,  7, 1},  {0.85f, 0.24f, 1.0f,  15.0f, 25.0f}}},
        {statsOf(Fighter(1, 2, 3, 2)), {{2, 100,   0, 5, 1,  4, 2},  {0.95f, 0.3f,  1.0f,   6.0f, 30.0f}}},
        {statsOf(Flier(1, 2, 3, 1)),   {{3, 100,   0, 7, 1, 10, 3},  {1.0f,  0.1f,  1.0f,  25.0f, 23.0f}}},
        {statsOf(Healer(1, 2, 3, 2)),  {{4,  55, 100, 7, 2,  9, 4},  {0.95f, 0.3f,  1.0f,  20.0f, 15.0f}}},
    };
    for (const auto& [actual, expected] : table) {
        EXPECT_EQ(actual.whole, expected.whole);
        EXPECT_EQ(actual.rates, expected.rates) << "class " << expected.whole[0];
    }
    EXPECT_EQ(nextUnitId, 5);
}
