// tests/unit/test_movement.cpp — the step glide, terrain costs and the fog of war
#include <gtest/gtest.h>

#include "game/battle_map.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/movement.h"
#include "tests/support/battle.h"
#include "tests/support/window_link_fake.h"
#include "tests/unit/rules_keys.h"

namespace {

using MovementTest = BattleTest;

TEST_F(MovementTest, AStepGlidesAboutTwentyFiveUpdatesThenMovesTheUnitsSquare) {
    loadUniformMap(7, 5, 1);
    startPlaying();
    Fighter* fighter = placeUnit<Fighter>(1, 3, 1);
    startStepping(*fighter);
    press({KEY_RIGHT, KEY_INSERT});
    ASSERT_TRUE(moveAnimating);
    idleUpdate();
    EXPECT_NEAR(fighter->position.x, 1.54f, 1e-5);
    EXPECT_EQ(fighter->col, 1) << "the square changes only on arrival";

    // There and back again: each way takes about 25 updates and one point.
    for (int col : {2, 1}) {
        if (col == 1) press({KEY_LEFT, KEY_INSERT});
        int updates = glide();
        EXPECT_GE(updates, 23) << "to column " << col;
        EXPECT_LE(updates, 26) << "to column " << col;
        EXPECT_TRUE(standsOn(*fighter, 3, col));
        EXPECT_EQ(battleMap[3][3 - col].occupant, -1) << "the square left is free";
        EXPECT_EQ(fighter->movePoints, col == 2 ? 4 : 3);
        EXPECT_FALSE(moveTargetValid);
        EXPECT_TRUE(choosingMove) << "points are left: the next step may be chosen";
    }
    EXPECT_TRUE(fighter->canAct) << "moving does not use up the action";
}

TEST_F(MovementTest, WaterThenDesertLeavesZeroPointsNotMinusTwo) {
    // Row 3 holds water (4) and desert (3) next to grass; the rest is grass.
    loadMap("11111#\n11111#\n11111#\n14311#\n11111#\n11111#\n11111#");
    startPlaying();
    Fighter* fighter = placeUnit<Fighter>(1, 3, 0);
    ASSERT_EQ(fighter->movePoints, 5);
    startStepping(*fighter);
    press({KEY_RIGHT, KEY_INSERT});
    ASSERT_GT(glide(), 0);
    EXPECT_EQ(fighter->movePoints, 1);
    EXPECT_TRUE(choosingMove);

    press({KEY_RIGHT, KEY_INSERT});
    ASSERT_GT(glide(), 0);
    EXPECT_EQ(fighter->col, 2);
    EXPECT_EQ(fighter->movePoints, 0);
    EXPECT_FALSE(choosingMove);
    EXPECT_TRUE(fighter->menuOpen) << "back in the menu, free to attack or defend";
    menuItem = 4;
    press(KEY_INSERT);
    EXPECT_FALSE(choosingMove) << "no points left to move with";
}

TEST_F(MovementTest, CheapestCostsPayTheTerrainAndGoRoundOccupiedSquares) {
    // Row 3 holds water (4) and desert (3) next to grass; the rest is grass.
    loadMap("11111#\n11111#\n11111#\n14311#\n11111#\n11111#\n11111#");
    Fighter* fighter = placeUnit<Fighter>(1, 3, 0);
    Flier* flier = placeUnit<Flier>(1, 4, 0);
    placeUnit<Archer>(1, 2, 1);
    const struct {
        const Unit* unit;
        Square to;
        int cost;
    } costs[] = {
        {fighter, {3, 0}, 0},
        {fighter, {3, 1}, 4},         // water
        {fighter, {3, 2}, 7},         // water, then desert
        {fighter, {3, 3}, 7},         // over the grass above, cheaper than through the water
        {fighter, {2, 1}, NO_PATH},   // occupied
        {flier, {3, 2}, 3},           // one a step, whatever the ground
        {flier, {1, 1}, 6},           // round the Fighter and the Archer
    };
    int cost[MAP_LIMIT][MAP_LIMIT];
    for (const auto& c : costs) {
        movementCosts(*c.unit, cost);
        EXPECT_EQ(cost[c.to.first][c.to.second], c.cost) << "unit " << c.unit->id << " to " << c.to.first << ","
                                                          << c.to.second;
    }
}

TEST_F(MovementTest, AFlierPaysOnePerStepWhateverTheTerrain) {
    loadUniformMap(7, 7, 4);
    startPlaying();
    Flier* flier = placeUnit<Flier>(1, 2, 0);
    flier->movePoints = 5;
    startStepping(*flier);
    for (int step = 1; step <= 5; step++) {
        press({KEY_RIGHT, KEY_INSERT});
        ASSERT_GT(glide(), 0) << "step " << step;
        EXPECT_EQ(flier->movePoints, 5 - step);
        EXPECT_EQ(flier->col, step);
    }
    EXPECT_FALSE(choosingMove);
}

TEST_F(MovementTest, HomeStopsTheGlideAndInsertResumesIt) {
    loadUniformMap(7, 5, 1);
    startPlaying();
    Fighter* fighter = placeUnit<Fighter>(1, 3, 1);
    startStepping(*fighter);
    press({KEY_DOWN, KEY_INSERT});
    for (int i = 0; i < 10; i++) idleUpdate();
    press(KEY_HOME);
    EXPECT_FALSE(moveAnimating);
    EXPECT_TRUE(moveTargetValid);
    EXPECT_TRUE(choosingMove);
    float stoppedAt = fighter->position.z;
    EXPECT_NEAR(stoppedAt, 4.5f + 0.4f, 1e-4);
    for (int i = 0; i < 10; i++) idleUpdate();
    EXPECT_EQ(fighter->position.z, stoppedAt);
    EXPECT_EQ(battleMap[3][1].occupant, fighter->id);

    press({KEY_UP, KEY_DOWN});   // arrows act again: back in step choice
    EXPECT_EQ(cursorRow, 4);
    press(KEY_INSERT);
    int rest = glide();
    EXPECT_GE(rest, 14) << "0.6 of a square was left";
    EXPECT_LE(rest, 17);
    EXPECT_TRUE(standsOn(*fighter, 4, 1));
    EXPECT_EQ(battleMap[3][1].occupant, -1);
}

// Stopped on the way to the right-hand square and sent to the square below
// instead, the unit comes in on a slant (x falling, z rising). It must still
// arrive: compared square by square at a tenth of a unit, the points it
// swings between either side of the centre never both match it.
TEST_F(MovementTest, AGlideSentElsewhereAfterHomeStillArrives) {
    loadUniformMap(7, 5, 1);
    startPlaying();
    Fighter* fighter = placeUnit<Fighter>(1, 3, 1);
    startStepping(*fighter);
    press({KEY_RIGHT, KEY_INSERT});
    for (int i = 0; i < 10; i++) idleUpdate();
    press({KEY_HOME, KEY_LEFT, KEY_DOWN});
    ASSERT_TRUE(moveTargetValid);
    press(KEY_INSERT);
    ASSERT_GT(glide(), 0) << "the unit never arrived";
    EXPECT_EQ(fighter->row, 4);
    EXPECT_EQ(fighter->col, 1);
    EXPECT_EQ(battleMap[4][1].occupant, fighter->id);
    EXPECT_EQ(battleMap[3][1].occupant, -1);
    EXPECT_EQ(fighter->movePoints, 4);
}

// Backing out of aiming leaves the cursor where it was aimed. A step may
// still go only to a neighbour: the far square is refused, and the cursor
// comes back one square at a time to the neighbour, which the unit then
// faces (it lies below, whichever arrow brought the cursor there).
TEST_F(MovementTest, AStepFromAFarCursorGoesOnlyToANeighbour) {
    loadUniformMap(7, 5, 1);
    startPlaying();
    Archer* archer = placeUnit<Archer>(1, 1, 1);
    openMenuOf(*archer);
    menuItem = 1;
    press({KEY_INSERT, KEY_DOWN, KEY_DOWN, KEY_HOME});
    ASSERT_EQ(cursorRow, 3);
    menuItem = 4;
    press({KEY_INSERT, KEY_DOWN});
    EXPECT_FALSE(moveTargetValid) << "two squares away";
    press(KEY_INSERT);
    EXPECT_FALSE(moveAnimating);
    press(KEY_UP);
    EXPECT_EQ(cursorRow, 2);
    EXPECT_TRUE(moveTargetValid);
    EXPECT_EQ(archer->facing, 0);
    press(KEY_INSERT);
    ASSERT_GT(glide(), 0);
    EXPECT_EQ(archer->row, 2);
    EXPECT_EQ(archer->movePoints, 4);
}

// A step target counts only in the step choice it was chosen in: one left
// over from a step choice left with Home must neither carry the unit two
// squares for one square's price, nor step it onto its own square, nor move
// the next unit whose step choice opens.
TEST_F(MovementTest, AStepTargetLeftOverFromAnEarlierStepChoiceMovesNobody) {
    const std::initializer_list<int> sequences[] = {
        {4, KEY_RIGHT, KEY_HOME, 1, KEY_DOWN, KEY_DOWN, KEY_HOME, 4, KEY_INSERT},
        {4, KEY_RIGHT, KEY_HOME, 4, KEY_INSERT},
        {4, KEY_RIGHT, KEY_HOME, KEY_HOME, KEY_DOWN, KEY_DOWN, KEY_RIGHT, KEY_RIGHT, KEY_INSERT, 4, KEY_INSERT},
    };
    for (const auto& keys : sequences) {
        SCOPED_TRACE(keys.size());
        resetBattleState();
        loadUniformMap(7, 5, 1);
        startPlaying();
        Archer* archer = placeUnit<Archer>(1, 1, 1);
        Fighter* other = placeUnit<Fighter>(1, 3, 3);
        openMenuOf(*archer);
        pressSequence(keys);
        glide();
        EXPECT_TRUE(standsOn(*archer, 1, 1));
        EXPECT_TRUE(standsOn(*other, 3, 3));
        EXPECT_EQ(archer->movePoints + other->movePoints, 10) << "nobody paid for a step";
    }
}

TEST_F(MovementTest, AUnitStoppedMidStepReturnsToItsSquareWhenSelected) {
    loadUniformMap(7, 5, 1);
    startPlaying();
    Fighter* fighter = placeUnit<Fighter>(1, 3, 1);
    startStepping(*fighter);
    press({KEY_RIGHT, KEY_INSERT});
    for (int i = 0; i < 12; i++) idleUpdate();
    press(KEY_HOME);
    ASSERT_GT(fighter->position.x, 1.8f);
    press(KEY_HOME);   // leaves the step choice: the cursor goes home and selects the unit
    EXPECT_EQ(cursorCol, 1);
    EXPECT_FALSE(choosingMove);
    EXPECT_FLOAT_EQ(fighter->position.x, 1.5f);
    EXPECT_EQ(fighter->movePoints, 5) << "no square was entered, nothing paid";
}

TEST_F(MovementTest, SightSevenSeesThreeAndAHalfButNotThreePointEight) {
    loadUniformMap(7, 7, 1);
    Archer* archer = placeUnit<Archer>(1, 3, 0);
    Fighter* enemy = placeUnit<Fighter>(2, 3, 3);
    ASSERT_EQ(archer->sight, 7);
    for (float distance : {3.5f, 3.8f}) {
        bool near = distance < 3.6f;
        enemy->position.x = archer->position.x + distance;
        EXPECT_EQ(inSight(*archer, *enemy), near) << distance;
        updateVisibility(1);
        EXPECT_TRUE(archer->visible);
        EXPECT_EQ(enemy->visible, near) << distance;
    }

    // The enemy's own sight does not count, only the current player's.
    EXPECT_FALSE(inSight(*enemy, *archer));
    Fighter* scout = placeUnit<Fighter>(1, 3, 2);   // sight 4 reaches 2.25
    EXPECT_TRUE(inSight(*scout, *enemy));
    idleUpdate();
    EXPECT_TRUE(enemy->visible) << "another unit of the current player sees it";
}

TEST_F(MovementTest, TheNewSideIsShownAtOnceWhenTheTurnChanges) {
    loadUniformMap(7, 7, 1);
    Archer* p1Far = placeUnit<Archer>(1, 0, 0);
    Archer* p1Near = placeUnit<Archer>(1, 5, 5);
    Mage* p2Mage = placeUnit<Mage>(2, 6, 6);   // sight 6 reaches 3.25
    Fighter* p2Fighter = placeUnit<Fighter>(2, 6, 0);
    idleUpdate();
    EXPECT_TRUE(p1Far->visible);
    EXPECT_TRUE(p2Mage->visible) << "in the near Archer's sight";
    EXPECT_FALSE(p2Fighter->visible) << "six squares from one Archer, five from the other";

    toggleTurn();
    EXPECT_EQ(currentPlayer, 2);
    EXPECT_TRUE(p2Fighter->visible);
    EXPECT_FALSE(p1Far->visible);
    EXPECT_FALSE(p1Near->visible);
    EXPECT_FALSE(selectedUnit->visible) << "the placeholder is in no list";
    idleUpdate();
    EXPECT_TRUE(p1Near->visible) << "within the Mage's sight";
    EXPECT_FALSE(p1Far->visible);
}

}  // namespace
