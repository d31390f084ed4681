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
#include "render/layout.h"
#include "render/looks.h"
#include "rules/cursor.h"
#include "rules/feedback.h"
#include "rules/game_state.h"
#include "rules/movement.h"
#include "save/battle_save.h"

const float PLAYER_COLOURS[3][3] = {{1, 1, 1}, {1.0f, 0.5f, 0.4f}, {0.5f, 0.72f, 1.0f}};

namespace {

void* const LINE_FONT = GLUT_BITMAP_HELVETICA_18;
constexpr int LINE_HEIGHT = 24;             // pixels between the help panel's baselines
constexpr float BAR_ABOVE = 0.6f;           // world units from a unit's position up to its HP bar
constexpr int BAR_WIDTH = 36, BAR_HEIGHT = 5;
constexpr float NUMBER_ABOVE = 0.75f, NUMBER_RISE = 0.25f;   // world units, and per second
constexpr float UNIT_TOP = 0.6f, UNIT_FOOT = 0.5f, UNIT_HALF_WIDTH = 0.3f;   // a unit's extent, world units

const char* const CLASS_NAMES[6] = {"", "ARCHER", "FIGHTER", "FLIER", "HEALER", "MAGE"};

const float WHITE[3] = {0.95f, 0.95f, 0.95f}, GOLD[3] = {1, 0.84f, 0.3f}, GREY[3] = {0.75f, 0.78f, 0.85f};
const float DAMAGE_COLOUR[3] = {1, 0.55f, 0.35f}, HEAL_COLOUR[3] = {0.4f, 1, 0.45f};
const float DANGER_COLOUR[3] = {1, 0.8f, 0.75f}, NOTICE_COLOUR[3] = {1, 0.75f, 0.35f};

const struct {
    bool        heading;
    const char* text;
} HELP_LINES[] = {
    {true, "HOW A TURN GOES"},
    {false, "Each of your units may act once a turn, and first move: a square costs its terrain's points."},
    {false, "Arrows move the cursor. Insert on your unit opens its menu; Home backs out."},
    {false, "   Or click: your unit, an entry, a target, a tinted square. Right click backs out."},
    {false, "Attack, Skills, Healing, Magic: aim inside the orange diamond, Insert."},
    {false, "   The panel beside the unit's numbers gives the chance and what a hit does."},
    {false, "Defend heals a tenth of the unit's hit points and ends its action."},
    {false, "Move: the tinted squares are in reach. Step one square at a time. U takes the steps back."},
    {false, "Dimmed units have acted. The turn passes when nobody is left to act."},
    {false, "A player wins when the other player's hero (the crowned unit) falls."},
    {false, ""},
    {true, "THE CLASSES: MOVE POINTS A TURN, REACH, THE SECOND ENTRY"},
    {false, "Archer 5, reach 3. Skills: a volley, 0-14 more damage; 10 magic points."},
    {false, "Fighter 5, reach 1. Skills: 0-14 more damage, harder to land; needs no magic points."},
    {false, "Flier 5, reach 1, pays 1 a square on any ground. Skills: as the Fighter's."},
    {false, "Healer 5, reach 2. Healing: 30% of the unit's hit points, whatever the roll; 10 magic points."},
    {false, "Mage 5, reach 3; every blow strikes twice. Magic: 0-14 more each strike; 10 magic points."},
    {false, "In player 1's first turn Fliers and Healers have 7 move points and Mages 6."},
    {false, ""},
    {true, "KEYS"},
    {false, "E  end your turn now        T  hand the keys over, ending nothing        U  undo the last steps"},
    {false, "Z  tint where the enemies in sight can strike next turn"},
    {false, "C  camera home        2 4 6 8 + -  move the camera        R  its angles"},
    {false, "Drag  turn the camera        Wheel  zoom        V  projection        S  backdrop"},
    {false, "L  lighting        B, F  unit and sight spheres        P  who stands where"},
    {false, "F1, F2  the top-left lines        H  this help        O  sound        Q, Esc  quit"},
    {false, "W  the computer plays four times as fast, or at its pace again"},
    {false, "Tab, Backspace  the next or the one before of your units that can still act"},
    {false, ", .  the view a quarter turn round the board        5  the board from above, and back"},
    {false, "G  battle speed 1x, 2x, 4x        Space  end the blow, the glide or the banner under way"},
    {false, "The battle is kept as you play: ./play --resume takes it up again after you quit."},
};

// A unit's HP bar and a rising number, in window pixels from the bottom left.
struct Bar {
    float x, y, filled;
    int   player;
    bool  hero;
};
struct Rising {
    float x, y;
    std::string text;
    bool heal;
};
// Where a unit stands on the screen, to keep a rising number off it.
struct Extent {
    float left, bottom, right, top;
    int   unitId;
};
std::vector<Bar> bars;
std::vector<Rising> risings;
std::vector<Extent> extents;

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

// Capitals in the game's own lettering, as the banners have them, from x
// with their foot at y: `size` pixels to a letter pixel and a black rim of a
// third of that around every stroke.
void letteredText(float x, float y, float size, const std::string& text, const float colour[3]) {
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

// The same centred on the window.
void letteredLine(float y, float size, const std::string& text, const float colour[3]) {
    letteredText((windowWidth - (static_cast<float>(text.size()) * GLYPH_ADVANCE - 1) * size) / 2, y, size, text,
                 colour);
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

// The side whose player sits before the screen: the person's, when the
// other side is the computer's; else the player whose turn it is (or who chooses).
int viewingSide() { return personSide ? personSide : activeSide(); }

// "YOUR FIGHTER", "ENEMY MAGE, HERO"; after the battle "PLAYER 2'S FIGHTER".
std::string unitName(int player, int unitClass, bool hero) {
    std::string name = battleWon() ? "PLAYER " + std::to_string(player) + "'S "
                       : player == viewingSide() ? "YOUR " : "ENEMY ";
    return name + CLASS_NAMES[unitClass] + (hero ? ", HERO" : "");
}

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

// A crown of three points over the bar, in the army's colour with a black rim.
void drawCrown(float x, float y, const float colour[3]) {
    constexpr float W = 11, BAND = 5, POINT = 9;
    for (bool fill : {false, true}) {
        const float grow = fill ? 0 : 2;
        if (fill)
            glColor4f(colour[0], colour[1], colour[2], 1);
        else
            glColor4f(0, 0, 0, 1);
        rectangle(x - W - grow, y - grow, x + W + grow, y + BAND + grow);
        glBegin(GL_TRIANGLES);
        for (float at : {-W, 0.0f, W}) {
            const float half = W / 2.5f + grow;
            const float left = std::max(x - W - grow, x + at - half), right = std::min(x + W + grow, x + at + half);
            glVertex2f(left, y + BAND);
            glVertex2f(right, y + BAND);
            glVertex2f(x + at, y + BAND + POINT + grow);
        }
        glEnd();
    }
}

int numberSize() { return std::max(3, windowHeight / 200); }

float letteredWidth(const std::string& text, float size) {
    return (static_cast<float>(text.size()) * GLYPH_ADVANCE - 1) * size;
}

void drawUnitMarks() {
    for (const Bar& bar : bars) {
        float left = bar.x - BAR_WIDTH / 2.0f;
        glColor4f(0, 0, 0, 0.8f);
        rectangle(left - 1, bar.y - 1, left + BAR_WIDTH + 1, bar.y + BAR_HEIGHT + 1);
        const float* colour = PLAYER_COLOURS[bar.player];
        glColor4f(colour[0], colour[1], colour[2], 1);
        rectangle(left, bar.y, left + BAR_WIDTH * bar.filled, bar.y + BAR_HEIGHT);
        if (bar.hero) drawCrown(bar.x, bar.y + BAR_HEIGHT + 5, colour);
    }
    const float size = numberSize();
    for (const Rising& rising : risings)
        letteredText(rising.x - letteredWidth(rising.text, size) / 2, rising.y, size, rising.text,
                     rising.heal ? HEAL_COLOUR : GOLD);
}

// Why a key did nothing, else why the lit square is no step; below it, when
// the square aimed from or stepped to lies in the enemies' reach, that.
void drawStepLines() {
    const float size = std::max(2, windowHeight / 300);
    const float y = windowHeight * 0.4f;
    const char* verdict = stepVerdictLine(stepVerdict());
    if (noticeSeconds > 0)
        letteredLine(y, size, notice, NOTICE_COLOUR);
    else if (*verdict)
        letteredLine(y, size, verdict, NOTICE_COLOUR);
    int row, col;
    if (personSide && currentPlayer != personSide) return;
    if (watchedSquare(row, col) && enemyReach(currentPlayer)[row][col])
        letteredLine(y - (GLYPH_HEIGHT + 4) * size, size,
                     choosingTarget ? "IT STANDS IN ENEMY REACH" : "THAT SQUARE IS IN ENEMY REACH", DANGER_COLOUR);
}

void drawTopLine() {
    static std::string reported;
    int player = 1;
    std::string text = topLine(player);
    reportForDebugging("top", reported, text);
    float size = std::max(2, windowHeight / 256);
    letteredLine(windowHeight - 12 - GLYPH_HEIGHT * size - 24, size, text, PLAYER_COLOURS[player]);
}

// Dark plates with a light rim, lettered in gold; HELP lit while the help is up.
void drawButtons() {
    for (int button = 1; button <= BUTTON_COUNT; button++) {
        const ButtonPlace place = buttonPlace(button, windowWidth, windowHeight);
        const bool lit = button == BUTTON_HELP && helpShown;
        glColor4f(0.75f, 0.78f, 0.85f, 0.9f);
        rectangle(place.left, place.bottom, place.right + 1, place.top + 1);
        glColor4f(lit ? 0.2f : 0.05f, lit ? 0.22f : 0.06f, lit ? 0.35f : 0.12f, 0.95f);
        rectangle(place.left + 2, place.bottom + 2, place.right - 1, place.top - 1);
        const int pad = (place.top - place.bottom + 1 - GLYPH_HEIGHT * place.letter) / 2;
        letteredText(place.left + pad, place.bottom + pad, place.letter, place.label, GOLD);
    }
}

// Where the free camera stands once it is at rest (no glide, no camera key
// held), for KESTRAVA_DEBUG_HUD: an end-to-end test works out from it where
// each square is drawn.
void reportCamera() {
    static std::string reported;
    if (cameraGliding || heldPlus || heldMinus || held2 || held4 || held6 || held8) return;
    char text[160];
    std::snprintf(text, sizeof text, "eye %.9g %.9g %.9g pitch %.9g yaw %.9g", cameraEye.x, cameraEye.y, cameraEye.z,
                  cameraPitch, cameraYaw);
    reportForDebugging("camera", reported, text);
}

// Under the two HUD lines at the top left, while the battle runs faster than itself.
void drawBattleSpeed() {
    if (battleSpeed == 1) return;
    const float size = std::max(2, windowHeight / 256);
    const float left = std::max(8.0f, (windowWidth - 1.2f * windowHeight) / 2);
    letteredText(left, windowHeight * 0.9f - GLYPH_HEIGHT * size, size, "SPEED " + std::to_string(battleSpeed) + "X",
                 GOLD);
}

void drawHelpHint() {
    if (!firstTurn || !bannerP1BeginTurn) return;
    letteredLine(windowHeight * 0.09f, std::max(2, windowHeight / 128), "H: HELP", GOLD);
}

// Why the battle could not be kept, over everything but the help, until it
// has been up its few seconds.
void drawKeepTrouble() {
    if (keepTroubleSeconds <= 0) return;
    float left = (windowWidth - textWidth(LINE_FONT, keepTrouble)) / 2.0f;
    shadowedText(left, windowHeight * 0.16f, LINE_FONT, keepTrouble, DAMAGE_COLOUR);
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

// A white outline a little inside the square, just over the cursor.
void drawHoverMark() {
    if (hoverRow < 0 || hoverRow >= mapRows || hoverCol < 0 || hoverCol >= mapCols) return;
    const Vector& centre = battleMap[hoverRow][hoverCol].centre;
    const float h = 0.44f, y = centre.y - 0.485f;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
    glDisable(GL_LIGHTING);
    glLineWidth(2);
    glColor3f(1, 1, 0.85f);
    glBegin(GL_LINE_LOOP);
    glVertex3f(centre.x - h, y, centre.z - h);
    glVertex3f(centre.x - h, y, centre.z + h);
    glVertex3f(centre.x + h, y, centre.z + h);
    glVertex3f(centre.x + h, y, centre.z - h);
    glEnd();
    glPopAttrib();
}

namespace {

// The way a click walks to the square pointed at: a gold line from square
// to square, over the tint and the cursor.
void drawPointedWay(const bool reach[MAP_LIMIT][MAP_LIMIT]) {
    if (hoverRow < 0 || hoverRow >= mapRows || hoverCol < 0 || hoverCol >= mapCols || !reach[hoverRow][hoverCol])
        return;
    const Unit& unit = *selectedUnit;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_POINT_BIT);
    glDisable(GL_LIGHTING);
    glColor3fv(GOLD);
    glLineWidth(4);
    glPointSize(9);
    for (GLenum mode : {GL_LINE_STRIP, GL_POINTS}) {
        glBegin(mode);
        const Vector& start = battleMap[unit.row][unit.col].centre;
        if (mode == GL_LINE_STRIP) glVertex3f(start.x, start.y - 0.48f, start.z);
        for (auto [row, col] : cheapestPath(unit, hoverRow, hoverCol)) {
            const Vector& centre = battleMap[row][col].centre;
            glVertex3f(centre.x, centre.y - 0.48f, centre.z);
        }
        glEnd();
    }
    glPopAttrib();
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
    drawPointedWay(reach);
}

// A rising number starts over the unit struck and climbs past any other
// unit it would cover.
void placeUnitMarks() {
    bars.clear();
    risings.clear();
    extents.clear();
    const Projector camera;
    float x, y;
    for (const Unit* unit : allUnits) {
        if (!standsOnBoard(*unit) || outsideView(*unit)) continue;
        float footX, footY;
        if (camera.onScreen(unit->position - Vector(0, UNIT_FOOT, 0), footX, footY) &&
            camera.onScreen(unit->position + Vector(0, UNIT_TOP, 0), x, y)) {
            const float half = std::max(std::fabs(y - footY), 8.0f) * UNIT_HALF_WIDTH / (UNIT_TOP + UNIT_FOOT);
            extents.push_back({std::min(x, footX) - half, std::min(y, footY), std::max(x, footX) + half,
                               std::max(y, footY), unit->id});
        }
        if (!camera.onScreen(unit->position + Vector(0, BAR_ABOVE, 0), x, y)) continue;
        float filled = std::clamp(static_cast<float>(unit->hp) / unit->maxHp, 0.0f, 1.0f);
        bars.push_back({x, y, filled, unit->player, unit->hero});
    }
    const float size = numberSize();
    for (const FloatingNumber& number : floatingNumbers) {
        if (!camera.onScreen(number.at + Vector(0, NUMBER_ABOVE + NUMBER_RISE * number.age, 0), x, y)) continue;
        std::string text = (number.heal ? "+" : "-") + std::to_string(number.amount) + (number.killed ? " KILLED" : "");
        const float half = letteredWidth(text, size) / 2, height = GLYPH_HEIGHT * size;
        y += 16;   // over the bar and a crown
        for (int pass = 0; pass < 8; pass++) {
            bool moved = false;
            for (const Extent& e : extents) {
                if (e.unitId == number.unitId || x + half < e.left || x - half > e.right || y + height < e.bottom ||
                    y > e.top)
                    continue;
                y = e.top + 4;
                moved = true;
            }
            if (!moved) break;
        }
        risings.push_back({x, y, text, number.heal});
    }
}

// At the status panel's height, just right of it, and as deep as its
// numbers: a turn banner covers it.
void drawOddsPanel() {
    static std::string reported;
    Odds odds = oddsAt(hoverRow, hoverCol);
    if (!odds.shown) odds = oddsAtCursor();
    if (!odds.shown) {
        reported.clear();
        return;
    }
    std::vector<std::string> lines;
    reportForDebugging("odds", reported, oddsLines(odds, lines));

    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    const std::string name = unitName(odds.targetPlayer, odds.targetClass, odds.targetHero);
    glColor3f(0, 0, 0);
    drawBitmapText(-0.545f, -0.415f, -0.105f, labelFont, name.c_str());
    glColor3fv(PLAYER_COLOURS[odds.targetPlayer]);
    drawBitmapText(-0.55f, -0.41f, -0.11f, labelFont, name.c_str());
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

// Just over the panel's top edge, in the unit's army's colour.
void drawStatusName(const Unit* shown, const Unit* pointed) {
    static std::string reported;
    if (!pointed) {
        reported.clear();
    } else {
        char numbers[96];
        std::snprintf(numbers, sizeof numbers, "PLAYER %d'S %s | HP %d/%d | MP %d/%d | MOVE %d", pointed->player,
                      CLASS_NAMES[pointed->unitClass], pointed->hp, pointed->maxHp, pointed->mp, pointed->maxMp,
                      pointed->movePoints);
        reportForDebugging("pointed", reported, numbers);
    }
    if (!shown) return;
    const std::string name = unitName(shown->player, shown->unitClass, shown->hero);
    glColor3f(0, 0, 0);
    drawBitmapText(-1.165f, -0.385f, -0.105f, labelFont, name.c_str());
    glColor3fv(PLAYER_COLOURS[shown->player]);
    drawBitmapText(-1.17f, -0.38f, -0.11f, labelFont, name.c_str());
}

bool standsOnBoard(const Unit& unit) {
    return !unit.dead && unit.hp > 0 && (unit.visible || battleWon());
}

namespace {

// Squares the danger tint covers, four corners each, filled anew each frame
// into storage kept for the largest map.
float dangerCorners[MAP_LIMIT * MAP_LIMIT * 4 * 3];

}  // namespace

// Under the cursor and over the move tint, multiplied in (2 × colour × what
// is behind) in a warning red.
void drawDangerTint() {
    if (!showDanger || choosingHeroes || battleWon() || (personSide && currentPlayer != personSide)) return;
    const bool (*danger)[MAP_LIMIT] = enemyReach(currentPlayer);
    int count = 0;
    for (int r = 0; r < mapRows; r++)
        for (int c = 0; c < mapCols; c++) {
            if (!danger[r][c]) continue;
            const Vector& centre = battleMap[r][c].centre;
            const float y = centre.y - 0.4925f;
            const float corners[4][2] = {{-0.5f, -0.5f}, {-0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, -0.5f}};
            for (const auto& corner : corners) {
                dangerCorners[count++] = centre.x + corner[0];
                dangerCorners[count++] = y;
                dangerCorners[count++] = centre.z + corner[1];
            }
        }
    if (count == 0) return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_SRC_COLOR);
    glColor4f(0.95f, 0.42f, 0.36f, 1);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, dangerCorners);
    glDrawArrays(GL_QUADS, 0, count / 3);
    glPopClientAttrib();
    glPopAttrib();
}

void drawGuides() {
    PixelSpace pixels;
    if (!bannerUp()) {
        drawUnitMarks();
        drawTopLine();
        drawButtons();
        drawStepLines();
    }
    reportCamera();
    drawBattleSpeed();
    drawHelpHint();
    drawKeepTrouble();
    drawHelpPanel();
}
