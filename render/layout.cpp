// render/layout.cpp — the lines, panels, menu entries and buttons, as places on the window
#include "render/layout.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/glyphs.h"
#include "render/looks.h"
#include "rules/game_state.h"

namespace {

// The clock lines: baselines in view units from their left end, in a font
// ten pixels high; the longer line is under 220 pixels.
constexpr float CLOCK_LEFT = -1.2f, FPS_BASELINE = 0.92f, RUN_TIME_BASELINE = 0.95f;
constexpr int CLOCK_WIDTH = 220, CLOCK_ASCENT = 10, CLOCK_DESCENT = 4;
constexpr int GAP = 4;   // pixels between the rows of the top strip

int pixelX(float viewX, int windowWidth, int windowHeight) {
    return static_cast<int>(std::lround(viewX * windowHeight / 2.0f + windowWidth / 2.0f));
}
int pixelY(float viewY, int windowHeight) { return static_cast<int>(std::lround((viewY + 1) * windowHeight / 2.0f)); }

// The black rim round the game's lettering, as the frame draws it.
int rim(int letter) { return std::max(1, static_cast<int>(std::lround(letter / 3.0f))); }

ScreenBox viewBox(float left, float bottom, float right, float top, int windowWidth, int windowHeight) {
    return {pixelX(left, windowWidth, windowHeight), pixelY(bottom, windowHeight),
            pixelX(right, windowWidth, windowHeight), pixelY(top, windowHeight)};
}

int clockBottom(int windowHeight) { return pixelY(FPS_BASELINE, windowHeight) - CLOCK_DESCENT; }
int topLineBottom(int windowHeight) { return topLineFoot(windowHeight) - rim(lineLetter(windowHeight)); }
int buttonsTop(int windowHeight) { return topLineBottom(windowHeight) - GAP; }
int buttonPad(int letter) { return letter * 3 / 2 + 2; }
int buttonsBottom(int windowHeight) {
    const int letter = lineLetter(windowHeight);
    return buttonsTop(windowHeight) - GLYPH_HEIGHT * letter - 2 * buttonPad(letter);
}

}  // namespace

int menuEntryAt(float viewX, float viewY) {
    float across = (viewX - MENU_LEFT) / MENU_SIZE, up = (viewY - MENU_BOTTOM) / MENU_SIZE;
    if (across < 0 || across > 1 || up < 0 || up > 1) return 0;
    return std::clamp(4 - static_cast<int>(std::floor(up * 4)), 1, 4);
}

int lineLetter(int windowHeight) { return std::max(2, windowHeight / 256); }
int bandLetter(int windowHeight) { return std::max(2, windowHeight / 300); }

// The top line hangs under the clock lines, so that no line of any length meets them.
int topLineFoot(int windowHeight) {
    const int letter = lineLetter(windowHeight);
    return clockBottom(windowHeight) - 2 - rim(letter) - GLYPH_HEIGHT * letter;
}

// The band's letters sit on a plate a pixel wider than their rim.
int hintBandFoot(int windowHeight) {
    const int letter = bandLetter(windowHeight);
    return buttonsBottom(windowHeight) - GAP - rim(letter) - 1 - GLYPH_HEIGHT * letter;
}

ScreenBox screenBox(ScreenPart part, int windowWidth, int windowHeight) {
    const int w = windowWidth, h = windowHeight;
    switch (part) {
        case PART_CLOCK_LINES: {
            const int left = pixelX(CLOCK_LEFT, w, h) - 1;
            return {left, clockBottom(h), left + CLOCK_WIDTH, pixelY(RUN_TIME_BASELINE, h) + CLOCK_ASCENT};
        }
        case PART_TOP_LINE: return {0, topLineBottom(h), w - 1, clockBottom(h) - 2};
        case PART_BUTTONS:
            return {buttonPlace(BUTTON_HELP, w, h).left, buttonsBottom(h), buttonPlace(BUTTON_END_TURN, w, h).right,
                    buttonsTop(h)};
        case PART_HINT_BAND: return {0, hintBandFoot(h) - rim(bandLetter(h)) - 1, w - 1, buttonsBottom(h) - GAP};
        case PART_STATUS_PANEL: return viewBox(-1.2f, -1, -0.6f, -0.4f, w, h);
        case PART_STATUS_NAME: return viewBox(-1.18f, -0.494f, ODDS_RIGHT, -0.4f, w, h);
        case PART_ODDS_PANEL: return viewBox(ODDS_LEFT, PANELS_BOTTOM, ODDS_RIGHT, PANELS_TOP, w, h);
        case PART_LOG_PANEL: return viewBox(ODDS_LEFT, PANELS_BOTTOM, LOG_RIGHT, PANELS_TOP, w, h);
        case PART_MENU: return viewBox(MENU_LEFT, MENU_BOTTOM, MENU_LEFT + MENU_SIZE, MENU_BOTTOM + MENU_SIZE, w, h);
    }
    return {0, 0, -1, -1};
}

// The lettering as large as the top line's, with a letter pixel and a half of room round it.
ButtonPlace buttonPlace(int button, int windowWidth, int windowHeight) {
    const int letter = lineLetter(windowHeight);
    const int pad = buttonPad(letter);
    const int top = buttonsTop(windowHeight);
    const int bottom = buttonsBottom(windowHeight);
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

bool buttonShown(int button) {
    if (bannerShown() || watchingReplay || battleWon()) return false;
    return button == BUTTON_HELP || (!choosingHeroes && !computerCommands[activeSide()]);
}

int buttonAt(int x, int y, int windowWidth, int windowHeight) {
    for (int button = 1; button <= BUTTON_COUNT; button++) {
        if (!buttonShown(button)) continue;
        ButtonPlace place = buttonPlace(button, windowWidth, windowHeight);
        if (x >= place.left && x <= place.right && y >= place.bottom && y <= place.top) return button;
    }
    return BUTTON_NONE;
}
