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

// Row 3: grass, water (4), desert (3): a Fighter's 5 points pay the water and still buy the
// desert, leaving 0, not -2; a Flier pays 1 a step.
TEST_F(MovementTest, EachStepGlidesToTheNextSquareAndCostsItsTerrain) {
    const struct { int unitClass; int pointsAfter[2]; } cases[] = {{CLASS_FIGHTER, {1, 0}}, {CLASS_FLIER, {6, 5}}};
    for (const auto& c : cases) {
        resetBattleState();
        loadMap("11111#\n11111#\n11111#\n14311#\n11111#\n11111#\n11111#");
        startPlaying();
        Unit* unit = placeUnitOfClass(c.unitClass, 1, 3, 0);
        startStepping(*unit);
        for (int step = 0; step < 2; step++) {
            press({KEY_RIGHT, KEY_INSERT});
            idleUpdate();
            EXPECT_NEAR(unit->position.x, 0.54f + step, 1e-5) << "0.04 a frame";
            EXPECT_EQ(unit->col, step) << "the square changes only on arrival";
            const int updates = glide();
            EXPECT_TRUE(updates >= 22 && updates <= 25) << updates;
            EXPECT_TRUE(standsOn(*unit, 3, step + 1));
            EXPECT_EQ(battleMap[3][step].occupant, -1) << "the square left is free";
            EXPECT_EQ(unit->movePoints, c.pointsAfter[step]);
        }
        EXPECT_EQ(choosingMove, c.pointsAfter[1] > 0) << "the next step may be chosen while points are left";
        EXPECT_TRUE(unit->canAct && unit->menuOpen) << "moving does not use up the action";
    }
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

// Home stops a glide; Insert finishes the step to the neighbour under the cursor; a second
// Home leaves the step choice with the unit back on its square.
TEST_F(MovementTest, HomeStopsAGlideThatInsertFinishesOrASecondHomeUndoes) {
    const struct { int first, updates; std::initializer_list<int> then; int row, col, points; } cases[] = {
        {KEY_DOWN, 10, {KEY_UP, KEY_DOWN, KEY_INSERT}, 4, 1, 4},
        {KEY_RIGHT, 10, {KEY_LEFT, KEY_DOWN, KEY_INSERT}, 4, 1, 4},   // comes in on a slant, and still arrives
        {KEY_RIGHT, 12, {KEY_HOME}, 3, 1, 5},
    };
    for (const auto& c : cases) {
        resetBattleState();
        loadUniformMap(7, 5, 1);
        startPlaying();
        Fighter* fighter = placeUnit<Fighter>(1, 3, 1);
        startStepping(*fighter);
        press({c.first, KEY_INSERT});
        for (int i = 0; i < c.updates; i++) idleUpdate();
        press(KEY_HOME);
        const Vector stoppedAt = fighter->position;
        for (int i = 0; i < 10; i++) idleUpdate();
        EXPECT_TRUE(fighter->position.x == stoppedAt.x && fighter->position.z == stoppedAt.z);
        press(c.then);
        ASSERT_GE(glide(), 0) << "the unit never arrived";
        EXPECT_TRUE(standsOn(*fighter, c.row, c.col));
        EXPECT_EQ(fighter->movePoints, c.points);
        EXPECT_EQ(battleMap[3][1].occupant, c.row == 3 ? fighter->id : -1);
    }
}

// A step goes only to a free neighbour chosen in this step choice: a target left from an aim
// or an abandoned step choice moves nobody. Entries 1 and 4 are Attack and Move.
TEST_F(MovementTest, AStepGoesOnlyToAFreeNeighbourChosenInThisStepChoice) {
    const struct { std::initializer_list<int> keys; int row, col, points; } sequences[] = {
        {{1, KEY_DOWN, KEY_DOWN, KEY_HOME, 4, KEY_DOWN, KEY_INSERT, KEY_UP, KEY_INSERT}, 2, 1, 4},
        {{4, KEY_RIGHT, KEY_HOME, 1, KEY_DOWN, KEY_DOWN, KEY_HOME, 4, KEY_INSERT}, 1, 1, 5},
        {{4, KEY_RIGHT, KEY_HOME, 4, KEY_INSERT}, 1, 1, 5},
        {{4, KEY_RIGHT, KEY_HOME, KEY_HOME, KEY_DOWN, KEY_DOWN, KEY_RIGHT, KEY_RIGHT, KEY_INSERT, 4, KEY_INSERT}, 1, 1, 5},
        {{4, KEY_LEFT, KEY_INSERT, KEY_RIGHT, KEY_RIGHT, KEY_INSERT}, 1, 2, 4},   // the square on the left is held
    };
    for (const auto& s : sequences) {
        SCOPED_TRACE(s.keys.size());
        resetBattleState();
        loadUniformMap(7, 5, 1);
        startPlaying();
        Archer* archer = placeUnit<Archer>(1, 1, 1);
        Fighter* other = placeUnit<Fighter>(1, 3, 3);
        placeUnit<Mage>(1, 1, 0);
        openMenuOf(*archer);
        for (int key : s.keys) {
            if (key <= 4) menuItem = key;
            press(key <= 4 ? KEY_INSERT : key);
        }
        glide();
        EXPECT_TRUE(standsOn(*archer, s.row, s.col));
        EXPECT_EQ(archer->movePoints, s.points);
        EXPECT_TRUE(standsOn(*other, 3, 3));
        EXPECT_EQ(other->movePoints, 5);
    }
}

// Sight 7 reaches 3.75 squares: (sight + 0.5) / 2. Only the current player's
// units see, and the side shown changes at once with the turn.
TEST_F(MovementTest, EnemiesShowWithinTheCurrentPlayersSightAndTheTurnSwapsTheSideShown) {
    loadUniformMap(7, 7, 1);
    Archer* archer = placeUnit<Archer>(1, 3, 0);
    Fighter* enemy = placeUnit<Fighter>(2, 3, 3);
    for (float distance : {3.75f, 3.8f}) {
        enemy->position.x = archer->position.x + distance;
        updateVisibility(1);
        EXPECT_TRUE(archer->visible);
        EXPECT_EQ(enemy->visible, distance == 3.75f) << distance;
    }
    EXPECT_FALSE(inSight(*enemy, *archer)) << "sight 4 reaches 2.25";
    Fighter* scout = placeUnit<Fighter>(1, 3, 2);
    idleUpdate();
    EXPECT_TRUE(enemy->visible) << "another unit of the current player sees it";

    toggleTurn();
    EXPECT_EQ(currentPlayer, 2);
    EXPECT_TRUE(enemy->visible);
    EXPECT_FALSE(archer->visible || scout->visible);
    idleUpdate();
    EXPECT_TRUE(scout->visible && !archer->visible) << "within the enemy's 2.25, beyond it";
}

}  // namespace
