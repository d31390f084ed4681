// tests/unit/test_feedback.cpp — the odds panel against the blow that follows, the reach of Move, the fog,
// the numbers a blow leaves, the log's words, the top line's
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/battle_map.h"
#include "render/captions.h"
#include "render/looks.h"
#include "rules/battle_log.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/feedback.h"
#include "rules/game_state.h"
#include "rules/keyboard.h"
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

// The odds panel goes as the blow starts; its number stands FLOATING_SECONDS from the update
// it lands in, on the unit struck, which it follows should the unit step away meanwhile; a
// unit it fells topples FALL_SECONDS; then both are gone.
TEST_F(FeedbackTest, TheOddsGoAsTheBlowStartsAndWhatItLeavesGoesInItsTime) {
    const struct {
        const char* what;
        int player, actorClass, entry, targetClass, targetPlayer, targetHp;
        bool heal, kills, stepsAway;
    } blows[] = {
        {"player 1's Archer wounds a Fighter", 1, CLASS_ARCHER, 1, CLASS_FIGHTER, 2, 0, false, false, false},
        {"player 2's Mage fells a Fighter with its magic", 2, CLASS_MAGE, 2, CLASS_FIGHTER, 1, 5, false, true, false},
        {"player 2's Healer heals a Fighter, which steps away", 2, CLASS_HEALER, 2, CLASS_FIGHTER, 2, 30, true, false,
         true},
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
        Vector lastAnchor;
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
                    lastAnchor = numberAnchor(number);
                    EXPECT_LT(length(lastAnchor - target->position), 0.05f) << "off its unit in frame " << numberFrames;
                    if (b.stepsAway && numberFrames == 1) {
                        chooseEntry(*target, 4);
                        press({KEY_RIGHT, KEY_INSERT});
                    }
                }
                fallFrames += !fallingUnits.empty() && fallingUnits.front().unitId == target->id;
            }
        });
        EXPECT_EQ(numberFrames, 12) << "up while younger than 1.6 s\n" << out;
        EXPECT_EQ(fallFrames, b.kills ? 7 : 0) << "falling while younger than 0.9 s";
        EXPECT_EQ(target->dead, b.kills);
        const Vector struck = battleMap[3][2].centre;
        const float away = lastAnchor.x - struck.x;
        EXPECT_TRUE(lastAnchor.z == struck.z && (b.stepsAway ? away > 0.25f : away == 0))
            << "its last frame at " << lastAnchor.x << ", " << lastAnchor.z;
    }
}

// What the log says of each kind of event, in words for who plays: a hit with the class
// table's bonus, one with its penalty, a miss, a heal, a Defend, a fall, a hand-over.
TEST_F(FeedbackTest, TheLogTellsEachEventInWordsForWhoPlays) {
    const struct {
        int person, actorClass, entry, targetClass, targetHp, actorHp, roll;
        std::vector<std::string> lines;
    } events[] = {
        {1, CLASS_FIGHTER, 1, CLASS_ARCHER, 0, 0, 100, {"YOUR FIGHTER HIT ENEMY ARCHER: 33 DAMAGE, BONUS DAMAGE"}},
        {0, CLASS_ARCHER, 1, CLASS_FIGHTER, 0, 0, 100,
         {"PLAYER 1'S ARCHER HIT PLAYER 2'S FIGHTER: 17 DAMAGE, LESS DAMAGE"}},
        {2, CLASS_MAGE, 2, CLASS_HEALER, 0, 0, 0, {"ENEMY MAGE MISSED YOUR HEALER (MAGIC)"}},
        {1, CLASS_HEALER, 2, CLASS_FIGHTER, 0, 0, 0, {"YOUR HEALER HEALED ENEMY FIGHTER: +30 HP"}},
        {1, CLASS_FIGHTER, 3, CLASS_ARCHER, 0, 50, 0, {"YOUR FIGHTER DEFENDED: +10 HP"}},
        {1, CLASS_MAGE, 1, CLASS_FIGHTER, 5, 0, 100,
         {"YOUR MAGE HIT ENEMY FIGHTER: 54 DAMAGE, BONUS DAMAGE", "ENEMY FIGHTER FELL"}},
        {1, CLASS_ARCHER, 0, CLASS_ARCHER, 0, 0, 0, {"COMPUTER'S TURN"}},
        {0, CLASS_ARCHER, 0, CLASS_ARCHER, 0, 0, 0, {"PLAYER 2'S TURN"}},
    };
    for (const auto& e : events) {
        SCOPED_TRACE(e.lines.front());
        auto [actor, target] = duel(e.actorClass, e.targetClass);
        personSide = e.person;
        if (e.targetHp) target->hp = e.targetHp;
        if (e.actorHp) actor->hp = e.actorHp;
        const size_t before = battleLog.size();
        captureOutput([&] {
            if (e.entry == 0) {
                onKeyboard('e', 0, 0);
                return;
            }
            chooseEntry(*actor, e.entry);
            if (e.entry == 3) return;
            press(KEY_RIGHT);
            seedForRoll(e.roll, e.roll);
            press(KEY_INSERT);
            for (int i = 0; i < 5000 && attackAnimating; i++) drawnFrame();
        });
        std::vector<std::string> said;
        int colour = 0;
        for (size_t i = before; i < battleLog.size(); i++) said.push_back(logLine(battleLog[i], colour));
        EXPECT_EQ(said, e.lines);
        EXPECT_EQ(colour, e.lines.size() > 1 ? target->player : e.entry ? actor->player : currentPlayer)
            << "in the colour of the side that acted, that fell, whose turn it is";
    }
}

// The line at the top for each who plays each side: against the computer the person's
// turn, the computer's, the person's victory or defeat, from either side; at one keyboard,
// and with the computer on both sides, by player number.
TEST_F(FeedbackTest, TheTopLineSpeaksToThePersonAgainstTheComputer) {
    enum Moment { CHOOSING, TURN, WON };
    const struct {
        int person, player;
        Moment moment;
        const char* line;
    } lines[] = {
        {0, 1, CHOOSING, "PLAYER 1: CHOOSE YOUR HERO"}, {0, 2, TURN, "PLAYER 2'S TURN"}, {0, 2, WON, "PLAYER 2 WINS!"},
        {1, 1, CHOOSING, "CHOOSE YOUR HERO"}, {1, 2, CHOOSING, "THE COMPUTER CHOOSES ITS HERO"},
        {1, 1, TURN, "YOUR TURN"}, {1, 2, TURN, "COMPUTER'S TURN"}, {1, 1, WON, "VICTORY"}, {1, 2, WON, "DEFEAT"},
        {2, 2, TURN, "YOUR TURN"}, {2, 1, TURN, "COMPUTER'S TURN"}, {2, 1, WON, "DEFEAT"}, {2, 2, WON, "VICTORY"},
    };
    for (const auto& l : lines) {
        resetBattleState();
        personSide = l.person;
        choosingHeroes = l.moment == CHOOSING;
        p1ChoosingHero = choosingHeroes && l.player == 1;
        p2ChoosingHero = choosingHeroes && l.player == 2;
        currentPlayer = l.player;
        bannerP1Wins = l.moment == WON && l.player == 1;
        bannerP2Wins = l.moment == WON && l.player == 2;
        int named = 0;
        EXPECT_EQ(topLineText(named), l.line);
        EXPECT_EQ(named, l.player) << l.line;
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
