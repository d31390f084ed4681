// render/setup_layout.h — where the setup screen (kestrava --setup) puts its lists, picture and buttons
//
// Three columns: the maps at the left, with the chosen map's picture, size
// and character under the list; the armies, who commands each side, the
// computer's level and the battle speed in the middle; Start, Resume and the
// recorded replays at the right. Rows of one pitch from the top, so that it
// fits every window from 800 × 600 to 1920 × 1080. The screen draws from
// these boxes and the pointer reads them back. No GL here.
#pragma once
#include "render/layout.h"

enum SetupControl {
    SETUP_NONE,
    SETUP_MAP,         // index: the map's place in the list
    SETUP_FEWER,       // index: the army count (0–9) made one lower
    SETUP_MORE,        // index: the army count made one higher
    SETUP_COMMANDER,   // index: the player (1 or 2) whose commander changes
    SETUP_LEVEL,       // the computer's level: the next one
    SETUP_SPEED,       // the battle speed: the next one
    SETUP_START,
    SETUP_RESUME,
    SETUP_REPLAY,      // index: the replay's place in the list
};
struct SetupSpot {
    SetupControl control = SETUP_NONE;
    int index = 0;
};
constexpr int MOST_SETUP_MAPS = 8, MOST_SETUP_REPLAYS = 8;

int setupPitch(int windowHeight);    // pixels from one row to the next
int setupLetter(int windowHeight);   // pixels to a letter pixel of the lettering
// Row `row` (0 at the top) of column 0, 1 or 2, its whole width.
ScreenBox setupRow(int column, int row, int windowWidth, int windowHeight);
// The part of a row from `from` to `to` of its width (0 to 1).
ScreenBox setupRowPart(int column, int row, float from, float to, int windowWidth, int windowHeight);
// The chosen map's picture, under the list, and the room for its size and character under that.
ScreenBox setupPictureBox(int windowWidth, int windowHeight);
ScreenBox setupMapTextBox(int windowWidth, int windowHeight);
// The middle column's rows: the class rows under the heading, then the rest.
constexpr int SETUP_CLASS_ROW = 2, SETUP_FIT_ROW = 7, SETUP_COMMANDER_ROW = 9, SETUP_LEVEL_ROW = 11,
              SETUP_SPEED_ROW = 12;
// The left end of a side's count controls in a class row (0 to 1 of the row).
constexpr float SETUP_NAME_WIDTH = 0.30f, SETUP_SIDE_WIDTH = 0.35f;

ScreenBox setupBox(SetupSpot spot, int windowWidth, int windowHeight);
// The control under the pixel (from the bottom left) among those shown: so
// many maps and replays, Resume only when resumable.
SetupSpot setupSpotAt(int x, int y, int windowWidth, int windowHeight, int maps, int replays, bool resumable);
