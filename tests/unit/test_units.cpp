// tests/unit/test_units.cpp — the five classes start with their table's statistics
#include <gtest/gtest.h>

#include "game/unit.h"
#include "tests/support/window_link_fake.h"

namespace {

struct ExpectedStats {
    int   unitClass, hp, mp, movePoints, attackRange;
    float accuracy, defence, attackFactor, evasion, attackPower;
    int   sight;
};

void expectStats(const Unit& unit, const ExpectedStats& s) {
    SCOPED_TRACE(s.unitClass);
    EXPECT_EQ(unit.unitClass, s.unitClass);
    EXPECT_EQ(unit.hp, s.hp);
    EXPECT_EQ(unit.maxHp, s.hp);
    EXPECT_EQ(unit.mp, s.mp);
    EXPECT_EQ(unit.maxMp, s.mp);
    EXPECT_EQ(unit.movePoints, s.movePoints);
    EXPECT_EQ(unit.attackRange, s.attackRange);
    EXPECT_FLOAT_EQ(unit.accuracy, s.accuracy);
    EXPECT_FLOAT_EQ(unit.defence, s.defence);
    EXPECT_FLOAT_EQ(unit.attackFactor, s.attackFactor);
    EXPECT_FLOAT_EQ(unit.evasion, s.evasion);
    EXPECT_FLOAT_EQ(unit.attackPower, s.attackPower);
    EXPECT_EQ(unit.sight, s.sight);
    // Whoever owns it, a new unit may act and counts as defending.
    EXPECT_TRUE(unit.canAct);
    EXPECT_TRUE(unit.defending);
    EXPECT_FALSE(unit.dead);
    EXPECT_FALSE(unit.hero);
    EXPECT_FALSE(unit.menuOpen);
    EXPECT_FALSE(unit.visible);
}

}  // namespace

using Units = BattleTest;

TEST_F(Units, EachClassStartsWithItsTabledStatistics) {
    Archer archer(1, 2, 3, 1);
    Fighter fighter(1, 2, 3, 2);
    Flier flier(1, 2, 3, 1);
    Healer healer(1, 2, 3, 2);
    Mage mage(1, 2, 3, 1);
    //                     class hp   mp  move range acc    def    factor evasion power sight
    expectStats(archer,  { 1,    80,  20, 5,   3,    0.85f, 0.24f, 1.0f,  15.0f,  25.0f, 7 });
    expectStats(fighter, { 2,   100,   0, 5,   1,    0.95f, 0.3f,  1.0f,   6.0f,  30.0f, 4 });
    expectStats(flier,   { 3,   100,   0, 7,   1,    1.0f,  0.1f,  1.0f,  25.0f,  23.0f, 10 });
    expectStats(healer,  { 4,    55, 100, 7,   2,    0.95f, 0.3f,  1.0f,  20.0f,  15.0f, 9 });
    expectStats(mage,    { 5,    65,  50, 6,   3,    0.95f, 0.27f, 0.85f, 18.0f,  20.0f, 6 });

    // Only the Mage's attack is scaled: 20 × 0.85.
    EXPECT_FLOAT_EQ(mage.attackPower * mage.attackFactor, 17.0f);
    EXPECT_FLOAT_EQ(archer.attackPower * archer.attackFactor, 25.0f);
}

TEST_F(Units, ConstructionTakesPositionAndOwner) {
    Healer healer(4.5f, 0, 7.5f, 2);
    EXPECT_FLOAT_EQ(healer.position.x, 4.5f);
    EXPECT_FLOAT_EQ(healer.position.y, 0);
    EXPECT_FLOAT_EQ(healer.position.z, 7.5f);
    EXPECT_EQ(healer.player, 2);

    Unit placeholder;
    EXPECT_FLOAT_EQ(placeholder.position.x, 0);
    EXPECT_FLOAT_EQ(placeholder.position.y, 0);
    EXPECT_FLOAT_EQ(placeholder.position.z, 0);
    EXPECT_FALSE(placeholder.menuOpen);
}

TEST_F(Units, AnimationFieldsStartAtRest) {
    Archer archer(0, 0, 0, 1);
    EXPECT_FLOAT_EQ(archer.swingAngle, 0);
    EXPECT_FLOAT_EQ(archer.flexAngle, 0);
    EXPECT_FLOAT_EQ(archer.flexStep, 0.05f);
    Flier flier(0, 0, 0, 1);
    EXPECT_FLOAT_EQ(flier.tailStep, 0.5f);
    EXPECT_FLOAT_EQ(flier.wingStep, 1.0f);
    EXPECT_FLOAT_EQ(flier.hoverStep, 0.005f);
    EXPECT_FLOAT_EQ(flier.hoverHeight, 0);
    Mage mage(0, 0, 0, 1);
    EXPECT_FLOAT_EQ(mage.spin, 0);
    EXPECT_FLOAT_EQ(mage.spinStep, 0.5f);
}

TEST_F(Units, IdsCountUpInCreationOrderAcrossClasses) {
    Archer first(0, 0, 0, 1);
    Mage second(0, 0, 0, 2);
    Fighter third(0, 0, 0, 1);
    Unit placeholder;   // the base record takes no id
    Flier fourth(0, 0, 0, 2);
    EXPECT_EQ(first.id, 0);
    EXPECT_EQ(second.id, 1);
    EXPECT_EQ(third.id, 2);
    EXPECT_EQ(fourth.id, 3);
    EXPECT_EQ(nextUnitId, 4);
}
