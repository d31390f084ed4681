// render/layout.h — where the frame puts what a click can hit: the action
// menu's entries and the buttons, END TURN, UNDO and HELP; and the panels the
// board at home keeps clear of
//
// The frame draws them from these figures and the pointer reads them back,
// so the two cannot drift apart. No GL here.
#pragma once

// The action menu lies in the overlays' box (y from -1 to 1, x as far either
// way as the window's shape gives): its corner at (MENU_LEFT, MENU_BOTTOM),
// MENU_SIZE view units high and wide, the entries 1–4 (Attack, the class's
// action, Defend, Move) in four equal bands from the top down.
constexpr float MENU_LEFT = 0.75f, MENU_BOTTOM = -0.9f, MENU_SIZE = 0.5f;

// The status panel (a unit's numbers) in the bottom left corner, its
// corner at (STATUS_LEFT, STATUS_BOTTOM), STATUS_SIZE view units high and
// wide; the unit's side and class are written just over it.
constexpr float STATUS_LEFT = -1.2f, STATUS_BOTTOM = -1, STATUS_SIZE = 0.6f;

// The menu entry at the point (view units of the overlays' box), or 0 for none.
int menuEntryAt(float viewX, float viewY);

// The buttons, at the top right below the line naming whose turn it is:
// END TURN in the corner, UNDO to its left, HELP left of that. A click on
// one is its key (e, h, u).
enum ScreenButton { BUTTON_NONE, BUTTON_END_TURN, BUTTON_HELP, BUTTON_UNDO };
constexpr int BUTTON_COUNT = 3;

struct ButtonPlace {
    int left, bottom, right, top;   // window pixels from the bottom left, inclusive
    int letter;                     // pixels to one pixel of the lettering
    const char* label;
    unsigned char key;
};

// Button 1 (END TURN), 2 (HELP) or 3 (UNDO) in a window of the given size.
ButtonPlace buttonPlace(int button, int windowWidth, int windowHeight);

// The button under the pixel (from the bottom left), or BUTTON_NONE.
int buttonAt(int x, int y, int windowWidth, int windowHeight);

// A part of the window in the overlays' view units (y from -1 to 1, x as far
// either way as the window's shape gives).
struct ScreenBox {
    float left, bottom, right, top;
};
constexpr int PANEL_COUNT = 3;

// What the board at home keeps clear of, in a window of the given size: the
// status panel with the line over it, the action menu and the buttons, each
// stretched to the window's edges it lies against.
void panelBoxes(int windowWidth, int windowHeight, ScreenBox boxes[PANEL_COUNT]);
