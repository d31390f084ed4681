// rules/cursor.h — the selection cursor, the action menu and the special keys
#pragma once
struct Unit;

// GLUT's special key codes, the ones the game acts on.
enum SpecialKey {
    KEY_F1 = 1, KEY_F2 = 2,
    KEY_LEFT = 100, KEY_UP = 101, KEY_RIGHT = 102, KEY_DOWN = 103,
    KEY_HOME = 106, KEY_INSERT = 108
};

extern int  cursorRow, cursorCol;   // square under the cursor, always on the map
extern bool cursorOnUnit;           // the square held a unit when the cursor last moved
extern int  cursorUnitId;           // occupant of the cursor's square at the last selection update
extern int  menuItem;               // highlighted menu entry, 1..4: attack, class action, defend, move
extern bool choosingMove;           // picking a square to step to
extern bool moveTargetValid;        // the cursor is on a square the unit may step to
extern bool moveAnimating;          // the unit is gliding to the cursor's square
extern bool choosingTarget;         // picking a square to attack or heal
extern bool attackTargetValid;      // the cursor is on a square that may be targeted
extern bool attackAnimating;        // an attack or heal is playing
extern bool healChosen;             // the menu's Healing entry was taken
extern bool specialChosen;          // the menu's Skills or Magic entry was taken
extern bool missShown;              // a missed attack has played out: show the miss marker
// The frame draws the cursor: false on a joined screen (app/net_view.h) while
// the other side's cursor is on a square out of its sight.
extern bool cursorShown;

// The rules' special keys, as the dispatcher (app/input.h) and the hero
// choice press them. Any special key counts, F1 and F2 too: when nobody of
// the player may act, it hands the turn over. Once a hero has fallen the
// arrows still move the cursor over the board and read its units, but no
// menu opens and nobody acts.
void onSpecialKey(int key, int x, int y);

// The cursor on the player's first living unit (the lowest id), which it
// selects, as arrows onto it would: after the hero choice, so the hero
// chosen is not given away, and when a person's turn follows the computer's.
void cursorToFirstUnit(int player);

// Tab and Backspace: the cursor onto the next unit of the player that may
// still act, in the order of ids (step 1) or back (step -1), counted from the
// unit under the cursor if it is the player's, round from the last to the
// first; it selects it as arrows onto it would. Null, the cursor where it
// was, when none may act.
const Unit* cursorToNextUnit(int player, int step);

void resetCursor();   // a new battle: the cursor on the first square, nothing open or chosen

// Leaves every open menu, aiming and stepping as Home would, a running glide
// included: the turn is being handed over. Never called while an attack
// plays, which the t key waits for and which keeps the turn from passing.
void standDown();
