// render/layout.cpp — the menu's entries, the buttons and the panels, as places on the window
#include "render/layout.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/glyphs.h"

int menuEntryAt(float viewX, float viewY) {
    float across = (viewX - MENU_LEFT) / MENU_SIZE, up = (viewY - MENU_BOTTOM) / MENU_SIZE;
    if (across < 0 || across > 1 || up < 0 || up > 1) return 0;
    return std::clamp(4 - static_cast<int>(std::floor(up * 4)), 1, 4);
}

// The lettering as large as the line above it (a letter pixel for every 256
// window rows, at least 2), with a letter pixel and a half of room round it.
// The line's foot lies 36 pixels and the letters' height below the top.
ButtonPlace buttonPlace(int button, int windowWidth, int windowHeight) {
    const int letter = std::max(2, windowHeight / 256);
    const int pad = letter * 3 / 2 + 2;
    const int top = windowHeight - 36 - GLYPH_HEIGHT * letter - 12;
    const int bottom = top - GLYPH_HEIGHT * letter - 2 * pad;
    auto width = [&](const char* label) {
        return static_cast<int>(std::strlen(label)) * GLYPH_ADVANCE * letter - letter + 2 * pad;
    };
    const char* endLabel = "END TURN";
    const int endRight = windowWidth - 13;
    const int endLeft = endRight - width(endLabel) + 1;
    if (button == BUTTON_END_TURN) return {endLeft, bottom, endRight, top, letter, endLabel, 'e'};
    const char* undoLabel = "UNDO";
    const int undoRight = endLeft - 2 * letter - 1;
    const int undoLeft = undoRight - width(undoLabel) + 1;
    if (button == BUTTON_UNDO) return {undoLeft, bottom, undoRight, top, letter, undoLabel, 'u'};
    const char* helpLabel = "HELP";
    const int helpRight = undoLeft - 2 * letter - 1;
    return {helpRight - width(helpLabel) + 1, bottom, helpRight, top, letter, helpLabel, 'h'};
}

int buttonAt(int x, int y, int windowWidth, int windowHeight) {
    for (int button = 1; button <= BUTTON_COUNT; button++) {
        ButtonPlace place = buttonPlace(button, windowWidth, windowHeight);
        if (x >= place.left && x <= place.right && y >= place.bottom && y <= place.top) return button;
    }
    return BUTTON_NONE;
}

// The line over the status panel stands 0.02 above it, in a font 24 pixels high.
void panelBoxes(int windowWidth, int windowHeight, ScreenBox boxes[PANEL_COUNT]) {
    const float aspect = static_cast<float>(windowWidth) / windowHeight;
    const float pixel = 2.0f / windowHeight;
    const float statusTop = STATUS_BOTTOM + STATUS_SIZE + 0.02f + 24 * pixel;
    boxes[0] = {-aspect, -1, STATUS_LEFT + STATUS_SIZE, statusTop};
    boxes[1] = {MENU_LEFT, -1, aspect, MENU_BOTTOM + MENU_SIZE};
    const ButtonPlace help = buttonPlace(BUTTON_HELP, windowWidth, windowHeight);
    boxes[2] = {(help.left - (windowWidth - 1) / 2.0f) * pixel, (help.bottom - (windowHeight - 1) / 2.0f) * pixel,
                aspect, 1};
}
