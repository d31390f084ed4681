// render/guides.cpp — the move tint, HP bars and rising numbers, the odds panel, the top line, the help
#include "render/guides.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <GL/glu.h>
#include <GL/glut.h>

#include "app/camera.h"
#include "game/battle_map.h"
#include "game/unit.h"
#include "render/glyphs.h"
#include "render/hud.h"
#include "rules/cursor.h"
#include "rules/feedback.h"
#include "rules/game_state.h"

const float PLAYER_COLOURS[3][3] = {{1, 1, 1}, {1.0f, 0.5f, 0.4f}, {0.5f, 0.72f, 1.0f}};

namespace {

void* const LINE_FONT = GLUT_BITMAP_HELVETICA_18;
constexpr int LINE_HEIGHT = 24;             // pixels between the help panel's baselines
constexpr float BAR_ABOVE = 0.6f;           // world units from a unit's position up to its HP bar
constexpr int BAR_WIDTH = 36, BAR_HEIGHT = 5;
constexpr float NUMBER_ABOVE = 0.7f, NUMBER_RISE = 0.6f;   // world units, and per second

const char* const CLASS_NAMES[6] = {"", "ARCHER", "FIGHTER", "FLIER", "HEALER", "MAGE"};

const float WHITE[3] = {0.95f, 0.95f, 0.95f}, GOLD[3] = {1, 0.84f, 0.3f}, GREY[3] = {0.75f, 0.78f, 0.85f};
const float DAMAGE_COLOUR[3] = {1, 0.55f, 0.35f}, HEAL_COLOUR[3] = {0.4f, 1, 0.45f};

const struct {
    bool        heading;
    const char* text;
} HELP_LINES[] = {
    {true, "HOW A TURN GOES"},
    {false, "Each of your units may act once a turn, and first move with its 5 points."},
    {false, "Arrows move the cursor. Insert on your unit opens its menu; Home backs out."},
    {false, "Attack, Skills, Healing, Magic: aim inside the orange diamond, Insert."},
    {false, "   The panel beside the unit's numbers gives the chance and what a hit does."},
    {false, "Defend heals a tenth of the unit's hit points and ends its action."},
    {false, "Move: the tinted squares are in reach. Step one square at a time."},
    {false, "Dimmed units have acted. The turn passes when nobody is left to act."},
    {false, "A player wins when the other player's hero falls."},
    {false, ""},
    {true, "KEYS"},
    {false, "E  end your turn now        T  hand the keys over, ending nothing"},
    {false, "C  camera home        2 4 6 8 + -  move the camera        R  its angles"},
    {false, "Mouse drag  turn the camera        V  projection        S  backdrop"},
    {false, "L  lighting        B, F  unit and sight spheres        P  who stands where"},
    {false, "F1, F2  the lines at the top left        H  this help        Q, Esc  quit"},
    {false, "W  the computer plays four times as fast, or at its pace again"},
};

// A unit's HP bar and a rising number, in window pixels from the bottom left.
struct Bar {
    float x, y, filled;
    int   player;
};
struct Rising {
    float x, y, fade;
    std::string text;
    bool heal;
};
std::vector<Bar> bars;
std::vector<Rising> risings;

// Window pixels from the bottom left, no depth test, no lighting: the flat
// marks go over the scene, and anything drawn later at overlay depth (the
// banners) over them. Everything is put back when it goes.
class PixelSpace {
public:
    PixelSpace() {
        glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0, windowWidth, 0, windowHeight, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
    }
    ~PixelSpace() {
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glPopAttrib();
    }
    PixelSpace(const PixelSpace&) = delete;
    PixelSpace& operator=(const PixelSpace&) = delete;
};

void rectangle(float left, float bottom, float right, float top) {
    glBegin(GL_QUADS);
    glVertex2f(left, bottom);
    glVertex2f(right, bottom);
    glVertex2f(right, top);
    glVertex2f(left, top);
    glEnd();
}

int textWidth(void* font, const std::string& text) {
    return glutBitmapLength(font, reinterpret_cast<const unsigned char*>(text.c_str()));
}

// Text with a black shadow one pixel down and right, in pixel space.
void shadowedText(float x, float y, void* font, const std::string& text, const float colour[3], float alpha = 1) {
    glColor4f(0, 0, 0, alpha);
    drawBitmapText(x + 1, y - 1, 0, font, text.c_str());
    glColor4f(colour[0], colour[1], colour[2], alpha);
    drawBitmapText(x, y, 0, font, text.c_str());
}

// Capitals in the game's own lettering, as the banners have them, centred
// on the window with their foot at y: `size` pixels to a letter pixel and a
// black rim of a third of that around every stroke.
void letteredLine(float y, float size, const std::string& text, const float colour[3]) {
    float x = (windowWidth - (static_cast<float>(text.size()) * GLYPH_ADVANCE - 1) * size) / 2;
    float rim = std::max(1.0f, std::round(size / 3));
    for (bool fill : {false, true}) {
        float grow = fill ? 0 : rim;
        if (fill)
            glColor3fv(colour);
        else
            glColor3f(0, 0, 0);
        glBegin(GL_QUADS);
        for (size_t i = 0; i < text.size(); i++) {
            const char* const* rows = glyphRows(text[i]);
            if (!rows) continue;
            for (int row = 0; row < GLYPH_HEIGHT; row++)
                for (int col = 0; col < GLYPH_WIDTH; col++) {
                    if (rows[row][col] != '#') continue;
                    float left = x + (i * GLYPH_ADVANCE + col) * size, bottom = y + (GLYPH_HEIGHT - 1 - row) * size;
                    glVertex2f(left - grow, bottom - grow);
                    glVertex2f(left + size + grow, bottom - grow);
                    glVertex2f(left + size + grow, bottom + size + grow);
                    glVertex2f(left - grow, bottom + size + grow);
                }
        }
        glEnd();
    }
}

// The panel's or the line's text on the console, once each time it changes.
void reportForDebugging(const char* what, std::string& last, const std::string& text) {
    static const bool wanted = std::getenv("KESTRAVA_DEBUG_HUD") != nullptr;
    if (!wanted || text == last) return;
    last = text;
    std::printf("HUD %s: %s\n", what, text.c_str());
}

// The camera's matrices and the viewport, read once a frame: window pixels of world points.
class Projector {
public:
    Projector() {
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
    }
    bool onScreen(const Vector& point, float& x, float& y) const {
        GLdouble wx, wy, wz;
        if (!gluProject(point.x, point.y, point.z, model, projection, viewport, &wx, &wy, &wz)) return false;
        x = static_cast<float>(wx);
        y = static_cast<float>(wy);
        return wz > 0 && wz < 1;   // in front of the eye and short of the far plane
    }

private:
    GLdouble model[16], projection[16];
    GLint viewport[4];
};

std::string oddsLines(const Odds& odds, std::vector<std::string>& lines) {
    char text[64];
    std::snprintf(text, sizeof text, "%s  %d/%d", CLASS_NAMES[odds.targetClass], odds.targetHp, odds.targetMaxHp);
    lines.push_back(text);
    std::snprintf(text, sizeof text, "TO HIT  %d%%", odds.hitPercent);
    lines.push_back(text);
    if (odds.heal)
        std::snprintf(text, sizeof text, "HEALS  +%d", odds.amountLow);
    else if (odds.amountLow == odds.amountHigh)
        std::snprintf(text, sizeof text, "DAMAGE  %d", odds.amountLow);
    else
        std::snprintf(text, sizeof text, "DAMAGE  %d-%d", odds.amountLow, odds.amountHigh);
    lines.push_back(text);
    if (odds.heal)
        lines.push_back("WHATEVER THE ROLL");
    else if (odds.firstHit > 100)
        lines.push_back("NO ROLL HITS");
    else {
        std::snprintf(text, sizeof text, "ROLLS %d-100 HIT", odds.firstHit);
        lines.push_back(text);
    }
    std::string joined;
    for (const std::string& line : lines) joined += (joined.empty() ? "" : " | ") + line;
    return joined;
}

std::string topLine(int& player) {
    char text[80];
    if (battleWon()) {
        player = bannerP1Wins ? 1 : 2;
        std::snprintf(text, sizeof text, "PLAYER %d WINS!     ENTER: NEW BATTLE     Q: QUIT", player);
    } else if (choosingHeroes) {
        player = currentPlayer;
        std::snprintf(text, sizeof text, "PLAYER %d: CHOOSE YOUR HERO", player);
    } else {
        player = currentPlayer;
        std::snprintf(text, sizeof text, "PLAYER %d'S TURN", player);
    }
    return text;
}

void drawUnitMarks() {
    for (const Bar& bar : bars) {
        float left = bar.x - BAR_WIDTH / 2.0f;
        glColor4f(0, 0, 0, 0.8f);
        rectangle(left - 1, bar.y - 1, left + BAR_WIDTH + 1, bar.y + BAR_HEIGHT + 1);
        const float* colour = PLAYER_COLOURS[bar.player];
        glColor4f(colour[0], colour[1], colour[2], 1);
        rectangle(left, bar.y, left + BAR_WIDTH * bar.filled, bar.y + BAR_HEIGHT);
    }
    for (const Rising& rising : risings)
        shadowedText(rising.x - textWidth(labelFont, rising.text) / 2.0f, rising.y, labelFont, rising.text,
                     rising.heal ? HEAL_COLOUR : GOLD, rising.fade);
}

void drawTopLine() {
    static std::string reported;
    int player = 1;
    std::string text = topLine(player);
    reportForDebugging("top", reported, text);
    float size = std::max(2, windowHeight / 256);
    letteredLine(windowHeight - 12 - GLYPH_HEIGHT * size - 24, size, text, PLAYER_COLOURS[player]);
}

void drawHelpHint() {
    if (!firstTurn || !bannerP1BeginTurn) return;
    letteredLine(windowHeight * 0.09f, std::max(2, windowHeight / 128), "H: HELP", GOLD);
}

void drawHelpPanel() {
    if (!helpShown) return;
    const int lineCount = sizeof HELP_LINES / sizeof HELP_LINES[0];
    int width = 0;
    for (const auto& line : HELP_LINES) width = std::max(width, textWidth(LINE_FONT, line.text));
    float left = (windowWidth - width) / 2.0f, top = (windowHeight + lineCount * LINE_HEIGHT) / 2.0f;
    glColor4f(0.03f, 0.04f, 0.08f, 0.92f);
    rectangle(left - 24, top - lineCount * LINE_HEIGHT - 16, left + width + 24, top + 24);
    for (int i = 0; i < lineCount; i++)
        shadowedText(left, top - (i + 0.5f) * LINE_HEIGHT, LINE_FONT, HELP_LINES[i].text,
                     HELP_LINES[i].heading ? GOLD : WHITE);
}

}  // namespace

// Each square once, just above the board and under the cursor, tinted the
// way the attack diamond is (2 × colour × what is behind) but blue-green.
void drawMoveReach() {
    if (!choosingMove) return;
    static bool reach[MAP_LIMIT][MAP_LIMIT];
    moveReach(*selectedUnit, reach);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_SRC_COLOR);
    glColor4f(0.35f, 0.95f, 0.85f, 1);
    glBegin(GL_QUADS);
    for (int r = 0; r < mapRows; r++)
        for (int c = 0; c < mapCols; c++) {
            if (!reach[r][c]) continue;
            const Vector& centre = battleMap[r][c].centre;
            float y = centre.y - 0.495f;
            glVertex3f(centre.x - 0.5f, y, centre.z - 0.5f);
            glVertex3f(centre.x - 0.5f, y, centre.z + 0.5f);
            glVertex3f(centre.x + 0.5f, y, centre.z + 0.5f);
            glVertex3f(centre.x + 0.5f, y, centre.z - 0.5f);
        }
    glEnd();
    glPopAttrib();
}

void placeUnitMarks() {
    bars.clear();
    risings.clear();
    const Projector camera;
    float x, y;
    for (const Unit* unit : allUnits) {
        if (unit->dead || !unit->visible || outsideView(*unit)) continue;
        if (!camera.onScreen(unit->position + Vector(0, BAR_ABOVE, 0), x, y)) continue;
        float filled = std::clamp(static_cast<float>(unit->hp) / unit->maxHp, 0.0f, 1.0f);
        bars.push_back({x, y, filled, unit->player});
    }
    for (const FloatingNumber& number : floatingNumbers) {
        if (!camera.onScreen(number.at + Vector(0, NUMBER_ABOVE + NUMBER_RISE * number.age, 0), x, y)) continue;
        std::string text = (number.heal ? "+" : "-") + std::to_string(number.amount);
        risings.push_back({x, y, 1 - number.age / FLOATING_SECONDS, text, number.heal});
    }
}

// At the status panel's height, just right of it, and as deep as its
// numbers: a turn banner covers it.
void drawOddsPanel() {
    static std::string reported;
    const Odds odds = oddsAtCursor();
    if (!odds.shown) {
        reported.clear();
        return;
    }
    std::vector<std::string> lines;
    reportForDebugging("odds", reported, oddsLines(odds, lines));

    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.05f, 0.06f, 0.12f, 0.75f);
    glBegin(GL_QUADS);
    glVertex3f(-0.58f, -0.88f, -1);
    glVertex3f(0.02f, -0.88f, -1);
    glVertex3f(0.02f, -0.44f, -1);
    glVertex3f(-0.58f, -0.44f, -1);
    glEnd();
    const float* colours[4] = {WHITE, GOLD, odds.heal ? HEAL_COLOUR : DAMAGE_COLOUR, GREY};
    for (size_t i = 0; i < lines.size(); i++) {
        float baseline = -0.53f - 0.095f * i;
        glColor3f(0, 0, 0);
        drawBitmapText(-0.545f, baseline - 0.005f, -0.105f, labelFont, lines[i].c_str());
        glColor3fv(colours[i]);
        drawBitmapText(-0.55f, baseline, -0.11f, labelFont, lines[i].c_str());
    }
    glPopAttrib();
}

void drawGuides() {
    PixelSpace pixels;
    if (!bannerUp()) {
        drawUnitMarks();
        drawTopLine();
    }
    drawHelpHint();
    drawHelpPanel();
}
