// tests/unit/rules_keys.h — pressing keys the way a player does, for the rules tests
#pragma once
#include <initializer_list>

#include "game/unit.h"
#include "rules/cursor.h"
#include "rules/game_state.h"

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

// Both players pick their heroes through the menu, as at the start of a game.
inline void chooseHeroes(const Unit& first, const Unit& second) {
    openMenuOf(first);
    checkHeroChoice();
    openMenuOf(second);
    checkHeroChoice();
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
