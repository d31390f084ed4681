// tests/unit/test_combat.cpp — the hit roll, damage, death and the end of an action
#include <cmath>
#include <set>
#include <sstream>
#include <string>

#include "game/battle_map.h"
#include "game/random.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "tests/support/window_link_fake.h"

namespace {

// The state target choice leaves behind when Insert confirms a target.
void confirmTarget(Unit& attacker, const Unit& target) {
    selectedUnit = &attacker;
    attacker.menuOpen = true;
    cursorRow = target.row;
    cursorCol = target.col;
    choosingTarget = true;
    attackTargetValid = true;
}

// Seeds the generator so that the hit roll, the first draw of an attack,
// falls in [lo, hi].
void seedForRoll(int lo, int hi) {
    for (unsigned seed = 1; seed < 100000; seed++) {
        seedRandom(seed);
        int roll = randomInt(0, 100);
        if (roll >= lo && roll <= hi) {
            seedRandom(seed);
            return;
        }
    }
    FAIL() << "no seed rolls between " << lo << " and " << hi;
}

// The roll printed on the "Hit range = " line.
int printedRoll(const std::string& output) {
    std::istringstream in(output);
    std::string hit, range, equals;
    int roll = -1;
    in >> hit >> range >> equals >> roll;
    return roll;
}

class CombatTest : public BattleTest {
protected:
    void SetUp() override {
        BattleTest::SetUp();
        loadUniformMap(7, 7, 1);   // a map needs more than six rows
    }
};

}  // namespace

TEST_F(CombatTest, ArcherHittingFighterLosesFourForThePairing) {
    Archer* archer = placeUnit<Archer>(1, 2, 1);
    Fighter* fighter = placeUnit<Fighter>(2, 2, 2);

    // 25 - 0.3 × 100 × 0.25 = 17.5, less 4: 13.5, of which 13 is taken.
    std::string out = captureOutput([&] { resolveDamage(*archer, *fighter); });
    EXPECT_EQ(out, "arher attacks a fighter! Less damage!\n");
    EXPECT_EQ(fighter->hp, 87);

    // A weakened target takes more: 25 - 1.5 - 4 = 19.5, and survives on 1.
    fighter->hp = 20;
    captureOutput([&] { resolveDamage(*archer, *fighter); });
    EXPECT_EQ(fighter->hp, 1);
    EXPECT_FALSE(fighter->dead);
    EXPECT_EQ(battleMap[2][2].occupant, fighter->id);
}

TEST_F(CombatTest, EachClassPairingPrintsItsLineAndOthersPrintNothing) {
    Archer* archer = placeUnit<Archer>(1, 0, 0);
    Fighter* fighter = placeUnit<Fighter>(1, 0, 1);
    Flier* flier = placeUnit<Flier>(1, 0, 2);
    Healer* healer = placeUnit<Healer>(1, 0, 3);
    Mage* mage = placeUnit<Mage>(1, 0, 4);

    struct Case {
        Unit* attacker;
        Unit* target;
        int hpAfter;
        const char* line;
    };
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
        {mage, mage, 53, ""},                                                // 17 - 4.3875
    };
    for (const Case& c : cases) {
        c.target->hp = c.target->maxHp;
        std::string out = captureOutput([&] { resolveDamage(*c.attacker, *c.target); });
        EXPECT_EQ(out, c.line) << "class " << c.attacker->unitClass << " on class " << c.target->unitClass;
        EXPECT_EQ(c.target->hp, c.hpAfter) << "class " << c.attacker->unitClass << " on class "
                                          << c.target->unitClass;
    }
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
        std::istringstream in(out);
        std::string an, word;
        int extra = -1;
        in >> an >> word >> extra;
        ASSERT_EQ(an + " " + word, "An Extra") << out;
        ASSERT_GE(extra, 0);
        ASSERT_LE(extra, 14);
        extras.insert(extra);
        EXPECT_EQ(out, "An Extra " + std::to_string(extra) +
                           " damage received with special attack\n"
                           "arher attacks a fighter! Less damage!\n");
        // 13.5 plus the extra, truncated.
        EXPECT_EQ(fighter->hp, 100 - static_cast<int>(13.5 + extra));
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
    EXPECT_TRUE(p2Hero->visible);
    EXPECT_TRUE(p2Hero->canAct);
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
    Fighter* striker = placeUnit<Fighter>(1, 0, 0);
    Fighter* victim = placeUnit<Fighter>(2, 0, 1);
    victim->hp = 27;
    captureOutput([&] { resolveDamage(*striker, *victim); });
    EXPECT_EQ(victim->hp, 0);
    EXPECT_TRUE(victim->dead);
    EXPECT_EQ(battleMap[0][1].occupant, -1);
}

TEST_F(CombatTest, PerfectAccuracyMissesOnlyBelowFifteen) {
    Flier* flier = placeUnit<Flier>(1, 2, 2);
    Unit* targets[] = {placeUnit<Archer>(2, 1, 2), placeUnit<Fighter>(2, 3, 2),
                       placeUnit<Healer>(2, 2, 1), placeUnit<Mage>(2, 2, 3)};
    for (Unit* target : targets) {
        for (int roll : {14, 15}) {
            seedForRoll(roll, roll);
            confirmTarget(*flier, *target);
            attackMissed = false;
            std::string out = captureOutput([] { startAttack(); });
            std::string expected = "Hit range = " + std::to_string(roll) + " Miss Range 15\n";
            if (roll < 15) expected += "miss!\n";
            EXPECT_EQ(out, expected);
            EXPECT_EQ(attackMissed, roll < 15);
        }
    }
}

TEST_F(CombatTest, ArcherAgainstDefendingFighterMissesUpToThirtyThree) {
    Archer* archer = placeUnit<Archer>(1, 2, 0);
    Fighter* fighter = placeUnit<Fighter>(2, 2, 3);
    fighter->evasion = 6;
    ASSERT_TRUE(fighter->defending);   // as every unit is from creation

    // 0.15 × (100 + 6 + 15) + 15 = 33.15.
    for (int roll : {0, 33, 34, 100}) {
        seedForRoll(roll, roll);
        confirmTarget(*archer, *fighter);
        attackMissed = false;
        std::string out = captureOutput([] { startAttack(); });
        std::string expected = "Hit range = " + std::to_string(roll) + " Miss Range 33.15\n";
        if (roll <= 33) expected += "miss!\n";
        EXPECT_EQ(out, expected);
        EXPECT_EQ(attackMissed, roll <= 33);
    }
}

TEST_F(CombatTest, MeleeSkillAddsTwentyFiveToTheBonus) {
    Fighter* fighter = placeUnit<Fighter>(1, 2, 2);
    Fighter* defender = placeUnit<Fighter>(2, 2, 3);
    Fighter* standing = placeUnit<Fighter>(2, 3, 2);
    standing->defending = false;

    auto missRangeLine = [&](Unit& target, bool special) {
        seedForRoll(50, 100);
        confirmTarget(*fighter, target);
        specialChosen = special;
        std::string out = captureOutput([] { startAttack(); });
        return out.substr(out.find("Miss Range"));
    };
    EXPECT_EQ(missRangeLine(*defender, true), "Miss Range 22.3\n");    // 0.05 × (106 + 40) + 15
    EXPECT_EQ(missRangeLine(*defender, false), "Miss Range 21.05\n");  // 0.05 × (106 + 15) + 15
    EXPECT_EQ(missRangeLine(*standing, true), "Miss Range 21.55\n");   // 0.05 × (106 + 25) + 15
    EXPECT_EQ(missRangeLine(*standing, false), "Miss Range 20.3\n");   // 0.05 × 106 + 15

    // A Mage's magic is no melee skill: only the defence counts.
    Mage* mage = placeUnit<Mage>(1, 0, 0);
    Fighter* near = placeUnit<Fighter>(2, 0, 1);
    seedForRoll(50, 100);
    confirmTarget(*mage, *near);
    specialChosen = true;
    std::string out = captureOutput([] { startAttack(); });
    EXPECT_EQ(out.substr(out.find("Miss Range")), "Miss Range 21.05\n");   // 0.05 × (106 + 15) + 15
}

TEST_F(CombatTest, AttackerTurnsToFaceItsTarget) {
    Fighter* fighter = placeUnit<Fighter>(1, 2, 2);
    struct Case {
        int row, col;
        float facing;
    };
    // Columns run along +x, rows along +z.
    const Case cases[] = {{2, 3, 90}, {2, 1, -90}, {3, 2, 0}, {1, 2, 180}};
    for (const Case& c : cases) {
        Archer* target = placeUnit<Archer>(2, c.row, c.col);
        seedForRoll(50, 100);
        confirmTarget(*fighter, *target);
        captureOutput([] { startAttack(); });
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
        attackMissed = false;
        std::string out = captureOutput([] { startAttack(); });
        ASSERT_LT(printedRoll(out), 34);
        ASSERT_TRUE(attackMissed);
        misses++;
        float dx = aimPoint.x - fighter->position.x;
        float dz = aimPoint.z - fighter->position.z;
        EXPECT_GE(std::fabs(dx), 0.5f);
        EXPECT_LE(std::fabs(dx), 1.0f);
        EXPECT_GE(std::fabs(dz), 0.5f);
        EXPECT_LE(std::fabs(dz), 1.0f);
        EXPECT_EQ(aimPoint.y, fighter->position.y);
        EXPECT_EQ(arrowVolley.end.x, aimPoint.x);
        EXPECT_EQ(arrowVolley.end.z, aimPoint.z);
        sawNegative |= dx < 0 || dz < 0;
        sawPositive |= dx > 0 || dz > 0;
    }
    EXPECT_EQ(misses, 20);
    EXPECT_TRUE(sawNegative && sawPositive);

    // A hit aims at the target itself.
    seedForRoll(34, 100);
    confirmTarget(*archer, *fighter);
    attackMissed = false;
    captureOutput([] { startAttack(); });
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
    Vector centre = battleMap[2][2].centre;

    seedForRoll(50, 100);
    confirmTarget(*archer, *target);
    arrowVolley.state = 1;
    arrowVolley.released = 7;
    arrowVolley.travelled = 9;
    captureOutput([] { startAttack(); });
    EXPECT_EQ(arrowVolley.state, 0);
    EXPECT_EQ(arrowVolley.released, 0);
    EXPECT_EQ(arrowVolley.flightTime, 0);
    EXPECT_EQ(arrowVolley.travelled, 9);   // left as the last volley had it
    EXPECT_FLOAT_EQ(arrowVolley.distance, 2);
    EXPECT_FLOAT_EQ(arrowVolley.direction.x, 1);
    EXPECT_FLOAT_EQ(arrowVolley.trail[49].x, archer->position.x);
    EXPECT_FLOAT_EQ(arrowVolley.end.x, centre.x);

    lungeEffect.backTime = 3;
    lungeEffect.travelled = 4;
    lungeEffect.drawCount = 12;
    seedForRoll(50, 100);
    confirmTarget(*fighter, *target);
    captureOutput([] { startAttack(); });
    EXPECT_EQ(lungeEffect.mode, 2);
    EXPECT_EQ(lungeEffect.drawCount, 0);
    EXPECT_EQ(lungeEffect.backTime, 3);    // carried over
    EXPECT_EQ(lungeEffect.travelled, 4);
    EXPECT_FLOAT_EQ(lungeEffect.distance, std::sqrt(2.0f));

    seedForRoll(50, 100);
    confirmTarget(*flier, *target);
    captureOutput([] { startAttack(); });
    EXPECT_EQ(lungeEffect.mode, 1);
    EXPECT_FLOAT_EQ(lungeEffect.current.z, flier->position.z);

    // The Healer's heal remembers where the target's hp started.
    target->hp = 42;
    seedForRoll(50, 100);
    confirmTarget(*healer, *target);
    healChosen = true;
    captureOutput([] { startAttack(); });
    EXPECT_EQ(particleStyle, 1);
    EXPECT_EQ(healStartHp, 42);
    EXPECT_TRUE(boltActive);
    EXPECT_FLOAT_EQ(boltPosition.x, healer->position.x);
    EXPECT_FLOAT_EQ(boltDirection.z, centre.z - healer->position.z);

    healChosen = false;
    seedForRoll(50, 100);
    confirmTarget(*healer, *target);
    captureOutput([] { startAttack(); });
    EXPECT_EQ(particleStyle, 2);

    particleStyle = 0;
    boltActive = false;
    seedForRoll(50, 100);
    confirmTarget(*mage, *target);
    captureOutput([] { startAttack(); });
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
    EXPECT_EQ(target->position.x, battleMap[2][2].centre.x);
    EXPECT_EQ(target->position.y, battleMap[2][2].centre.y);
    EXPECT_EQ(target->position.z, battleMap[2][2].centre.z);

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
