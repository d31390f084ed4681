// tests/unit/test_cursor.cpp — browsing, the action menu, target choice and step choice
#include <iterator>

#include <gtest/gtest.h>

#include "app/input.h"
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
};

// The window hears a held key as presses without releases: Insert and Home
// act once until let go, an arrow goes on.
TEST_F(CursorTest, AHeldInsertOrHomeActsOnceAndAHeldArrowRepeats) {
    placeUnit<Fighter>(1, 3, 1);
    choosingHeroes = p1ChoosingHero = false;
    browseTo(3, 1);
    auto hold = [](int key, int presses) {
        for (int i = 0; i < presses; i++) dispatch({CMD_SPECIAL, key});
    };
    hold(KEY_INSERT, 3);
    EXPECT_TRUE(selectedUnit->menuOpen && !choosingTarget) << "the menu opened; Attack was not taken";
    dispatch({CMD_SPECIAL_UP, KEY_INSERT});
    hold(KEY_INSERT, 2);
    EXPECT_TRUE(choosingTarget);
    hold(KEY_HOME, 3);
    EXPECT_TRUE(selectedUnit->menuOpen && !choosingTarget) << "backed out of aiming only";
    dispatch({CMD_SPECIAL_UP, KEY_HOME});
    hold(KEY_HOME, 1);
    hold(KEY_DOWN, 3);
    EXPECT_EQ(cursorSquare(), Square(6, 1));
}

TEST_F(CursorTest, MenuWrapsAroundAndKeepsItsEntryWhenReopened) {
    startPlaying();
    Fighter* fighter = placeUnit<Fighter>(1, 2, 2);
    openMenuOf(*fighter);
    press(KEY_UP);
    EXPECT_EQ(menuItem, 4);
    press({KEY_DOWN, KEY_DOWN, KEY_DOWN});
    EXPECT_EQ(menuItem, 3);
    press({KEY_HOME, KEY_INSERT});
    EXPECT_TRUE(fighter->menuOpen);
    EXPECT_EQ(menuItem, 3);
}

TEST_F(CursorTest, ClassActionNeedsTenMagicPointsExceptForFightersAndFliers) {
    startPlaying();
    Mage* mage = placeUnit<Mage>(1, 2, 0);
    Fighter* fighter = placeUnit<Fighter>(1, 2, 1);
    Healer* healer = placeUnit<Healer>(1, 2, 2);
    Flier* flier = placeUnit<Flier>(1, 2, 3);
    ASSERT_EQ(fighter->mp + flier->mp, 0);

    mage->mp = 9;
    chooseEntry(*mage, 2);
    EXPECT_FALSE(choosingTarget || specialChosen);
    mage->mp = 10;
    press({KEY_HOME, KEY_HOME});
    for (Unit* unit : std::initializer_list<Unit*>{mage, fighter, flier, healer}) {
        bool heals = unit == healer;
        chooseEntry(*unit, 2);
        EXPECT_TRUE(choosingTarget) << unit->unitClass;
        EXPECT_EQ(specialChosen, !heals) << unit->unitClass;
        EXPECT_EQ(healChosen, heals) << unit->unitClass;
        press({KEY_HOME, KEY_HOME});
        EXPECT_FALSE(choosingTarget || specialChosen || healChosen) << "Home forgets the choice";
    }
}

TEST_F(CursorTest, DefendHealsTenPercentCappedAtMaxAndEndsTheUnitsTurn) {
    startPlaying();
    const struct { Unit* unit; int hpBefore, hpAfter; } cases[] = {
        {placeUnit<Fighter>(1, 2, 0), 50, 60}, {placeUnit<Fighter>(1, 2, 1), 95, 100},
        {placeUnit<Healer>(1, 2, 2), 50, 55}};   // 50 + 5.5 keeps its integer part
    for (const auto& defence : cases) {
        defence.unit->hp = defence.hpBefore;
        defence.unit->defending = false;
        chooseEntry(*defence.unit, 3);
        EXPECT_EQ(defence.unit->hp, defence.hpAfter);
        EXPECT_TRUE(defence.unit->defending && !defence.unit->canAct && !defence.unit->menuOpen);
    }
}

// An Archer's diamond of 3, clamped by the map's corner.
TEST_F(CursorTest, TargetChoiceStaysInsideTheReachDiamond) {
    startPlaying();
    chooseEntry(*placeUnit<Archer>(1, 1, 0), 1);
    ASSERT_TRUE(choosingTarget);
    const struct { int key; Square end; } pushes[] = {
        {KEY_UP, {0, 0}}, {KEY_RIGHT, {0, 2}}, {KEY_LEFT, {0, 0}}, {KEY_DOWN, {4, 0}}};
    for (const auto& push : pushes) {
        for (int i = 0; i < 5; i++) press(push.key);
        EXPECT_EQ(cursorSquare(), push.end) << push.key;
    }
}

TEST_F(CursorTest, AnyOtherOccupiedSquareInReachIsATargetAndHomeForgetsIt) {
    startPlaying();
    Archer* archer = placeUnit<Archer>(1, 3, 2);
    Fighter* friendUnit = placeUnit<Fighter>(1, 3, 3);
    Fighter* enemy = placeUnit<Fighter>(2, 2, 2);
    openMenuOf(*enemy);
    EXPECT_FALSE(enemy->menuOpen) << "only the current player's units take orders";
    chooseEntry(*archer, 1);
    press(KEY_UP);
    EXPECT_TRUE(attackTargetValid);
    EXPECT_EQ(selectedUnit, archer) << "no selection while choosing";
    press(KEY_DOWN);
    EXPECT_FALSE(attackTargetValid) << "not the unit's own square";
    press(KEY_RIGHT);
    EXPECT_TRUE(attackTargetValid) << "friendly fire is allowed";

    press(KEY_HOME);
    EXPECT_FALSE(choosingTarget || attackTargetValid);
    EXPECT_EQ(cursorSquare(), Square(3, 3));
    EXPECT_EQ(selectedUnit, friendUnit) << "the unit under the cursor is selected after Home";
    EXPECT_TRUE(archer->menuOpen);

    // The unit standing there opens its own menu and chooses Attack: it must
    // not strike itself straight away.
    press({KEY_INSERT, KEY_INSERT});
    ASSERT_TRUE(choosingTarget);
    EXPECT_EQ(captureOutput([] { press(KEY_INSERT); }), "");
    EXPECT_FALSE(attackAnimating);
    press(KEY_LEFT);
    EXPECT_TRUE(attackTargetValid);
}

TEST_F(CursorTest, StepChoiceReachesOnlyTheFourNeighbours) {
    startPlaying();
    Fighter* fighter = placeUnit<Fighter>(1, 3, 2);
    startStepping(*fighter);
    ASSERT_TRUE(choosingMove);

    const float ANY = -1;   // facing not checked
    const struct { int key; Square end; bool valid; float facing; } steps[] = {
        {KEY_LEFT, {3, 1}, true, 270},   {KEY_LEFT, {3, 1}, true, 270},   // one square only
        {KEY_UP, {3, 1}, false, ANY},                                     // at right angles: stays
        {KEY_RIGHT, {3, 2}, false, ANY},                                  // back on its own square
        {KEY_RIGHT, {3, 3}, true, 90},   {KEY_LEFT, {3, 2}, false, ANY},
        {KEY_UP, {2, 2}, true, 180},     {KEY_LEFT, {2, 2}, false, ANY},   // at right angles: stays
        {KEY_DOWN, {3, 2}, false, ANY},
        {KEY_DOWN, {4, 2}, true, 0},
    };
    for (size_t i = 0; i < std::size(steps); i++) {
        press(steps[i].key);
        EXPECT_EQ(cursorSquare(), steps[i].end) << "press " << i;
        EXPECT_EQ(moveTargetValid, steps[i].valid) << "press " << i;
        if (steps[i].facing != ANY) {
            EXPECT_FLOAT_EQ(fighter->facing, steps[i].facing) << "press " << i;
        }
    }
    press(KEY_HOME);
    EXPECT_FALSE(choosingMove);
    EXPECT_EQ(cursorSquare(), Square(3, 2));
    EXPECT_TRUE(fighter->menuOpen) << "Home goes back to the menu";
}

}  // namespace
