// render/layout.h — where the frame puts what lies over the scene: the lines,
// the panels, the action menu's entries and the buttons
//
// The frame draws them from these figures and the pointer reads them back,
// so the two cannot drift apart. No GL here.
#pragma once

// The action menu lies in the overlays' box (y from -1 to 1, x as far either
// way as the window's shape gives): its corner at (MENU_LEFT, MENU_BOTTOM),
// MENU_SIZE view units high and wide, the entries 1–4 (Attack, the class's
// action, Defend, Move) in four equal bands from the top down.
constexpr float MENU_LEFT = 0.75f, MENU_BOTTOM = -0.9f, MENU_SIZE = 0.5f;

// The menu entry at the point (view units of the overlays' box), or 0 for none.
int menuEntryAt(float viewX, float viewY);

// What lies over the scene, each part in its box. The status panel, the
// menu and the two clock lines keep their places in the overlays' box; what
// the game adds goes round them: a strip at the top (the line naming whose
// turn it is, the buttons, the band of hints) and the room between the
// status panel and the menu at the bottom. The camera's home view keeps the
// board out of every box.
enum ScreenPart {
    PART_CLOCK_LINES,    // the running-time and frames-per-second lines, top left
    PART_TOP_LINE,       // whose turn it is or who won, centred under them
    PART_BUTTONS,        // END TURN, UNDO and HELP, at the right under the top line
    PART_HINT_BAND,      // one line of hints, warnings and refusals under the buttons
    PART_STATUS_PANEL,   // the numbers of the unit read, bottom left
    PART_STATUS_NAME,    // its side and class, over the panel's picture and on to its right
    PART_ODDS_PANEL,     // the odds of the blow being aimed, right of the status panel
    PART_LOG_PANEL,      // the battle log: the odds panel's place and on to the menu
    PART_MENU,           // the action menu, bottom right
};
constexpr int SCREEN_PART_COUNT = 9;

struct ScreenBox {
    int left, bottom, right, top;   // window pixels from the bottom left, inclusive
};
ScreenBox screenBox(ScreenPart part, int windowWidth, int windowHeight);

// The boxes' own figures. The bottom panels in view units of the overlays' box.
constexpr float ODDS_LEFT = -0.58f, ODDS_RIGHT = 0.02f, LOG_RIGHT = 0.71f;
constexpr float PANELS_BOTTOM = -0.98f, PANELS_TOP = -0.52f;
constexpr float STATUS_NAME_BASELINE = -0.475f;
// The status panel's picture: its numbers start at x = -0.82 and must end
// short of the inner edge of its frame.
constexpr float STATUS_NUMBERS_RIGHT = -0.63f;
// The lettering of the top line and the buttons (a letter pixel for every 256
// window rows, at least 2) and of the band (one for every 300).
int lineLetter(int windowHeight);
int bandLetter(int windowHeight);
// The foot of the top line's letters, and the band's, in window pixels from the bottom.
int topLineFoot(int windowHeight);
int hintBandFoot(int windowHeight);

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

// A button shows, and takes clicks, only while it can act: none while a
// banner covers the window, in a replay or once a hero has fallen; HELP
// otherwise; END TURN and UNDO once the heroes are chosen, while the side
// whose turn it is is a person's.
bool buttonShown(int button);

// The button shown under the pixel (from the bottom left), or BUTTON_NONE.
int buttonAt(int x, int y, int windowWidth, int windowHeight);
