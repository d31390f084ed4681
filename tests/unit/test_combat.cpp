// tests/unit/test_combat.cpp — the hit roll, damage, death, the end of an action, and each class's
// attack played from its launch to its outcome
#include <cmath>
#include <string>

#include "game/battle_map.h"
#include "game/random.h"
#include "rules/behaviour.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "tests/support/window_link_fake.h"

namespace {

class CombatTest : public BattleTest {
protected:
    void SetUp() override {
        BattleTest::SetUp();
        loadUniformMap(7, 7, 1);
    }

    // Insert on the target with the attacker's menu open, on a roll in [lo, hi]; what the launch printed.
    static std::string attackOnRoll(Unit& attacker, const Unit& target, int lo, int hi) {
        seedForRoll(lo, hi);
        selectedUnit = &attacker;
        attacker.menuOpen = choosingTarget = attackTargetValid = true;
        attackMissed = false;   // as the last endAction left it
        cursorRow = target.row;
        cursorCol = target.col;
        return captureOutput([] { startAttack(); });
    }
};

TEST_F(CombatTest, DamageFollowsTheClassPairingAndPrintsItsLine) {
    Unit* units[6];
    for (int unitClass = CLASS_ARCHER; unitClass <= CLASS_MAGE; unitClass++)
        units[unitClass] = placeUnitOfClass(unitClass, 1, 0, unitClass);
    const struct { int attacker, target, hpBefore, hpAfter; const char* line; } cases[] = {
        // Every entry of the class table, two pairings it does not list, and a weakened target.
        {CLASS_MAGE, CLASS_FIGHTER, 100, 81, "mage attacks a fighter! Bonus damage!\n"},      // 17 - 7.5 + 10
        {CLASS_FIGHTER, CLASS_MAGE, 65, 45, "fighter attacks a mage! Less damage!\n"},        // 30 - 4.3875 - 5
        {CLASS_FIGHTER, CLASS_ARCHER, 80, 49, "fighter attacks an archer! Bonus damage!\n"},  // 30 - 4.8 + 6
        {CLASS_ARCHER, CLASS_FIGHTER, 100, 87, "arher attacks a fighter! Less damage!\n"},    // 25 - 7.5 - 4
        {CLASS_ARCHER, CLASS_FLIER, 100, 63, "archer attacks a flier! Bonus damage!\n"},      // 25 - 2.5 + 15
        {CLASS_FLIER, CLASS_ARCHER, 80, 64, "flier attacks an archer! Less damage!\n"},       // 23 - 4.8 - 2
        {CLASS_FLIER, CLASS_HEALER, 55, 27, "flier attacks a healer! Bonus damage!\n"},       // 23 - 4.125 + 10
        {CLASS_HEALER, CLASS_FLIER, 100, 89, "healer attacks an flier! Less damage!\n"},      // 15 - 2.5 - 1
        {CLASS_HEALER, CLASS_MAGE, 65, 47, "healer attacks a mage! Bonus damage!\n"},         // 15 - 4.3875 + 8
        {CLASS_MAGE, CLASS_HEALER, 55, 47, "mage attacks an healer! Less damage!\n"},         // 17 - 4.125 - 4
        {CLASS_FIGHTER, CLASS_FIGHTER, 100, 78, ""},                                          // 30 - 7.5
        {CLASS_ARCHER, CLASS_HEALER, 55, 35, ""},                                             // 25 - 4.125
        {CLASS_ARCHER, CLASS_FIGHTER, 20, 1, "arher attacks a fighter! Less damage!\n"},      // 25 - 1.5 - 4
    };
    for (const auto& c : cases) {
        Unit& target = *units[c.target];
        target.hp = c.hpBefore;
        EXPECT_EQ(captureOutput([&] { resolveDamage(*units[c.attacker], target); }), c.line);
        EXPECT_EQ(target.hp, c.hpAfter) << "class " << c.attacker << " on class " << c.target;
    }
    EXPECT_FALSE(units[CLASS_FIGHTER]->dead);
}

// A fallen hero wins for the other side and stays; anyone else leaves at once, even at 0 hp.
TEST_F(CombatTest, TheFallenLeaveTheFieldUnlessTheyAreHeroes) {
    Fighter* fighter = placeUnit<Fighter>(1, 2, 1);
    const struct { bool hero; int player, hp; bool p1Wins, p2Wins; } cases[] = {
        {false, 2, 27, false, false},   // 30 - 0.3 × 27 × 0.25 = 27.975
        {true, 2, 10, true, false},
        {true, 1, 10, false, true},
    };
    for (const auto& c : cases) {
        bannerP1Wins = bannerP2Wins = false;
        Fighter* target = placeUnit<Fighter>(c.player, 4, 4);
        target->hero = c.hero;
        target->visible = true;
        target->hp = c.hp;
        captureOutput([&] { resolveDamage(*fighter, *target); });
        currentPlayer = c.player;
        beginTurn();   // no action back for the fallen
        EXPECT_LE(target->hp, 0);
        EXPECT_EQ(target->dead, !c.hero);
        EXPECT_TRUE(target->visible == c.hero && target->canAct == c.hero);
        EXPECT_EQ(battleMap[4][4].occupant, c.hero ? target->id : -1);
        EXPECT_TRUE(bannerP1Wins == c.p1Wins && bannerP2Wins == c.p2Wins) << "hero of player " << c.player;
        battleMap[4][4].occupant = -1;
    }
    EXPECT_EQ(allUnits.size(), 4u) << "the fallen stay listed";
}

// Miss range = (1 - accuracy) × (100 + evasion + bonus) + 15, the bonus 15
// for a defending target (every unit from its creation) and 25 for a melee
// skill; a roll below it misses, and the shot lands beside the target.
TEST_F(CombatTest, HitRollBelowTheMissRangeMissesBesideTheTarget) {
    Flier* flier = placeUnit<Flier>(1, 2, 2);
    Archer* archer = placeUnit<Archer>(1, 2, 0);
    Fighter* fighter = placeUnit<Fighter>(1, 3, 2);
    Fighter* defender = placeUnit<Fighter>(2, 2, 3);
    Fighter* standing = placeUnit<Fighter>(2, 4, 2);
    standing->defending = false;
    const struct { Unit* attacker; Unit* target; bool special; int roll; const char* range; bool miss; } cases[] = {
        {flier, defender, false, 14, "15", true},   // perfect accuracy leaves only the flat 15
        {flier, defender, false, 15, "15", false},
        {archer, defender, false, 33, "33.15", true},
        {archer, defender, false, 34, "33.15", false},
        {fighter, defender, true, 50, "22.3", false},     // 0.05 × (106 + 40) + 15
        {fighter, defender, false, 21, "21.05", true},
        {fighter, standing, true, 21, "21.55", true},
        {fighter, standing, false, 21, "20.3", false},
    };
    for (const auto& c : cases) {
        specialChosen = c.special;
        EXPECT_EQ(attackOnRoll(*c.attacker, *c.target, c.roll, c.roll),
                  "Hit range = " + std::to_string(c.roll) + " Miss Range " + c.range + "\n" + (c.miss ? "miss!\n" : ""));
        EXPECT_EQ(attackMissed, c.miss);
        const float dx = std::fabs(aimPoint.x - c.target->position.x), dz = std::fabs(aimPoint.z - c.target->position.z);
        EXPECT_TRUE(c.miss ? dx >= 0.5f && dx <= 1 && dz >= 0.5f && dz <= 1 : dx == 0 && dz == 0) << dx << ", " << dz;
    }
}

// Each attack from Insert to its end, one update a frame, the target two squares right of an
// Archer or Mage, one of the others; the Healer's timer and the lunge's return counter carry
// over. A Mage's updates count from its bolt's landing; random extras are not checked. The end
// leaves nothing chosen, aimed or selected.
TEST_F(CombatTest, EachClassPlaysItsAttackToItsOutcome) {
    const char* const STRUCK_TWICE = "mage attacks a fighter! Bonus damage!\nmage attacks a fighter! Bonus damage!\n";
    const struct {
        int attacker, item, target, targetHp;   // item 2: Skills, Healing or Magic
        bool hit;
        float frameSeconds;
        int timer;
        float returnCounter;
        int updates;
        const char* printed;
        int hpAfter, mpAfter;
    } sequences[] = {
        {CLASS_ARCHER, 1, CLASS_FIGHTER, 100, true, 0.05f, 0, 0, 27 + 49 + 27, "arher attacks a fighter! Less damage!\n", 87, 20},
        // out, five updates at the target while the return counter is below 5, back
        {CLASS_FIGHTER, 1, CLASS_ARCHER, 80, true, 0.0625f, 0, 0, 11 + 5 + 11, "fighter attacks an archer! Bonus damage!\n", 49, 0},
        {CLASS_FIGHTER, 1, CLASS_ARCHER, 80, true, 0.0625f, 0, 5, 11 + 11, "fighter attacks an archer! Bonus damage!\n", 49, 0},
        {CLASS_FIGHTER, 2, CLASS_ARCHER, 80, true, 0.0625f, 0, 5, 11 + 11, nullptr, -1, 0},   // Skills: 0 points stay 0
        {CLASS_FLIER, 1, CLASS_HEALER, 55, true, 0.05f, 0, 0, 14 + 14, "flier attacks a healer! Bonus damage!\n", 27, 0},
        // three seconds of waiting, then 1 hp an update until 30 % of the maximum is gained
        {CLASS_HEALER, 2, CLASS_FIGHTER, 50, true, 0.05f, 0, 0, 59 + 30, "", 80, 90},
        {CLASS_HEALER, 2, CLASS_FIGHTER, 80, true, 0.05f, 445, 0, 20, "", 100, 90},
        {CLASS_HEALER, 2, CLASS_HEALER, 20, false, 0.05f, 445, 0, 17, "", 37, 90},   // 16.5 of 55; a miss heals too
        {CLASS_HEALER, 1, CLASS_FIGHTER, 100, true, 0.05f, 0, 0, 200, "", 93, 100},      // strikes at ten seconds
        {CLASS_MAGE, 1, CLASS_FIGHTER, 100, true, 0.25f, 0, 0, 9, STRUCK_TWICE, 61, 50},  // one stage of 8, then two blows
        {CLASS_MAGE, 1, CLASS_FIGHTER, 100, true, 0.25f, 445, 0, 1, STRUCK_TWICE, 61, 50},  // after a Healer's timer
        {CLASS_MAGE, 2, CLASS_FIGHTER, 100, true, 0.25f, 0, 0, 8 * 5 + 1, nullptr, -1, 40},  // Magic: five stages
        {CLASS_MAGE, 2, CLASS_FIGHTER, 100, false, 0.25f, 3, 0, 1, "", 100, 40},  // a miss ends before the bolt lands
    };
    for (const auto& s : sequences) {
        resetBattleState();
        loadUniformMap(7, 7, 1);
        const bool ranged = s.attacker == CLASS_ARCHER || s.attacker == CLASS_MAGE;
        Unit* attacker = placeUnitOfClass(s.attacker, 1, 2, ranged ? 0 : 1);
        const bool healing = s.item == 2 && s.attacker == CLASS_HEALER;
        Unit* target = placeUnitOfClass(s.target, healing ? 1 : 2, 2, 2);
        target->hp = s.targetHp;
        healChosen = healing;
        specialChosen = s.item == 2 && !healing;
        actionCounter = s.timer;
        lungeEffect.backTime = s.returnCounter;
        SCOPED_TRACE("class " + std::to_string(s.attacker) + ", item " + std::to_string(s.item) +
                     ", timer " + std::to_string(s.timer) + ", return " + std::to_string(s.returnCounter));
        s.hit ? attackOnRoll(*attacker, *target, 90, 100) : attackOnRoll(*attacker, *target, 0, 10);
        ASSERT_EQ(attackMissed, !s.hit);
        cursorOnUnit = true;
        frameSeconds = s.frameSeconds;
        int updates = 0, landed = 0;
        const std::string printed = captureOutput([&] {
            while (attackAnimating && updates < 100000) {
                const bool flying = boltActive;
                lungeEffect.drawCount++;
                attackStep();
                updates++;
                if (flying && !boltActive) landed = updates;
            }
        });
        EXPECT_EQ(updates - landed, s.updates);
        if (s.printed) {
            EXPECT_EQ(printed, s.printed);
        }
        if (s.hpAfter >= 0) {
            EXPECT_EQ(target->hp, s.hpAfter);
        }
        EXPECT_EQ(attacker->mp, s.mpAfter);
        EXPECT_EQ(missShown, !s.hit && !healing);
        EXPECT_FALSE(attacker->canAct || attacker->menuOpen || cursorOnUnit || choosingTarget || attackTargetValid);
        EXPECT_FALSE(specialChosen || healChosen || attackMissed);
        EXPECT_TRUE(target->position.x == 2.5f && target->position.z == 3.5f) << "back on its square";
    }
}

TEST_F(CombatTest, FlierSwoopWaitsForItsLightningToBeDrawn) {
    Flier* flier = placeUnit<Flier>(1, 2, 1);
    attackOnRoll(*flier, *placeUnit<Healer>(2, 2, 2), 90, 100);
    frameSeconds = 0.05f;
    captureOutput([] {
        for (int i = 0; i < 14 + 20; i++) attackStep();
    });
    EXPECT_TRUE(attackAnimating);
    EXPECT_TRUE(lungeEffect.current.x == flier->position.x && lungeEffect.current.z == flier->position.z);
}

}  // namespace
