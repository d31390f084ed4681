// render/setup_layout.cpp — the setup screen's rows and controls, as places on the window
#include "render/setup_layout.h"

#include <algorithm>
#include <vector>

namespace {

// The columns' edges, as parts of the window's width.
constexpr float SETUP_COLUMN_LEFT[3] = {0.02f, 0.33f, 0.75f}, SETUP_COLUMN_RIGHT[3] = {0.31f, 0.73f, 0.98f};
constexpr int SETUP_ROW_GAP = 3;   // pixels between a row's box and the next row's

int setupMargin(int windowHeight) { return windowHeight / 40; }

bool insideBox(const ScreenBox& box, int x, int y) {
    return x >= box.left && x <= box.right && y >= box.bottom && y <= box.top;
}

}  // namespace

int setupPitch(int windowHeight) { return std::max(18, windowHeight / 25); }
int setupLetter(int windowHeight) { return std::max(2, setupPitch(windowHeight) / 14); }

ScreenBox setupRow(int column, int row, int windowWidth, int windowHeight) {
    const int top = windowHeight - setupMargin(windowHeight) - row * setupPitch(windowHeight);
    return {static_cast<int>(SETUP_COLUMN_LEFT[column] * windowWidth), top - setupPitch(windowHeight) + SETUP_ROW_GAP,
            static_cast<int>(SETUP_COLUMN_RIGHT[column] * windowWidth), top};
}

ScreenBox setupRowPart(int column, int row, float from, float to, int windowWidth, int windowHeight) {
    ScreenBox box = setupRow(column, row, windowWidth, windowHeight);
    const int width = box.right - box.left;
    box.right = box.left + static_cast<int>(to * width);
    box.left += static_cast<int>(from * width);
    return box;
}

// A square as wide as the column, leaving four rows under it for the map's size and character.
ScreenBox setupPictureBox(int windowWidth, int windowHeight) {
    const ScreenBox under = setupRow(0, MOST_SETUP_MAPS + 1, windowWidth, windowHeight);
    const int room = under.top - setupMargin(windowHeight) - 4 * setupPitch(windowHeight);
    const int side = std::max(0, std::min(under.right - under.left, room));
    return {under.left, under.top - side, under.left + side, under.top};
}

ScreenBox setupMapTextBox(int windowWidth, int windowHeight) {
    const ScreenBox picture = setupPictureBox(windowWidth, windowHeight);
    const ScreenBox column = setupRow(0, 0, windowWidth, windowHeight);
    return {column.left, setupMargin(windowHeight), column.right, picture.bottom - SETUP_ROW_GAP};
}

ScreenBox setupBox(SetupSpot spot, int windowWidth, int windowHeight) {
    const int w = windowWidth, h = windowHeight;
    switch (spot.control) {
        case SETUP_MAP: return setupRow(0, 1 + spot.index, w, h);
        case SETUP_FEWER:
        case SETUP_MORE: {
            const float side = SETUP_NAME_WIDTH + (spot.index / 5) * SETUP_SIDE_WIDTH;
            const int row = SETUP_CLASS_ROW + spot.index % 5;
            return spot.control == SETUP_FEWER ? setupRowPart(1, row, side, side + 0.09f, w, h)
                                               : setupRowPart(1, row, side + 0.25f, side + 0.34f, w, h);
        }
        case SETUP_COMMANDER: return setupRow(1, SETUP_COMMANDER_ROW + spot.index - 1, w, h);
        case SETUP_LEVEL: return setupRow(1, SETUP_LEVEL_ROW, w, h);
        case SETUP_SPEED: return setupRow(1, SETUP_SPEED_ROW, w, h);
        case SETUP_START: {
            ScreenBox box = setupRow(2, 1, w, h);
            box.top = setupRow(2, 0, w, h).top;
            return box;
        }
        case SETUP_RESUME: return setupRow(2, 3, w, h);
        case SETUP_REPLAY: return setupRow(2, 6 + spot.index, w, h);
        case SETUP_NONE: break;
    }
    return {0, 0, -1, -1};
}

SetupSpot setupSpotAt(int x, int y, int windowWidth, int windowHeight, int maps, int replays, bool resumable) {
    std::vector<SetupSpot> shown{{SETUP_COMMANDER, 1}, {SETUP_COMMANDER, 2}, {SETUP_LEVEL, 0}, {SETUP_SPEED, 0},
                                 {SETUP_START, 0}};
    if (resumable) shown.push_back({SETUP_RESUME, 0});
    for (int k = 0; k < 10; k++) {
        shown.push_back({SETUP_FEWER, k});
        shown.push_back({SETUP_MORE, k});
    }
    for (int k = 0; k < std::min(maps, MOST_SETUP_MAPS); k++) shown.push_back({SETUP_MAP, k});
    for (int k = 0; k < std::min(replays, MOST_SETUP_REPLAYS); k++) shown.push_back({SETUP_REPLAY, k});
    for (const SetupSpot& spot : shown)
        if (insideBox(setupBox(spot, windowWidth, windowHeight), x, y)) return spot;
    return {};
}
