// tests/unit/test_units.cpp — the five classes start with their table's statistics
#include <gtest/gtest.h>
#include <vector>

#include "game/unit.h"
#include "tests/support/window_link_fake.h"

using Units = BattleTest;

TEST_F(Units, EachClassStartsWithItsTabledStatistics) {
    struct Stats {
        std::vector<int> whole;     // class, hp, mp, move, range, sight
        std::vector<float> rates;   // accuracy, defence, attack factor, evasion, attack power
    };
    auto statsOf = [](const Unit& u) {
        // Whoever owns it, a new unit may act and counts as defending; its maxima are its start values.
        EXPECT_TRUE(u.canAct && u.defending && !u.dead && !u.hero && !u.menuOpen && !u.visible) << u.unitClass;
        EXPECT_TRUE(u.maxHp == u.hp && u.maxMp == u.mp) << u.unitClass;
        return Stats{{u.unitClass, u.hp, u.mp, u.movePoints, u.attackRange, u.sight},
                     {u.accuracy, u.defence, u.attackFactor, u.evasion, u.attackPower}};
    };
    const std::pair<Stats, Stats> table[] = {
        //                          class hp  mp  move range sight   acc    def    factor evasion power
        {statsOf(Archer(1, 2, 3, 1)),  {{1,  80,  20, 5, 3,  7},  {0.85f, 0.24f, 1.0f,  15.0f, 25.0f}}},
        {statsOf(Fighter(1, 2, 3, 2)), {{2, 100,   0, 5, 1,  4},  {0.95f, 0.3f,  1.0f,   6.0f, 30.0f}}},
        {statsOf(Flier(1, 2, 3, 1)),   {{3, 100,   0, 7, 1, 10},  {1.0f,  0.1f,  1.0f,  25.0f, 23.0f}}},
        {statsOf(Healer(1, 2, 3, 2)),  {{4,  55, 100, 7, 2,  9},  {0.95f, 0.3f,  1.0f,  20.0f, 15.0f}}},
        {statsOf(Mage(1, 2, 3, 1)),    {{5,  65,  50, 6, 3,  6},  {0.95f, 0.27f, 0.85f, 18.0f, 20.0f}}},
    };
    for (const auto& [actual, expected] : table) {
        EXPECT_EQ(actual.whole, expected.whole);
        EXPECT_EQ(actual.rates, expected.rates) << "class " << expected.whole[0];
    }
}

TEST_F(Units, ConstructionTakesPositionAndOwnerAndStartsAnimationsAtRest) {
    Healer healer(4.5f, 0, 7.5f, 2);
    EXPECT_TRUE(healer.position.x == 4.5f && healer.position.y == 0 && healer.position.z == 7.5f);
    EXPECT_EQ(healer.player, 2);
    Unit placeholder;
    EXPECT_TRUE(placeholder.position.x == 0 && placeholder.position.y == 0 && placeholder.position.z == 0);
    EXPECT_FALSE(placeholder.menuOpen);

    Archer archer(0, 0, 0, 1);
    Flier flier(0, 0, 0, 1);
    Mage mage(0, 0, 0, 1);
    EXPECT_EQ((std::vector<float>{archer.swingAngle, archer.flexAngle, archer.flexStep}),
              (std::vector<float>{0, 0, 0.05f}));
    EXPECT_EQ((std::vector<float>{flier.tailStep, flier.wingStep, flier.hoverStep, flier.hoverHeight}),
              (std::vector<float>{0.5f, 1.0f, 0.005f, 0}));
    EXPECT_EQ((std::vector<float>{mage.spin, mage.spinStep}), (std::vector<float>{0, 0.5f}));
}

TEST_F(Units, IdsCountUpInCreationOrderAcrossClasses) {
    Archer first(0, 0, 0, 1);
    Mage second(0, 0, 0, 2);
    Fighter third(0, 0, 0, 1);
    Unit placeholder;   // the base record takes no id
    Flier fourth(0, 0, 0, 2);
    EXPECT_EQ((std::vector<int>{first.id, second.id, third.id, fourth.id, nextUnitId}),
              (std::vector<int>{0, 1, 2, 3, 4}));
}
