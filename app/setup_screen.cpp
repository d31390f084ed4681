// app/setup_screen.cpp — drawing the setup screen and its window callbacks
#include "app/setup_screen.h"

#include <GL/gl.h>
#include <GL/freeglut.h>

#include <algorithm>
#include <string>

#include "ai/levels.h"
#include "app/camera.h"
#include "app/input.h"
#include "app/setup.h"
#include "app/textures.h"
#include "app/window.h"
#include "render/board.h"
#include "render/glyphs.h"
#include "render/plates.h"
#include "render/setup_layout.h"

namespace {

const float SETUP_GOLD[3] = {1, 0.84f, 0.3f}, SETUP_WHITE[3] = {0.95f, 0.95f, 0.95f}, SETUP_DIM[3] = {0.5f, 0.52f, 0.58f};
const float SETUP_REFUSED[3] = {1, 0.4f, 0.35f};
const char* const SETUP_CLASS_NAMES[5] = {"ARCHER", "FIGHTER", "FLIER", "HEALER", "MAGE"};
constexpr int CLICKING_BUTTON = 0, PRESSED_STATE = 0;

SetupSpot pressedSpot;   // the control the left button went down on; a click is a release on the same one

std::string inCapitals(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Lettering centred up and down in the box, from its left edge plus a pad, or centred across.
void rowLabel(const ScreenBox& box, const std::string& text, const float colour[3], bool centred = false) {
    const int size = setupLetter(windowHeight);
    const float foot = box.bottom + (box.top - box.bottom + 1 - GLYPH_HEIGHT * size) / 2.0f;
    const float x = centred ? (box.left + box.right - letteredWidth(text, size)) / 2.0f : box.left + size * 2.0f;
    letteredText(x, foot, size, text, colour);
}

// A plate with a light rim, lit when chosen, ringed in gold when the keys are on it.
void setupButton(const ScreenBox& box, const std::string& text, bool lit, bool focused, bool live = true) {
    glColor4f(focused ? SETUP_GOLD[0] : 0.45f, focused ? SETUP_GOLD[1] : 0.48f, focused ? SETUP_GOLD[2] : 0.58f, 1);
    rectangle(box.left, box.bottom, box.right + 1, box.top + 1);
    glColor4f(lit ? 0.2f : 0.05f, lit ? 0.24f : 0.06f, lit ? 0.42f : 0.12f, 1);
    const float rim = focused ? 3 : 1;
    rectangle(box.left + rim, box.bottom + rim, box.right + 1 - rim, box.top + 1 - rim);
    rowLabel(box, text, live ? (lit ? SETUP_WHITE : SETUP_GOLD) : SETUP_DIM, true);
}

// The chosen map from above, row 0 at the top, each square in its terrain's picture.
void drawPicture(const SetupMap& map) {
    const ScreenBox box = setupPictureBox(windowWidth, windowHeight);
    panelPlate(box);
    const float square = static_cast<float>(box.right - box.left - 4) / std::max(map.rows, map.cols);
    const float left = box.left + 2 + (box.right - box.left - 4 - square * map.cols) / 2;
    const float top = box.top - 2 - (box.top - box.bottom - 4 - square * map.rows) / 2;
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    for (int r = 0; r < map.rows; r++)
        for (int c = 0; c < map.cols; c++) {
            glBindTexture(GL_TEXTURE_2D, terrainTexture(map.terrain[r * map.cols + c]));
            const float x = left + c * square, y = top - (r + 1) * square;
            glBegin(GL_QUADS);
            glTexCoord2f(0, 0);
            glVertex2f(x, y);
            glTexCoord2f(1, 0);
            glVertex2f(x + square, y);
            glTexCoord2f(1, 1);
            glVertex2f(x + square, y + square);
            glTexCoord2f(0, 1);
            glVertex2f(x, y + square);
            glEnd();
        }
    glDisable(GL_TEXTURE_2D);
}

// The size in lettering, then the character in a small font, broken into lines that fit.
void drawMapText(const SetupMap& map) {
    const ScreenBox box = setupMapTextBox(windowWidth, windowHeight);
    const int size = setupLetter(windowHeight);
    const std::string dimensions = std::to_string(map.cols) + " X " + std::to_string(map.rows) + " SQUARES";
    float y = box.top - GLYPH_HEIGHT * size;
    letteredText(box.left + size, y, size, dimensions, SETUP_WHITE);
    void* font = windowHeight >= 900 ? GLUT_BITMAP_HELVETICA_18 : GLUT_BITMAP_HELVETICA_12;
    const int pitch = windowHeight >= 900 ? 22 : 15;
    std::string line, word;
    auto flush = [&] {
        y -= pitch;
        if (y >= box.bottom) shadowedText(box.left + size, y, font, line, SETUP_WHITE);
        line.clear();
    };
    for (size_t k = 0; k <= map.character.size(); k++) {
        if (k < map.character.size() && map.character[k] != ' ') {
            word += map.character[k];
            continue;
        }
        const std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && textWidth(font, longer) > box.right - box.left - 2 * size) {
            flush();
            line = word;
        } else {
            line = longer;
        }
        word.clear();
    }
    if (!line.empty()) flush();
}

void drawMaps() {
    rowLabel(setupRow(0, 0, windowWidth, windowHeight), "MAP", SETUP_GOLD);
    for (int k = 0; k < std::min<int>(setupMaps.size(), MOST_SETUP_MAPS); k++)
        setupButton(setupBox({SETUP_MAP, k}, windowWidth, windowHeight), inCapitals(setupMaps[k].name),
               k == setupChoices.map, k == setupChoices.map && setupFocus == ROW_MAP);
    if (setupMaps.empty()) {
        rowLabel(setupRow(0, 1, windowWidth, windowHeight), "NO MAPS HERE", SETUP_REFUSED);
        return;
    }
    drawPicture(setupMaps[setupChoices.map]);
    drawMapText(setupMaps[setupChoices.map]);
}

void drawArmies() {
    const int w = windowWidth, h = windowHeight;
    rowLabel(setupRow(1, 0, w, h), "ARMIES", SETUP_GOLD);
    const long long room = setupMaps.empty() ? 0 : 3LL * setupMaps[setupChoices.map].cols;
    for (int side = 0; side < 2; side++) {
        const float from = SETUP_NAME_WIDTH + side * SETUP_SIDE_WIDTH;
        rowLabel(setupRowPart(1, 1, from, from + SETUP_SIDE_WIDTH, w, h), side ? "PLAYER 2" : "PLAYER 1", SETUP_WHITE);
        const long long units = unitsToPlace(setupChoices.counts, side + 1);
        rowLabel(setupRowPart(1, SETUP_FIT_ROW, from, from + SETUP_SIDE_WIDTH, w, h),
              std::to_string(units) + "/" + std::to_string(room), units <= room ? SETUP_WHITE : SETUP_REFUSED);
    }
    rowLabel(setupRowPart(1, SETUP_FIT_ROW, 0, SETUP_NAME_WIDTH, w, h), "ROOM", SETUP_GOLD);
    for (int k = 0; k < ARMY_COUNTS; k++) {
        const int row = SETUP_CLASS_ROW + k % 5;
        if (k < 5) rowLabel(setupRowPart(1, row, 0, SETUP_NAME_WIDTH, w, h), SETUP_CLASS_NAMES[k], SETUP_GOLD);
        const bool focused = setupFocus == ROW_COUNTS + k;
        const float side = SETUP_NAME_WIDTH + (k / 5) * SETUP_SIDE_WIDTH;
        setupButton(setupBox({SETUP_FEWER, k}, w, h), "-", false, false, setupChoices.counts[k] > 0);
        setupButton(setupRowPart(1, row, side + 0.10f, side + 0.24f, w, h), std::to_string(setupChoices.counts[k]), false,
               focused);
        setupButton(setupBox({SETUP_MORE, k}, w, h), "+", false, false, setupChoices.counts[k] < MOST_CLASS_COUNT);
    }
}

void drawCommand() {
    const int w = windowWidth, h = windowHeight;
    const bool anyComputer = setupChoices.computer[1] || setupChoices.computer[2];
    for (int player = 1; player <= 2; player++)
        setupButton(setupBox({SETUP_COMMANDER, player}, w, h),
               std::string(player == 1 ? "PLAYER 1: " : "PLAYER 2: ") +
                   (setupChoices.computer[player] ? "COMPUTER" : "PERSON"),
               setupChoices.computer[player], setupFocus == ROW_COMMANDER + player - 1);
    setupButton(setupBox({SETUP_LEVEL, 0}, w, h), "LEVEL: " + inCapitals(LEVEL_SETUPS[setupChoices.level].name), false,
           setupFocus == ROW_LEVEL, anyComputer);
    setupButton(setupBox({SETUP_SPEED, 0}, w, h), "SPEED: " + std::to_string(setupChoices.speed) + "X", false,
           setupFocus == ROW_SPEED);
    shadowedText(setupRow(1, SETUP_SPEED_ROW + 2, w, h).left, setupRow(1, SETUP_SPEED_ROW + 2, w, h).bottom,
                 windowHeight >= 900 ? GLUT_BITMAP_HELVETICA_18 : GLUT_BITMAP_HELVETICA_12, "Up and Down choose a row, Left and Right change it, Enter starts, Esc quits.",
                 SETUP_WHITE);
}

void drawStarts() {
    const int w = windowWidth, h = windowHeight;
    const bool fits = setupFits(setupChoices, setupMaps);
    setupButton(setupBox({SETUP_START, 0}, w, h), "START", false, setupFocus == ROW_START, fits);
    if (!fits) rowLabel(setupRow(2, 2, w, h), "ARMY TOO LARGE", SETUP_REFUSED);
    if (setupResumable) setupButton(setupBox({SETUP_RESUME, 0}, w, h), "RESUME", false, setupFocus == ROW_RESUME);
    if (setupReplays.empty()) return;
    rowLabel(setupRow(2, 5, w, h), "REPLAYS", SETUP_GOLD);
    for (int k = 0; k < std::min<int>(setupReplays.size(), MOST_SETUP_REPLAYS); k++) {
        const ScreenBox box = setupBox({SETUP_REPLAY, k}, w, h);
        setupButton(box, "", false, setupFocus == ROW_REPLAYS && setupReplay == k);
        // A name too long for its plate loses its start: the ends of names tell them apart.
        std::string name = setupReplays[k];
        for (size_t cut = 1; cut < setupReplays[k].size() &&
                             textWidth(GLUT_BITMAP_HELVETICA_12, name) > box.right - box.left - 12;
             cut++)
            name = "..." + setupReplays[k].substr(cut);
        shadowedText(box.left + 6, box.bottom + (box.top - box.bottom - 8) / 2.0f, GLUT_BITMAP_HELVETICA_12, name,
                     SETUP_WHITE);
    }
}

void onSetupDisplay() {
    glClearColor(0.03f, 0.04f, 0.09f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawSetupScreen();
    glutSwapBuffers();
}

void onSetupReshape(int width, int height) {
    windowWidth = width;
    windowHeight = std::max(1, height);
    glViewport(0, 0, width, windowHeight);
}

// The window's size as the X server gave it: freeglut calls the reshape
// callback only once the batch of events it came in is read, clicks included.
SetupSpot spotAt(int x, int y) {
    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
    return setupSpotAt(x, height - 1 - y, width, height, static_cast<int>(setupMaps.size()),
                       static_cast<int>(setupReplays.size()), setupResumable);
}

void onSetupMouse(int setupButton, int state, int x, int y) {
    if (setupButton != CLICKING_BUTTON) return;
    const SetupSpot spot = spotAt(x, y);
    if (state == PRESSED_STATE) {
        pressedSpot = spot;
        return;
    }
    if (spot.control != SETUP_NONE && spot.control == pressedSpot.control && spot.index == pressedSpot.index)
        dispatch({CMD_CHOOSE, spot.control, spot.index});
    pressedSpot = {};
}

void onSetupKey(unsigned char key, int, int) { dispatch({CMD_KEY, key}); }
void onSetupSpecial(int key, int, int) { dispatch({CMD_SPECIAL, key}); }

}  // namespace

void drawSetupScreen() {
    PixelSpace pixels;
    drawMaps();
    drawArmies();
    drawCommand();
    drawStarts();
}

void openSetupWindow(int argc, char** argv) {
    findSetupFiles();
    setupShowing = true;
    createWindow(argc, argv);
    loadAllTextures();
    glutDisplayFunc(onSetupDisplay);
    glutReshapeFunc(onSetupReshape);
    glutKeyboardFunc(onSetupKey);
    glutSpecialFunc(onSetupSpecial);
    glutMouseFunc(onSetupMouse);
    glutMainLoop();
}
