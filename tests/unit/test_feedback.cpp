// tests/unit/test_feedback.cpp — the odds panel against the blow that follows, the reach of Move, the fog
#include <string>

#include <gtest/gtest.h>

#include "game/battle_map.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/feedback.h"
#include "rules/game_state.h"
#include "tests/support/battle.h"
#include "tests/support/window_link_fake.h"
#include "tests/unit/rules_keys.h"

namespace {

using FeedbackTest = BattleTest;

// A duel on grass, heroes out of the way: player 1's attacker at (3, 1), player 2's target
// beside it at half health, so that the damage and a heal's 30 % cap show.
std::pair<Unit*, Unit*> duel(int attackerClass, int targetClass) {
    resetBattleState();
    loadUniformMap(7, 5, 1);
    startPlaying();
    Unit* attacker = placeUnitOfClass(attackerClass, 1, 3, 1);
    Unit* target = placeUnitOfClass(targetClass, 2, 3, 2);
    target->hp = target->maxHp / 2 + 1;
    frameSeconds = 0.05f;
    return {attacker, target};
}

// Every pair of classes, plain blow and class action, on the last missing and first hitting
// roll: the panel says which, and what a hit does.
TEST_F(FeedbackTest, OddsPanelTellsWhatTheRollAndTheBlowThenDo) {
    for (int a = CLASS_ARCHER; a <= CLASS_MAGE; a++)
        for (int t = CLASS_ARCHER; t <= CLASS_MAGE; t++)
            for (int entry : {1, 2})
                for (int hits : {0, 1}) {
                    SCOPED_TRACE(testing::Message() << "class " << a << " on " << t << ", entry " << entry
                                                    << (hits ? ", first hit" : ", last miss"));
                    auto [attacker, target] = duel(a, t);
                    chooseEntry(*attacker, entry);
                    press(KEY_RIGHT);
                    idleUpdate();   // the fog of war has its say
                    const Odds odds = oddsAtCursor();
                    ASSERT_TRUE(odds.shown);
                    EXPECT_TRUE(odds.targetClass == t && odds.targetHp == target->hp);
                    EXPECT_TRUE(a != CLASS_FLIER || odds.hitPercent == 85) << "accuracy 1: rolls 15 to 100 of 101";
                    // A heal lands on any roll, the lowest as well as the highest.
                    int roll = odds.heal ? 100 * hits : odds.firstHit - 1 + hits;
                    if (roll < 0 || roll > 100) continue;   // every roll hits, or none does
                    seedForRoll(roll, roll);
                    int before = target->hp;
                    std::string out = captureOutput([] {
                        press(KEY_INSERT);
                        for (int i = 0; i < 5000 && attackAnimating; i++) drawnFrame();
                    });
                    ASSERT_EQ(out.find("Hit range = " + std::to_string(roll) + " "), 0u) << out;
                    int change = odds.heal ? target->hp - before : before - target->hp;
                    if (!odds.heal && !hits) {
                        EXPECT_TRUE(change == 0 && floatingNumbers.empty()) << out;
                        continue;
                    }
                    EXPECT_TRUE(change >= odds.amountLow && change <= odds.amountHigh) << change << "\n" << out;
                    EXPECT_TRUE((entry == 2 && !odds.heal) || odds.amountLow == odds.amountHigh) << "one figure";
                    ASSERT_EQ(floatingNumbers.size(), 1u) << "one number, whatever the strikes";
                    EXPECT_TRUE(floatingNumbers[0].amount == change && floatingNumbers[0].heal == odds.heal);
                }
}

// The odds panel goes as the blow starts; its number rises FLOATING_SECONDS from the update
// it lands in, and a unit it fells topples FALL_SECONDS; then both are gone.
TEST_F(FeedbackTest, TheOddsGoAsTheBlowStartsAndWhatItLeavesGoesInItsTime) {
    const struct {
        const char* what;
        int player, actorClass, entry, targetClass, targetPlayer, targetHp;
        bool heal, kills;
    } blows[] = {
        {"player 1's Archer wounds a Fighter", 1, CLASS_ARCHER, 1, CLASS_FIGHTER, 2, 0, false, false},
        {"player 2's Mage fells a Fighter with its magic", 2, CLASS_MAGE, 2, CLASS_FIGHTER, 1, 5, false, true},
        {"player 2's Healer heals a Fighter", 2, CLASS_HEALER, 2, CLASS_FIGHTER, 2, 30, true, false},
    };
    constexpr float FRAME = 0.125f;   // exact in binary, so the ages add up without rounding
    for (const auto& b : blows) {
        SCOPED_TRACE(b.what);
        resetBattleState();
        loadUniformMap(7, 5, 1);
        startPlaying();
        Unit* actor = placeUnitOfClass(b.actorClass, b.player, 3, 1);
        Unit* target = placeUnitOfClass(b.targetClass, b.targetPlayer, 3, 2);
        if (b.targetHp) target->hp = b.targetHp;
        currentPlayer = b.player;
        beginTurn();
        frameSeconds = FRAME;
        idleUpdate();
        chooseEntry(*actor, b.entry);
        press(KEY_RIGHT);
        ASSERT_TRUE(oddsAtCursor().shown && oddsAt(3, 2).shown);
        seedForRoll(95, 100);
        int numberFrames = 0, fallFrames = 0;
        std::string out = captureOutput([&] {
            press(KEY_INSERT);
            EXPECT_TRUE(attackAnimating && !oddsAtCursor().shown && !oddsAt(3, 2).shown) << "the odds stay up";
            for (int i = 0; i < 6000 && (attackAnimating || !floatingNumbers.empty() || !fallingUnits.empty()); i++) {
                drawnFrame();
                EXPECT_FALSE(oddsAtCursor().shown || oddsAt(3, 2).shown);
                if (!floatingNumbers.empty()) {
                    const FloatingNumber& number = floatingNumbers.front();
                    EXPECT_EQ(number.age, FRAME * ++numberFrames);
                    EXPECT_TRUE(number.unitId == target->id && number.heal == b.heal && number.killed == b.kills);
                }
                fallFrames += !fallingUnits.empty() && fallingUnits.front().unitId == target->id;
            }
        });
        EXPECT_EQ(numberFrames, 12) << "up while younger than 1.6 s\n" << out;
        EXPECT_EQ(fallFrames, b.kills ? 7 : 0) << "falling while younger than 0.9 s";
        EXPECT_EQ(target->dead, b.kills);
    }
}

// Neither panel gives away a unit the fog hides, browsed, pointed at or aimed at; pointing
// reads a living unit either side sees, and aiming gives odds only inside the reach, not on itself.
TEST_F(FeedbackTest, PanelsShowNothingOfAUnitTheFogHides) {
    loadUniformMap(7, 5, 1);
    startPlaying();
    Unit* archer = placeUnit<Archer>(1, 0, 0);
    Unit* near = placeUnit<Fighter>(2, 0, 2);
    Unit* far = placeUnit<Fighter>(2, 6, 0);
    placeUnit<Mage>(2, 1, 0)->dead = true;
    idleUpdate();
    browseTo(6, 0);
    ASSERT_TRUE(cursorOnUnit && selectedUnit == far);
    EXPECT_FALSE(statusShown());
    browseTo(0, 0);
    EXPECT_TRUE(statusShown());
    const struct { int row, col; const Unit* read; } pointed[] = {
        {0, 0, archer}, {0, 2, near}, {6, 0, nullptr}, {1, 0, nullptr}, {3, 3, nullptr}, {-1, -1, nullptr},
    };
    for (const auto& p : pointed) EXPECT_EQ(unitInSight(p.row, p.col), p.read) << p.row << "," << p.col;

    chooseEntry(*archer, 1);
    EXPECT_TRUE(oddsAt(0, 2).shown && oddsAt(0, 2).targetHp == near->hp);
    EXPECT_FALSE(oddsAt(0, 0).shown || oddsAt(6, 0).shown || oddsAt(1, 0).shown);
    press({KEY_RIGHT, KEY_RIGHT});
    EXPECT_TRUE(oddsAtCursor().shown);
    near->visible = false;
    EXPECT_FALSE(oddsAtCursor().shown || oddsAt(0, 2).shown);
    EXPECT_TRUE(statusShown()) << "the Archer's own numbers stay";
}

// The squares Move tints, marked '*' on the first rows of this map: grass,
// water, desert, then a row of chaos (9 points a square) and grass beyond.
TEST_F(FeedbackTest, MoveReachSpendsThePointsLeftAlongTheCheapestWayRoundUnits) {
    const char* const MAP = "14311#\n99999#\n11111#\n11111#\n11111#\n11111#\n11111#";
    const struct {
        bool        flier;
        int         points;
        bool        enemyBeside;   // an enemy on (0, 1)
        const char* reach[5];      // rows 0 to 4; U the unit, E the enemy
    } cases[] = {
        // Water costs 4 of 5, so the desert after it still takes the last point.
        {false, 5, false, {"U**..", "**...", ".....", ".....", "....."}},
        {false, 1, false, {"U*...", "*....", ".....", ".....", "....."}},
        // Behind the enemy is out of reach: the way round crosses chaos.
        {false, 5, true, {"UE...", "*....", ".....", ".....", "....."}},
        // A Flier pays 1 a square, but goes round the enemy too.
        {true, 3, true, {"UE...", "***..", "**...", "*....", "....."}},
        {true, 4, true, {"UE*..", "****.", "***..", "**...", "*...."}},
    };
    for (const auto& c : cases) {
        resetBattleState();
        loadMap(MAP);
        Unit* unit = c.flier ? static_cast<Unit*>(placeUnit<Flier>(1, 0, 0)) : placeUnit<Fighter>(1, 0, 0);
        unit->movePoints = c.points;
        if (c.enemyBeside) placeUnit<Mage>(2, 0, 1);
        bool reach[MAP_LIMIT][MAP_LIMIT];
        moveReach(*unit, reach);
        for (int r = 0; r < 7; r++)
            for (int col = 0; col < 5; col++)
                EXPECT_EQ(reach[r][col], r < 5 && c.reach[r][col] == '*')
                    << (c.flier ? "Flier" : "Fighter") << " with " << c.points << " points, square " << r << "," << col;
    }
}

}  // namespace
