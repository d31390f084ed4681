// tests/unit/test_combat.cpp — the hit roll, damage, death and the end of an action
#include <cmath>
#include <set>
#include <string>

#include "tests/unit/combat_fixture.h"

namespace {

using CombatTest = CombatFixture;

}  // namespace

TEST_F(CombatTest, DamageFollowsTheClassPairingAndPrintsItsLine) {
    Archer* archer = placeUnit<Archer>(1, 0, 0);
    Fighter* fighter = placeUnit<Fighter>(1, 0, 1);
    Flier* flier = placeUnit<Flier>(1, 0, 2);
    Healer* healer = placeUnit<Healer>(1, 0, 3);
    Mage* mage = placeUnit<Mage>(1, 0, 4);

    struct Case { Unit* attacker; Unit* target; int hpAfter; const char* line; };
    // Every entry of the class table, and two pairings it does not list.
    const Case cases[] = {
        {mage, fighter, 81, "mage attacks a fighter! Bonus damage!\n"},     // 17 - 7.5 + 10
        {fighter, mage, 45, "fighter attacks a mage! Less damage!\n"},      // 30 - 4.3875 - 5
        {fighter, archer, 49, "fighter attacks an archer! Bonus damage!\n"}, // 30 - 4.8 + 6
        {archer, fighter, 87, "arher attacks a fighter! Less damage!\n"},   // 25 - 7.5 - 4
        {archer, flier, 63, "archer attacks a flier! Bonus damage!\n"},     // 25 - 2.5 + 15
        {flier, archer, 64, "flier attacks an archer! Less damage!\n"},     // 23 - 4.8 - 2
        {flier, healer, 27, "flier attacks a healer! Bonus damage!\n"},     // 23 - 4.125 + 10
        {healer, flier, 89, "healer attacks an flier! Less damage!\n"},     // 15 - 2.5 - 1
        {healer, mage, 47, "healer attacks a mage! Bonus damage!\n"},       // 15 - 4.3875 + 8
        {mage, healer, 47, "mage attacks an healer! Less damage!\n"},       // 17 - 4.125 - 4
        {fighter, fighter, 78, ""},                                          // 30 - 7.5
        {archer, healer, 35, ""},                                            // 25 - 4.125
    };
    for (const Case& c : cases) {
        c.target->hp = c.target->maxHp;
        SCOPED_TRACE("class " + std::to_string(c.attacker->unitClass) + " on class " +
                     std::to_string(c.target->unitClass));
        EXPECT_EQ(captureOutput([&] { resolveDamage(*c.attacker, *c.target); }), c.line);
        EXPECT_EQ(c.target->hp, c.hpAfter);
    }

    // A weakened target takes more: 25 - 1.5 - 4 = 19.5, and survives on 1.
    fighter->hp = 20;
    captureOutput([&] { resolveDamage(*archer, *fighter); });
    EXPECT_EQ(fighter->hp, 1);
    EXPECT_FALSE(fighter->dead);
    EXPECT_EQ(battleMap[0][1].occupant, fighter->id);
}

TEST_F(CombatTest, SpecialAttackAddsAnExtraOfUpToFourteen) {
    Archer* archer = placeUnit<Archer>(1, 2, 1);
    Fighter* fighter = placeUnit<Fighter>(2, 2, 2);
    specialChosen = true;

    std::set<int> extras;
    for (unsigned seed = 1; seed <= 40; seed++) {
        seedRandom(seed);
        fighter->hp = 100;
        std::string out = captureOutput([&] { resolveDamage(*archer, *fighter); });
        int extra = std::stoi(out.substr(9));
        ASSERT_TRUE(extra >= 0 && extra <= 14) << extra;
        extras.insert(extra);
        EXPECT_EQ(out, "An Extra " + std::to_string(extra) +
                           " damage received with special attack\n"
                           "arher attacks a fighter! Less damage!\n");
        EXPECT_EQ(fighter->hp, 100 - static_cast<int>(13.5 + extra));   // 13.5 plus the extra, truncated
    }
    EXPECT_GT(extras.size(), 5u);
}

TEST_F(CombatTest, FallenHeroWinsTheGameForTheOtherPlayerAndStaysOnTheField) {
    Fighter* p1Hero = placeUnit<Fighter>(1, 2, 1);
    Fighter* p2Hero = placeUnit<Fighter>(2, 2, 2);
    p1Hero->hero = p2Hero->hero = true;
    p1Hero->visible = p2Hero->visible = true;

    p2Hero->hp = 10;
    captureOutput([&] { resolveDamage(*p1Hero, *p2Hero); });
    EXPECT_LE(p2Hero->hp, 0);
    EXPECT_TRUE(bannerP1Wins);
    EXPECT_FALSE(bannerP2Wins);
    EXPECT_FALSE(p2Hero->dead);
    EXPECT_TRUE(p2Hero->visible && p2Hero->canAct);
    EXPECT_EQ(battleMap[2][2].occupant, p2Hero->id);

    p1Hero->hp = 10;
    captureOutput([&] { resolveDamage(*p2Hero, *p1Hero); });
    EXPECT_TRUE(bannerP2Wins);
    EXPECT_FALSE(p1Hero->dead);
    EXPECT_TRUE(p1Hero->visible);
}

TEST_F(CombatTest, FallenUnitStopsActingAndFreesItsSquareButStaysListed) {
    Fighter* fighter = placeUnit<Fighter>(1, 2, 1);
    Archer* archer = placeUnit<Archer>(2, 2, 2);
    archer->visible = true;

    // 30 - 0.24 × 30 × 0.25 + 6 = 34.2, more than the 30 left.
    archer->hp = 30;
    captureOutput([&] { resolveDamage(*fighter, *archer); });
    EXPECT_LE(archer->hp, 0);
    EXPECT_TRUE(archer->dead);
    EXPECT_FALSE(archer->visible);
    EXPECT_FALSE(archer->canAct);
    EXPECT_EQ(battleMap[2][2].occupant, -1);
    EXPECT_FALSE(bannerP1Wins || bannerP2Wins);
    ASSERT_EQ(allUnits.size(), 2u);
    EXPECT_EQ(allUnits[1], archer);
    ASSERT_EQ(p2Archers.size(), 1u);

    // Landing on exactly 0 is a fall too: 30 - 0.3 × 27 × 0.25 = 27.975.
    Fighter* victim = placeUnit<Fighter>(2, 0, 1);
    victim->hp = 27;
    captureOutput([&] { resolveDamage(*fighter, *victim); });
    EXPECT_EQ(victim->hp, 0);
    EXPECT_TRUE(victim->dead);
    EXPECT_EQ(battleMap[0][1].occupant, -1);
}

TEST_F(CombatTest, HitRollAtOrBelowTheMissRangeMisses) {
    Flier* flier = placeUnit<Flier>(1, 2, 2);
    Archer* archer = placeUnit<Archer>(1, 2, 0);
    Fighter* fighter = placeUnit<Fighter>(2, 2, 3);
    fighter->evasion = 6;
    ASSERT_TRUE(fighter->defending);   // as every unit is from creation

    auto expectRoll = [](Unit& attacker, Unit& target, int roll, const std::string& range, bool miss) {
        std::string out = attackOnRoll(attacker, target, roll, roll);
        EXPECT_EQ(out, "Hit range = " + std::to_string(roll) + " Miss Range " + range + "\n" +
                           (miss ? "miss!\n" : ""));
        EXPECT_EQ(attackMissed, miss);
    };
    // Perfect accuracy leaves only the flat 15, even against that evasive defender.
    expectRoll(*flier, *fighter, 14, "15", true);
    expectRoll(*flier, *fighter, 15, "15", false);
    // 0.15 × (100 + 6 + 15) + 15 = 33.15 for an Archer on a defending Fighter.
    for (int roll : {0, 33, 34, 100}) expectRoll(*archer, *fighter, roll, "33.15", roll <= 33);
}

TEST_F(CombatTest, MeleeSkillAddsTwentyFiveToTheBonus) {
    Fighter* fighter = placeUnit<Fighter>(1, 2, 2);
    Fighter* defender = placeUnit<Fighter>(2, 2, 3);
    Fighter* standing = placeUnit<Fighter>(2, 3, 2);
    standing->defending = false;
    Mage* mage = placeUnit<Mage>(1, 0, 0);
    Fighter* near = placeUnit<Fighter>(2, 0, 1);

    struct Case { Unit* attacker; Unit* target; bool special; const char* line; };
    const Case cases[] = {
        {fighter, defender, true, "Miss Range 22.3\n"},    // 0.05 × (106 + 40) + 15
        {fighter, defender, false, "Miss Range 21.05\n"},  // 0.05 × (106 + 15) + 15
        {fighter, standing, true, "Miss Range 21.55\n"},   // 0.05 × (106 + 25) + 15
        {fighter, standing, false, "Miss Range 20.3\n"},   // 0.05 × 106 + 15
        {mage, near, true, "Miss Range 21.05\n"},          // magic is no melee skill
    };
    for (const Case& c : cases) {
        specialChosen = c.special;
        std::string out = attackOnRoll(*c.attacker, *c.target, 50, 100);
        EXPECT_EQ(out.substr(out.find("Miss Range")), c.line);
    }
}

TEST_F(CombatTest, AttackerTurnsToFaceItsTarget) {
    Fighter* fighter = placeUnit<Fighter>(1, 2, 2);
    struct Case { int row, col; float facing; };
    // Columns run along +x, rows along +z.
    const Case cases[] = {{2, 3, 90}, {2, 1, -90}, {3, 2, 0}, {1, 2, 180}};
    for (const Case& c : cases) {
        Archer* target = placeUnit<Archer>(2, c.row, c.col);
        attackOnRoll(*fighter, *target, 50, 100);
        EXPECT_NEAR(fighter->facing, c.facing, 0.01f) << "target at " << c.row << "," << c.col;
        EXPECT_EQ(targetUnit, target);
        EXPECT_TRUE(attackAnimating);
    }
}

TEST_F(CombatTest, MissLandsHalfToOneSquareBesideTheTarget) {
    Archer* archer = placeUnit<Archer>(1, 2, 0);
    Fighter* fighter = placeUnit<Fighter>(2, 2, 3);
    bool sawNegative = false, sawPositive = false;
    int misses = 0;
    for (unsigned seed = 1; misses < 20 && seed < 10000; seed++) {
        seedRandom(seed);
        if (randomInt(0, 100) > 33) continue;
        seedRandom(seed);
        confirmTarget(*archer, *fighter);
        captureOutput([] { startAttack(); });
        ASSERT_TRUE(attackMissed);
        misses++;
        float dx = aimPoint.x - fighter->position.x;
        float dz = aimPoint.z - fighter->position.z;
        EXPECT_TRUE(std::fabs(dx) >= 0.5f && std::fabs(dx) <= 1.0f) << dx;
        EXPECT_TRUE(std::fabs(dz) >= 0.5f && std::fabs(dz) <= 1.0f) << dz;
        EXPECT_EQ(aimPoint.y, fighter->position.y);
        EXPECT_TRUE(arrowVolley.end.x == aimPoint.x && arrowVolley.end.z == aimPoint.z);
        sawNegative |= dx < 0 || dz < 0;
        sawPositive |= dx > 0 || dz > 0;
    }
    EXPECT_EQ(misses, 20);
    EXPECT_TRUE(sawNegative && sawPositive);

    // A hit aims at the target itself.
    attackOnRoll(*archer, *fighter, 34, 100);
    EXPECT_FALSE(attackMissed);
    EXPECT_EQ(aimPoint.x, fighter->position.x);
    EXPECT_EQ(aimPoint.z, fighter->position.z);
}

TEST_F(CombatTest, EachClassLaunchesItsOwnAnimation) {
    Archer* archer = placeUnit<Archer>(1, 2, 0);
    Fighter* fighter = placeUnit<Fighter>(1, 1, 1);
    Flier* flier = placeUnit<Flier>(1, 3, 1);
    Healer* healer = placeUnit<Healer>(1, 0, 2);
    Mage* mage = placeUnit<Mage>(1, 4, 2);
    Fighter* target = placeUnit<Fighter>(2, 2, 2);

    // A new volley starts over, except for what the last one travelled.
    arrowVolley.state = 1;
    arrowVolley.released = 7;
    arrowVolley.flightTime = 5;
    arrowVolley.travelled = 9;
    attackOnRoll(*archer, *target, 50, 100);
    EXPECT_EQ(arrowVolley.state, 0);
    EXPECT_EQ(arrowVolley.released, 0);
    EXPECT_EQ(arrowVolley.flightTime, 0);
    EXPECT_EQ(arrowVolley.travelled, 9);
    EXPECT_FLOAT_EQ(arrowVolley.trail[49].x, archer->position.x);

    lungeEffect.backTime = 3;
    lungeEffect.travelled = 4;
    lungeEffect.drawCount = 12;
    attackOnRoll(*fighter, *target, 50, 100);
    EXPECT_EQ(lungeEffect.mode, 2);
    EXPECT_EQ(lungeEffect.drawCount, 0);
    EXPECT_EQ(lungeEffect.backTime, 3);    // carried over
    EXPECT_EQ(lungeEffect.travelled, 4);
    EXPECT_FLOAT_EQ(lungeEffect.distance, std::sqrt(2.0f));

    attackOnRoll(*flier, *target, 50, 100);
    EXPECT_EQ(lungeEffect.mode, 1);
    EXPECT_FLOAT_EQ(lungeEffect.current.z, flier->position.z);

    // The Healer's heal remembers where the target's hp started.
    target->hp = 42;
    healChosen = true;
    attackOnRoll(*healer, *target, 50, 100);
    EXPECT_EQ(particleStyle, 1);
    EXPECT_EQ(healStartHp, 42);
    EXPECT_TRUE(boltActive);
    EXPECT_FLOAT_EQ(boltPosition.x, healer->position.x);
    EXPECT_FLOAT_EQ(boltDirection.z, target->position.z - healer->position.z);

    particleStyle = 0;
    boltActive = false;
    healChosen = false;
    attackOnRoll(*mage, *target, 50, 100);
    EXPECT_EQ(particleStyle, 0);
    EXPECT_TRUE(boltActive);
    EXPECT_FLOAT_EQ(boltStart.z, mage->position.z);
    EXPECT_FLOAT_EQ(boltDirection.z, -2);
}

TEST_F(CombatTest, EndActionClosesTheTurnAndChargesMagicOnlyDownToZero) {
    Fighter* fighter = placeUnit<Fighter>(1, 2, 1);
    Mage* mage = placeUnit<Mage>(1, 0, 0);
    Archer* archer = placeUnit<Archer>(1, 4, 4);
    Healer* target = placeUnit<Healer>(2, 2, 2);

    // A Fighter's skill with no magic points leaves them at 0.
    confirmTarget(*fighter, *target);
    targetUnit = target;
    specialChosen = true;
    attackAnimating = true;
    attackMissed = true;
    target->position = target->position + Vector(0.01f, -0.01f, 0.01f);
    endAction();
    EXPECT_EQ(fighter->mp, 0);
    EXPECT_FALSE(fighter->canAct);
    EXPECT_FALSE(fighter->menuOpen);
    EXPECT_FALSE(attackAnimating || attackTargetValid || choosingTarget || cursorOnUnit);
    EXPECT_FALSE(specialChosen || healChosen || attackMissed);
    EXPECT_TRUE(atCentre(*target));

    confirmTarget(*mage, *target);
    specialChosen = true;
    endAction();
    EXPECT_EQ(mage->mp, 40);

    // A plain attack costs nothing.
    confirmTarget(*archer, *target);
    endAction();
    EXPECT_EQ(archer->mp, 20);
    EXPECT_FALSE(archer->canAct);
}
