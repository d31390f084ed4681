// rules/cursor.cpp — the special keys: browsing, the action menu, step and target choice
#include "rules/cursor.h"

#include <cstdlib>

#include "game/battle_map.h"
#include "game/unit.h"
#include "rules/battle_log.h"
#include "rules/combat.h"
#include "rules/cues.h"
#include "rules/feedback.h"
#include "rules/game_state.h"
#include "rules/takeback.h"
#include "rules/window_link.h"

int  cursorRow = 0, cursorCol = 0;
bool cursorOnUnit = false;
int  cursorUnitId = 0;
int  menuItem = 1;
bool choosingMove = false;
bool moveTargetValid = false;
bool moveAnimating = false;
bool choosingTarget = false;
bool attackTargetValid = false;
bool attackAnimating = false;
bool healChosen = false;
bool specialChosen = false;
bool missShown = false;
bool cursorShown = true;

namespace {

enum MenuEntry { ENTRY_ATTACK = 1, ENTRY_CLASS_ACTION = 2, ENTRY_DEFEND = 3, ENTRY_MOVE = 4 };

// Facing, in degrees, of a unit turned toward each neighbour square.
constexpr float FACING_ROW_BEFORE = 180, FACING_ROW_AFTER = 0;   // row - 1, row + 1
constexpr float FACING_COL_BEFORE = 270, FACING_COL_AFTER = 90;  // column - 1, column + 1

int clampTo(int value, int last) { return value < 0 ? 0 : value > last ? last : value; }

bool cursorSquareEmpty() { return battleMap[cursorRow][cursorCol].occupant == -1; }

void browseKey(int key) {
    switch (key) {
        case KEY_LEFT: cursorCol = clampTo(cursorCol - 1, mapCols - 1); break;
        case KEY_UP: cursorRow = clampTo(cursorRow - 1, mapRows - 1); break;
        case KEY_RIGHT: cursorCol = clampTo(cursorCol + 1, mapCols - 1); break;
        case KEY_DOWN: cursorRow = clampTo(cursorRow + 1, mapRows - 1); break;
        case KEY_INSERT: {
            // Only the player whose turn it is may command a unit, and during
            // the hero choice only the chooser: after a t the keys may be with
            // the other side, who must neither pick nor move the chooser's army.
            int owner = selectedUnit->player;
            bool chooserOwns = !choosingHeroes || owner == (p1ChoosingHero ? 1 : 2);
            selectedUnit->menuOpen = cursorOnUnit && selectedUnit->canAct && owner == currentPlayer && chooserOwns;
            if (selectedUnit->menuOpen) noteCue(CUE_MENU_CHOOSE);
            return;
        }
        default: return;
    }
    cursorOnUnit = !cursorSquareEmpty();
}

void defend(Unit& unit) {
    const int before = unit.hp;
    unit.defending = true;
    unit.hp = static_cast<int>(unit.hp + unit.maxHp * 0.1);
    if (unit.hp > unit.maxHp) unit.hp = unit.maxHp;
    noteLog({LOG_DEFEND, logUnit(unit), {}, unit.hp - before});
    unit.canAct = false;
    unit.menuOpen = false;
    cursorOnUnit = false;
    battleRevision++;
    noteCue(CUE_DEFEND, unit.position);
}

void menuKey(int key) {
    Unit& unit = *selectedUnit;
    switch (key) {
        case KEY_UP:
            menuItem = menuItem - 1 < 1 ? 4 : menuItem - 1;
            noteCue(CUE_MENU_MOVE);
            break;
        case KEY_DOWN:
            menuItem = menuItem + 1 > 4 ? 1 : menuItem + 1;
            noteCue(CUE_MENU_MOVE);
            break;
        case KEY_HOME: unit.menuOpen = false; break;
        case KEY_INSERT:
            // During the hero choice the menu only names the hero: the frame
            // that confirms it may come after this key, and nothing acts
            // before both heroes exist.
            if (choosingHeroes) break;
            if (menuItem == ENTRY_ATTACK) {
                choosingTarget = true;
                noteCue(CUE_MENU_CHOOSE);
            } else if (menuItem == ENTRY_CLASS_ACTION) {
                // Skills cost no magic points to open for the two melee
                // classes; the 10 points are taken when the action ends.
                bool allowed = unit.mp >= 10 || unit.unitClass == CLASS_FIGHTER ||
                               unit.unitClass == CLASS_FLIER;
                if (!allowed) break;
                if (unit.unitClass == CLASS_HEALER) healChosen = true;
                else specialChosen = true;
                choosingTarget = true;
                noteCue(CUE_MENU_CHOOSE);
            } else if (menuItem == ENTRY_DEFEND) {
                defend(unit);
            } else if (menuItem == ENTRY_MOVE && unit.movePoints > 0) {
                // A step is chosen afresh each time: nothing left over from
                // an earlier step choice, of this unit or another, counts.
                choosingMove = true;
                moveTargetValid = false;
                noteStepChoice(unit);
                noteCue(CUE_MENU_CHOOSE);
            } else if (menuItem == ENTRY_MOVE) {
                tellPlayer("NO STEP: NO MOVEMENT POINTS LEFT");
            }
            break;
        default: break;
    }
}

// The square left under the cursor is no longer a target: else the next
// Attack from the menu of the unit standing there would fire at once, at that
// unit itself.
void leaveTargetChoice() {
    healChosen = false;
    choosingTarget = false;
    specialChosen = false;
    attackTargetValid = false;
}

// The step target goes with the step choice, so that a later one cannot use it.
void leaveStepChoice() {
    const Unit& unit = *selectedUnit;
    choosingMove = false;
    moveTargetValid = false;
    cursorRow = unit.row;
    cursorCol = unit.col;
}

int reachFrom(const Unit& unit) {
    return std::abs(cursorRow - unit.row) + std::abs(cursorCol - unit.col);
}

// One step of the cursor inside the attack diamond: off the map it clamps,
// beyond the unit's attackRange it is taken back.
void moveWithinReach(int& coordinate, int delta, int last, const Unit& unit) {
    coordinate += delta;
    if (coordinate < 0 || coordinate > last) coordinate = clampTo(coordinate, last);
    else if (reachFrom(unit) > unit.attackRange) coordinate -= delta;
}

void targetKey(int key) {
    Unit& unit = *selectedUnit;
    switch (key) {
        case KEY_LEFT: moveWithinReach(cursorCol, -1, mapCols - 1, unit); break;
        case KEY_UP: moveWithinReach(cursorRow, -1, mapRows - 1, unit); break;
        case KEY_RIGHT: moveWithinReach(cursorCol, +1, mapCols - 1, unit); break;
        case KEY_DOWN: moveWithinReach(cursorRow, +1, mapRows - 1, unit); break;
        case KEY_HOME: leaveTargetChoice(); return;
        case KEY_INSERT:
            if (attackTargetValid) startAttack();
            return;
        default: return;
    }
    // Friend or foe alike: any other occupied square in reach may be chosen.
    bool ownSquare = cursorRow == unit.row && cursorCol == unit.col;
    attackTargetValid = !ownSquare && !cursorSquareEmpty();
}

// The cursor leaves the unit's square only along the arrow's own line, and
// only one square: an arrow at right angles leaves it where it is. Only a
// free neighbour is a step: backing out of aiming can leave the cursor
// further off, and a step there would carry the unit over several squares
// (and over anyone on them) for the price of one.
void stepKey(int key) {
    Unit& unit = *selectedUnit;
    bool inColumn = cursorCol == unit.col;
    bool inRow = cursorRow == unit.row;
    switch (key) {
        case KEY_UP:
        case KEY_DOWN: {
            bool up = key == KEY_UP;
            if (inColumn && (up ? cursorRow >= unit.row : cursorRow <= unit.row))
                cursorRow = clampTo(cursorRow + (up ? -1 : 1), mapRows - 1);
            moveTargetValid = std::abs(cursorRow - unit.row) == 1 && cursorCol == unit.col && cursorSquareEmpty();
            if (moveTargetValid) unit.facing = cursorRow < unit.row ? FACING_ROW_BEFORE : FACING_ROW_AFTER;
            break;
        }
        case KEY_LEFT:
        case KEY_RIGHT: {
            bool left = key == KEY_LEFT;
            if (inRow && (left ? cursorCol >= unit.col : cursorCol <= unit.col))
                cursorCol = clampTo(cursorCol + (left ? -1 : 1), mapCols - 1);
            moveTargetValid = cursorRow == unit.row && std::abs(cursorCol - unit.col) == 1 && cursorSquareEmpty();
            if (moveTargetValid) unit.facing = cursorCol < unit.col ? FACING_COL_BEFORE : FACING_COL_AFTER;
            break;
        }
        case KEY_HOME: leaveStepChoice(); break;
        case KEY_INSERT:
            if (moveTargetValid) {
                moveAnimating = true;
                const MapCell& square = battleMap[cursorRow][cursorCol];
                noteCue(CUE_STEP, square.centre, square.terrain);
            }
            break;
        default: break;
    }
}

// The square's occupant becomes the selected unit; a unit that was stopped
// mid-step is set back on its square.
void updateSelection() {
    if (!cursorOnUnit || choosingTarget || choosingMove) return;
    const MapCell& cell = battleMap[cursorRow][cursorCol];
    cursorUnitId = cell.occupant;
    for (Unit* unit : allUnits) {
        if (unit->id != cursorUnitId) continue;
        selectedUnit = unit;
        unit->position = cell.centre;
        missShown = false;
        return;
    }
}

}  // namespace

// A glide that is cut short leaves the unit where it was, unpaid, and puts it
// back on its square at once rather than when it is next selected.
void standDown() {
    if (choosingMove) {
        Unit& unit = *selectedUnit;
        unit.position = battleMap[unit.row][unit.col].centre;
        moveAnimating = false;
        leaveStepChoice();
    }
    if (choosingTarget) leaveTargetChoice();
    // Backing out of aiming can leave a menu open on a unit that is no longer
    // selected; it would reopen under the next player's cursor.
    for (Unit* unit : allUnits) unit->menuOpen = false;
}

void onSpecialKey(int key, int, int) {
    if (battleWon()) {
        if (key == KEY_LEFT || key == KEY_UP || key == KEY_RIGHT || key == KEY_DOWN) {
            browseKey(key);
            updateSelection();
        }
        requestRedisplay();
        return;
    }

    if (choosingMove) {
        if (!moveAnimating && selectedUnit->movePoints > 0) stepKey(key);
        else if (key == KEY_HOME) moveAnimating = false;   // the glide stops where it is
    } else if (choosingTarget) {
        if (!attackAnimating) targetKey(key);
    } else if (selectedUnit->menuOpen) {
        menuKey(key);
    } else {
        browseKey(key);
    }

    updateSelection();
    checkEndOfTurn();
    requestRedisplay();
}

void cursorToFirstUnit(int player) {
    for (Unit* unit : allUnits) {
        if (unit->player != player || unit->dead) continue;
        cursorRow = unit->row;
        cursorCol = unit->col;
        cursorOnUnit = true;
        updateSelection();
        return;
    }
}

const Unit* cursorToNextUnit(int player, int step) {
    const int from = battleMap[cursorRow][cursorCol].occupant;
    bool fromOwn = false;
    for (const Unit* unit : allUnits) fromOwn |= unit->id == from && unit->player == player;
    // Measured as ids after `from` going the step's way, round from the last to the first.
    auto ahead = [&](const Unit* unit) {
        const int gap = step > 0 ? unit->id - from : from - unit->id;
        return fromOwn && gap > 0 ? gap : gap + 2 * MAP_LIMIT * MAP_LIMIT;
    };
    const Unit* next = nullptr;
    for (const Unit* unit : allUnits)
        if (unit->player == player && !unit->dead && unit->canAct && (!next || ahead(unit) < ahead(next))) next = unit;
    if (!next) return nullptr;
    cursorRow = next->row;
    cursorCol = next->col;
    cursorOnUnit = true;
    updateSelection();
    requestRedisplay();
    return next;
}

void resetCursor() {
    cursorRow = cursorCol = 0;
    cursorOnUnit = false;
    cursorUnitId = 0;
    menuItem = 1;
    choosingMove = moveTargetValid = moveAnimating = false;
    choosingTarget = attackTargetValid = attackAnimating = false;
    healChosen = specialChosen = missShown = false;
}
