// tests/unit/rules_keys.h — pressing keys the way a player does, for the rules tests
#pragma once
#include <initializer_list>
#include <utility>

#include <gtest/gtest.h>

#include "game/battle_map.h"
#include "game/unit.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "tests/support/battle.h"

// A square as (row, col), so that one comparison checks both.
using Square = std::pair<int, int>;
inline Square cursorSquare() { return {cursorRow, cursorCol}; }

// The unit stands on (row, col): its row and column, the square's occupant,
// and its position over the square's centre.
inline testing::AssertionResult standsOn(const Unit& unit, int row, int col) {
    const MapCell& cell = battleMap[row][col];
    if (unit.row != row || unit.col != col)
        return testing::AssertionFailure() << "unit " << unit.id << " is on " << unit.row << "," << unit.col;
    if (cell.occupant != unit.id) return testing::AssertionFailure() << "the square holds " << cell.occupant;
    if (unit.position.x != cell.centre.x || unit.position.z != cell.centre.z)
        return testing::AssertionFailure() << "unit at x " << unit.position.x << ", z " << unit.position.z;
    return testing::AssertionSuccess();
}

inline void press(int key) { onSpecialKey(key, 0, 0); }

inline void press(std::initializer_list<int> keys) {
    for (int key : keys) press(key);
}

// Walks the browsing cursor to (row, col) with the arrow keys; each loop is
// bounded by the largest map, so a wrong target cannot hang a test.
inline void browseTo(int row, int col) {
    for (int i = 0; i < 50 && cursorRow > row; i++) press(KEY_UP);
    for (int i = 0; i < 50 && cursorRow < row; i++) press(KEY_DOWN);
    for (int i = 0; i < 50 && cursorCol > col; i++) press(KEY_LEFT);
    for (int i = 0; i < 50 && cursorCol < col; i++) press(KEY_RIGHT);
}

// Browses onto the unit (stepping off and back if the cursor already stands
// there without having selected it) and presses Insert.
inline void openMenuOf(const Unit& unit) {
    browseTo(unit.row, unit.col);
    if (selectedUnit != &unit) {
        press(unit.row > 0 ? KEY_UP : KEY_DOWN);
        browseTo(unit.row, unit.col);
    }
    press(KEY_INSERT);
}

// Opens the unit's menu and takes entry item (1 attack, 2 class action, 3 defend, 4 move).
inline void chooseEntry(const Unit& unit, int item) {
    openMenuOf(unit);
    menuItem = item;
    press(KEY_INSERT);
}

inline void startStepping(const Unit& unit) { chooseEntry(unit, 4); }

// Both players pick their heroes through the menu, as at the start of a game.
inline void chooseHeroes(const Unit& first, const Unit& second) {
    openMenuOf(first);
    checkHeroChoice();
    openMenuOf(second);
    checkHeroChoice();
}

// Archer heroes in the last column (rows 0 and 6 of a 7-row map), out of the
// way; then player 1's first turn with the cursor at (0, 0).
inline void startPlaying() {
    Unit* h1 = placeUnit<Archer>(1, 0, 4);
    Unit* h2 = placeUnit<Archer>(2, 6, 4);
    captureOutput([&] { chooseHeroes(*h1, *h2); });
    browseTo(0, 0);
}

// Runs the per-frame update until done() holds, at most limit times;
// returns the number of updates it took, or -1 if it never held.
template <class F> int idleUntil(F done, int limit) {
    for (int i = 1; i <= limit; i++) {
        idleUpdate();
        if (done()) return i;
    }
    return -1;
}

// Lets a step glide run to its end: the updates it took, or -1 if it never arrived.
inline int glide() { return idleUntil([] { return !moveAnimating; }, 1000); }
