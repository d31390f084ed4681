// tests/unit/test_cursor.cpp — browsing, the action menu, target choice and step choice
#include <gtest/gtest.h>

#include "game/battle_map.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "tests/support/battle.h"
#include "tests/support/window_link_fake.h"
#include "tests/unit/rules_keys.h"

namespace {

class CursorTest : public BattleTest {
protected:
    void SetUp() override {
        BattleTest::SetUp();
        loadUniformMap(7, 5, 1);
    }
    // Heroes chosen far from the action, so play can start in turn 1.
    void startPlaying() {
        Unit* h1 = placeUnit<Archer>(1, 0, 4);
        Unit* h2 = placeUnit<Archer>(2, 6, 4);
        captureOutput([&] { chooseHeroes(*h1, *h2); });
        browseTo(0, 0);
    }
};

TEST_F(CursorTest, BrowsingClampsAtTheEdgesAndNotesUnitsUnderTheCursor) {
    Fighter* fighter = placeUnit<Fighter>(1, 1, 0);

    press({KEY_LEFT, KEY_UP});
    EXPECT_EQ(cursorRow, 0);
    EXPECT_EQ(cursorCol, 0);
    EXPECT_FALSE(cursorOnUnit);

    press(KEY_DOWN);
    EXPECT_TRUE(cursorOnUnit);
    EXPECT_EQ(selectedUnit, fighter);
    EXPECT_EQ(cursorUnitId, fighter->id);

    // Left at column 0 stays put but looks at the square again.
    cursorOnUnit = false;
    press(KEY_LEFT);
    EXPECT_EQ(cursorCol, 0);
    EXPECT_TRUE(cursorOnUnit);

    for (int i = 0; i < 9; i++) press({KEY_RIGHT, KEY_DOWN});
    EXPECT_EQ(cursorRow, 6);
    EXPECT_EQ(cursorCol, 4);
    EXPECT_FALSE(cursorOnUnit);
    EXPECT_EQ(selectedUnit, fighter) << "an empty square keeps the last selection";
    EXPECT_GT(windowLinkRecord.redisplays, 0);
}

TEST_F(CursorTest, SelectionPutsTheUnitBackOnItsSquareAndClearsTheMissMarker) {
    Mage* mage = placeUnit<Mage>(2, 0, 1);
    mage->position = Vector(9, 9, 9);
    missShown = true;
    press(KEY_RIGHT);
    EXPECT_EQ(selectedUnit, mage);
    EXPECT_FLOAT_EQ(mage->position.x, 1.5f);
    EXPECT_FLOAT_EQ(mage->position.y, 0.0f);
    EXPECT_FLOAT_EQ(mage->position.z, 1.5f);
    EXPECT_FALSE(missShown);

    missShown = true;
    press(KEY_RIGHT);   // empty square: nothing is selected, the marker stays
    EXPECT_TRUE(missShown);
}

TEST_F(CursorTest, F1AndF2ToggleTheHudLinesInAnyState) {
    press(KEY_F1);
    EXPECT_FALSE(showRunTime);
    EXPECT_TRUE(showFps);
    press(KEY_F2);
    EXPECT_FALSE(showFps);
    attackAnimating = choosingTarget = true;
    press({KEY_F1, KEY_F2});
    EXPECT_TRUE(showRunTime);
    EXPECT_TRUE(showFps);
}

TEST_F(CursorTest, InsertOpensOnlyTheMenuOfTheCurrentPlayersUnitThatMayAct) {
    Fighter* own = placeUnit<Fighter>(1, 0, 0);
    Fighter* enemy = placeUnit<Fighter>(2, 0, 1);

    // During the hero choice player 1 cannot take the enemy's unit as hero.
    openMenuOf(*enemy);
    EXPECT_FALSE(enemy->menuOpen);
    std::string out = captureOutput([] { checkHeroChoice(); });
    EXPECT_EQ(out, "");
    EXPECT_FALSE(enemy->hero);
    EXPECT_TRUE(p1ChoosingHero);

    openMenuOf(*own);
    EXPECT_TRUE(own->menuOpen);
    out = captureOutput([] { checkHeroChoice(); });
    EXPECT_EQ(out, "p1 hero selected!\n");
    EXPECT_TRUE(own->hero);
    EXPECT_FALSE(own->menuOpen);

    // Now player 2 chooses, and may not take player 1's unit.
    openMenuOf(*own);
    EXPECT_FALSE(own->menuOpen);
    openMenuOf(*enemy);
    EXPECT_TRUE(enemy->menuOpen);
    out = captureOutput([] { checkHeroChoice(); });
    EXPECT_EQ(out, "p2 hero selected!\n");
    EXPECT_TRUE(enemy->hero);

    // First turn: the enemy still has canAct from its creation, but player 1
    // may not command it.
    ASSERT_EQ(currentPlayer, 1);
    ASSERT_TRUE(enemy->canAct);
    openMenuOf(*enemy);
    EXPECT_FALSE(enemy->menuOpen);
    openMenuOf(*own);
    EXPECT_TRUE(own->menuOpen);

    // A unit that has acted opens nothing.
    press(KEY_HOME);
    own->canAct = false;
    placeUnit<Fighter>(1, 1, 0);   // keeps player 1's turn going
    press(KEY_INSERT);
    EXPECT_FALSE(own->menuOpen);
}

TEST_F(CursorTest, MenuWrapsAroundAndKeepsItsEntryWhenReopened) {
    startPlaying();
    Fighter* fighter = placeUnit<Fighter>(1, 2, 2);
    openMenuOf(*fighter);
    ASSERT_TRUE(fighter->menuOpen);
    EXPECT_EQ(menuItem, 1);
    press(KEY_UP);
    EXPECT_EQ(menuItem, 4);
    press(KEY_DOWN);
    EXPECT_EQ(menuItem, 1);
    press({KEY_DOWN, KEY_DOWN});
    EXPECT_EQ(menuItem, 3);
    press({KEY_LEFT, KEY_RIGHT});   // nothing in the menu
    EXPECT_EQ(menuItem, 3);
    EXPECT_EQ(cursorRow, 2);
    EXPECT_EQ(cursorCol, 2);

    press(KEY_HOME);
    EXPECT_FALSE(fighter->menuOpen);
    press(KEY_INSERT);
    EXPECT_TRUE(fighter->menuOpen);
    EXPECT_EQ(menuItem, 3);
}

TEST_F(CursorTest, ClassActionNeedsTenMagicPointsExceptForFightersAndFliers) {
    startPlaying();
    Mage* mage = placeUnit<Mage>(1, 2, 0);
    Fighter* fighter = placeUnit<Fighter>(1, 2, 1);
    Healer* healer = placeUnit<Healer>(1, 2, 2);
    Flier* flier = placeUnit<Flier>(1, 2, 3);

    mage->mp = 9;
    openMenuOf(*mage);
    menuItem = 2;
    press(KEY_INSERT);
    EXPECT_FALSE(choosingTarget);
    EXPECT_FALSE(specialChosen);
    mage->mp = 10;
    press(KEY_INSERT);
    EXPECT_TRUE(choosingTarget);
    EXPECT_TRUE(specialChosen);
    EXPECT_FALSE(healChosen);
    press({KEY_HOME, KEY_HOME});
    EXPECT_FALSE(choosingTarget);
    EXPECT_FALSE(specialChosen);

    ASSERT_EQ(fighter->mp, 0);
    openMenuOf(*fighter);
    press(KEY_INSERT);
    EXPECT_TRUE(specialChosen);
    EXPECT_TRUE(choosingTarget);
    press({KEY_HOME, KEY_HOME});

    ASSERT_EQ(flier->mp, 0);
    openMenuOf(*flier);
    press(KEY_INSERT);
    EXPECT_TRUE(specialChosen);
    press({KEY_HOME, KEY_HOME});

    openMenuOf(*healer);
    press(KEY_INSERT);
    EXPECT_TRUE(healChosen);
    EXPECT_FALSE(specialChosen);
    EXPECT_TRUE(choosingTarget);
}

TEST_F(CursorTest, DefendHealsTenPercentCappedAtMaxAndEndsTheUnitsTurn) {
    startPlaying();
    Healer* healer = placeUnit<Healer>(1, 2, 0);
    Fighter* fighter = placeUnit<Fighter>(1, 2, 1);
    Fighter* nearlyWhole = placeUnit<Fighter>(1, 2, 2);
    healer->hp = 50;
    fighter->hp = 50;
    nearlyWhole->hp = 95;
    healer->defending = fighter->defending = nearlyWhole->defending = false;

    menuItem = 3;
    for (Unit* unit : {static_cast<Unit*>(healer), static_cast<Unit*>(fighter), static_cast<Unit*>(nearlyWhole)}) {
        openMenuOf(*unit);
        ASSERT_TRUE(unit->menuOpen);
        press(KEY_INSERT);
        EXPECT_TRUE(unit->defending);
        EXPECT_FALSE(unit->canAct);
        EXPECT_FALSE(unit->menuOpen);
        EXPECT_FALSE(cursorOnUnit);
    }
    EXPECT_EQ(healer->hp, 55) << "50 + 5.5 keeps its integer part";
    EXPECT_EQ(fighter->hp, 60);
    EXPECT_EQ(nearlyWhole->hp, 100);

    press({KEY_LEFT, KEY_RIGHT, KEY_INSERT});   // the defender cannot open its menu again
    EXPECT_EQ(selectedUnit, nearlyWhole);
    EXPECT_FALSE(nearlyWhole->menuOpen);
}

TEST_F(CursorTest, MoveEntryNeedsMovementPoints) {
    startPlaying();
    Fighter* fighter = placeUnit<Fighter>(1, 2, 2);
    fighter->movePoints = 0;
    openMenuOf(*fighter);
    menuItem = 4;
    press(KEY_INSERT);
    EXPECT_FALSE(choosingMove);
    fighter->movePoints = 1;
    press(KEY_INSERT);
    EXPECT_TRUE(choosingMove);
    EXPECT_TRUE(fighter->menuOpen) << "the menu stays open while stepping";
}

TEST_F(CursorTest, TargetChoiceStaysInsideTheReachDiamond) {
    startPlaying();
    Fighter* fighter = placeUnit<Fighter>(1, 3, 2);   // attackRange 1
    openMenuOf(*fighter);
    press(KEY_INSERT);
    ASSERT_TRUE(choosingTarget);

    press(KEY_RIGHT);
    EXPECT_EQ(cursorCol, 3);
    press(KEY_DOWN);   // the diagonal is two steps away: refused
    EXPECT_EQ(cursorRow, 3);
    EXPECT_EQ(cursorCol, 3);
    press({KEY_RIGHT, KEY_LEFT, KEY_LEFT, KEY_LEFT});
    EXPECT_EQ(cursorCol, 1);
    press({KEY_RIGHT, KEY_UP, KEY_UP});
    EXPECT_EQ(cursorRow, 2);
    EXPECT_EQ(cursorCol, 2);
    EXPECT_FALSE(attackTargetValid);
    press(KEY_INSERT);
    EXPECT_FALSE(attackAnimating);

    // An Archer's diamond of 3, clamped by the map's corner.
    press({KEY_HOME, KEY_HOME});
    Archer* archer = placeUnit<Archer>(1, 1, 0);
    openMenuOf(*archer);
    menuItem = 1;
    press(KEY_INSERT);
    ASSERT_TRUE(choosingTarget);
    for (int i = 0; i < 5; i++) press(KEY_UP);
    EXPECT_EQ(cursorRow, 0);
    for (int i = 0; i < 5; i++) press(KEY_RIGHT);
    EXPECT_EQ(cursorCol, 2) << "row 0, column 2 is three steps from (1, 0)";
    for (int i = 0; i < 5; i++) press(KEY_LEFT);
    EXPECT_EQ(cursorCol, 0);
    for (int i = 0; i < 5; i++) press(KEY_DOWN);
    EXPECT_EQ(cursorRow, 4);
}

TEST_F(CursorTest, AnyOtherOccupiedSquareInReachIsATargetAndHomeLeavesTheCursorThere) {
    startPlaying();
    Archer* archer = placeUnit<Archer>(1, 3, 2);
    Fighter* friendUnit = placeUnit<Fighter>(1, 3, 3);
    Fighter* foe = placeUnit<Fighter>(2, 2, 2);
    openMenuOf(*archer);
    press(KEY_INSERT);

    press(KEY_RIGHT);
    EXPECT_TRUE(attackTargetValid) << "friendly fire is allowed";
    press(KEY_LEFT);
    EXPECT_FALSE(attackTargetValid) << "not the unit's own square";
    press(KEY_UP);
    EXPECT_TRUE(attackTargetValid);
    EXPECT_EQ(selectedUnit, archer) << "no selection while choosing";

    press(KEY_HOME);
    EXPECT_FALSE(choosingTarget);
    EXPECT_EQ(cursorRow, 2);
    EXPECT_EQ(cursorCol, 2);
    EXPECT_EQ(selectedUnit, foe) << "the unit under the cursor is selected after Home";
    EXPECT_TRUE(archer->menuOpen);
    (void)friendUnit;
}

TEST_F(CursorTest, HomeFromTargetChoiceForgetsTheTarget) {
    startPlaying();
    Fighter* first = placeUnit<Fighter>(1, 3, 2);
    Fighter* second = placeUnit<Fighter>(1, 3, 3);
    openMenuOf(*first);
    press({KEY_INSERT, KEY_RIGHT});
    ASSERT_TRUE(attackTargetValid);
    press(KEY_HOME);
    EXPECT_FALSE(attackTargetValid);
    ASSERT_EQ(selectedUnit, second);

    // The unit standing there opens its own menu and chooses Attack: it must
    // not strike itself straight away.
    press({KEY_INSERT, KEY_INSERT});
    ASSERT_TRUE(choosingTarget);
    std::string out = captureOutput([] { press(KEY_INSERT); });
    EXPECT_EQ(out, "");
    EXPECT_FALSE(attackAnimating);
    press(KEY_LEFT);
    EXPECT_TRUE(attackTargetValid);
}

TEST_F(CursorTest, KeysAreIgnoredWhileAnActionRuns) {
    startPlaying();
    Archer* archer = placeUnit<Archer>(1, 3, 2);
    placeUnit<Fighter>(2, 3, 3);
    openMenuOf(*archer);
    press({KEY_INSERT, KEY_RIGHT});
    ASSERT_TRUE(attackTargetValid);
    captureOutput([] { press(KEY_INSERT); });
    ASSERT_TRUE(attackAnimating);
    press({KEY_LEFT, KEY_HOME, KEY_UP, KEY_INSERT});
    EXPECT_EQ(cursorRow, 3);
    EXPECT_EQ(cursorCol, 3);
    EXPECT_TRUE(choosingTarget);
    EXPECT_TRUE(attackAnimating);
}

TEST_F(CursorTest, StepChoiceReachesOnlyTheFourNeighbours) {
    startPlaying();
    Fighter* fighter = placeUnit<Fighter>(1, 3, 2);
    openMenuOf(*fighter);
    menuItem = 4;
    press(KEY_INSERT);
    ASSERT_TRUE(choosingMove);

    press({KEY_LEFT, KEY_LEFT});
    EXPECT_EQ(cursorCol, 1) << "one square only";
    EXPECT_TRUE(moveTargetValid);
    EXPECT_FLOAT_EQ(fighter->facing, 270);
    press(KEY_UP);   // at right angles: stays, and the choice is no longer valid
    EXPECT_EQ(cursorRow, 3);
    EXPECT_EQ(cursorCol, 1);
    EXPECT_FALSE(moveTargetValid);
    press(KEY_RIGHT);
    EXPECT_EQ(cursorCol, 2);
    EXPECT_FALSE(moveTargetValid) << "back on the unit's own square";

    press(KEY_RIGHT);
    EXPECT_TRUE(moveTargetValid);
    EXPECT_FLOAT_EQ(fighter->facing, 90);
    press(KEY_LEFT);
    press(KEY_UP);
    EXPECT_EQ(cursorRow, 2);
    EXPECT_TRUE(moveTargetValid);
    EXPECT_FLOAT_EQ(fighter->facing, 180);
    press({KEY_UP, KEY_DOWN});
    EXPECT_EQ(cursorRow, 3);
    EXPECT_FALSE(moveTargetValid);
    press(KEY_DOWN);
    EXPECT_EQ(cursorRow, 4);
    EXPECT_TRUE(moveTargetValid);
    EXPECT_FLOAT_EQ(fighter->facing, 0);

    press(KEY_HOME);
    EXPECT_FALSE(choosingMove);
    EXPECT_EQ(cursorRow, 3);
    EXPECT_EQ(cursorCol, 2);
    EXPECT_TRUE(fighter->menuOpen) << "Home goes back to the menu";
}

TEST_F(CursorTest, StepChoiceRefusesOccupiedSquaresAndTheMapEdge) {
    startPlaying();
    Fighter* fighter = placeUnit<Fighter>(1, 3, 0);
    placeUnit<Mage>(1, 2, 0);
    placeUnit<Mage>(2, 4, 0);
    openMenuOf(*fighter);
    menuItem = 4;
    press(KEY_INSERT);
    float facing = fighter->facing;

    press(KEY_UP);
    EXPECT_EQ(cursorRow, 2);
    EXPECT_FALSE(moveTargetValid) << "a friend blocks";
    press(KEY_INSERT);
    EXPECT_FALSE(moveAnimating);
    press({KEY_DOWN, KEY_DOWN});
    EXPECT_EQ(cursorRow, 4);
    EXPECT_FALSE(moveTargetValid) << "an enemy blocks";
    EXPECT_FLOAT_EQ(fighter->facing, facing);
    press({KEY_UP, KEY_LEFT});
    EXPECT_EQ(cursorCol, 0);
    EXPECT_FALSE(moveTargetValid) << "the edge leaves the cursor on the unit";
    press(KEY_INSERT);
    EXPECT_FALSE(moveAnimating);
}

}  // namespace
