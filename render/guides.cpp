// render/guides.cpp — the move tint, HP bars and blows' numbers, the panels, the top line, the
// band of hints, the buttons, the help
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
#include "render/captions.h"
#include "render/glyphs.h"
#include "render/hud.h"
#include "render/layout.h"
#include "render/looks.h"
#include "rules/battle_log.h"
#include "rules/cursor.h"
#include "rules/feedback.h"
#include "rules/game_state.h"
#include "rules/movement.h"
#include "save/battle_save.h"

const float PLAYER_COLOURS[3][3] = {{1, 1, 1}, {1.0f, 0.5f, 0.4f}, {0.5f, 0.72f, 1.0f}};

namespace {

constexpr float BAR_ABOVE = 0.6f;           // world units from a unit's position up to its HP bar
constexpr int BAR_WIDTH = 36, BAR_HEIGHT = 5;
// A blow's number stands over its unit, climbing this many world units a second.
constexpr float NUMBER_ABOVE = 0.75f, NUMBER_RISE = 0.1f;
constexpr float UNIT_TOP = 0.6f, UNIT_FOOT = 0.5f, UNIT_HALF_WIDTH = 0.3f;   // a unit's extent, world units

// The panels' fonts, largest first: the first of them that fits is used, so
// that the text stays inside its panel in any window.
struct PanelFont {
    void* font;
    int   pitch;    // pixels from one baseline to the next
    int   ascent;   // pixels a capital stands over its baseline
};
const PanelFont PANEL_FONTS[] = {
    {GLUT_BITMAP_TIMES_ROMAN_24, 28, 17},
    {GLUT_BITMAP_HELVETICA_18, 22, 13},
    {GLUT_BITMAP_HELVETICA_12, 15, 9},
    {GLUT_BITMAP_HELVETICA_10, 13, 8},
};
constexpr int PANEL_FONT_COUNT = sizeof PANEL_FONTS / sizeof PANEL_FONTS[0];
constexpr int PANEL_PAD = 6;   // pixels between a panel's edge and its text

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
    {false, "A player wins when the other player's hero falls: the unit with the gold crown round its ring."},
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
    {false, "W  the computer plays four times as fast, or at its pace again        J  the battle log"},
    {false, "Tab, Backspace  the next or the one before of your units that can still act"},
    {false, ", .  the view a quarter turn round the board        5  the board from above, and back"},
    {false, "G  battle speed 1x, 2x, 4x        Space  end the blow, the glide or the banner under way"},
    {false, "The battle is kept as you play: ./play --resume takes it up again after you quit."},
};

// A unit's HP bar and a blow's number, in window pixels from the bottom left.
struct Bar {
    float x, y, filled;
    int   player;
};
struct Rising {
    float x, y;
    std::string text;
    bool heal;
};
// Where a unit stands on the screen, to keep another's number off it.
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
        // Mesa holds bitmap text back to draw it together with the next, and
        // then draws it in whatever state has come meanwhile (black, after
        // the state below is put back): it goes out now.
        glFlush();
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

bool debugWanted() {
    static const bool wanted = std::getenv("KESTRAVA_DEBUG_HUD") != nullptr;
    return wanted;
}

// The panel's or the line's text on the console, once each time it changes.
void reportForDebugging(const char* what, std::string& last, const std::string& text) {
    if (!debugWanted() || text == last) return;
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

int numberSize() { return std::max(3, windowHeight / 200); }

float letteredWidth(const std::string& text, float size) {
    return (static_cast<float>(text.size()) * GLYPH_ADVANCE - 1) * size;
}

// The first of the panel fonts from `largest` on in which every line is at
// most `width` pixels wide and `count` lines stand in `height`; the smallest when none is.
const PanelFont& fittingFont(int largest, const std::vector<std::string>& lines, int width, int height,
                             int count) {
    for (int i = largest; i < PANEL_FONT_COUNT; i++) {
        const PanelFont& font = PANEL_FONTS[i];
        bool fits = font.pitch * (count - 1) + font.ascent <= height;
        for (const std::string& line : lines) fits = fits && textWidth(font.font, line) <= width;
        if (fits) return font;
    }
    return PANEL_FONTS[PANEL_FONT_COUNT - 1];
}

// The largest font a panel's lines take in a window of this height.
int largestPanelFont() { return windowHeight >= 900 ? 0 : windowHeight >= 700 ? 1 : windowHeight >= 560 ? 2 : 3; }

// An opaque dark plate over the box, with a light rim.
void panelPlate(const ScreenBox& box) {
    glColor4f(0.45f, 0.48f, 0.58f, 1);
    rectangle(box.left, box.bottom, box.right + 1, box.top + 1);
    glColor4f(0.05f, 0.06f, 0.12f, 1);
    rectangle(box.left + 1, box.bottom + 1, box.right, box.top);
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
    const float size = numberSize();
    for (const Rising& rising : risings)
        letteredText(rising.x - letteredWidth(rising.text, size) / 2, rising.y, size, rising.text,
                     rising.heal ? HEAL_COLOUR : GOLD);
}

void drawTopLine() {
    static std::string reported;
    int player = 1;
    const std::string text = topLineText(player);
    reportForDebugging("top", reported, text);
    letteredLine(topLineFoot(windowHeight), lineLetter(windowHeight), text, PLAYER_COLOURS[player]);
}

// Dark plates with a light rim, lettered in gold; HELP lit while the help is up.
void drawButtons() {
    for (int button = 1; button <= BUTTON_COUNT; button++) {
        if (!buttonShown(button)) continue;
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

const float* toneColour(BandTone tone) {
    switch (tone) {
        case TONE_NOTICE: return NOTICE_COLOUR;
        case TONE_DANGER: return DANGER_COLOUR;
        case TONE_TROUBLE: return DAMAGE_COLOUR;
        default: return WHITE;
    }
}

// One line centred on the band, on a dark plate: in the game's lettering
// while it fits the window's width, else in a smaller plain font; what does
// not fit even so gives way, the last piece first.
void drawHintBand() {
    static std::string reported;
    std::vector<BandPiece> pieces = hintBand();
    const ScreenBox box = screenBox(PART_HINT_BAND, windowWidth, windowHeight);
    const int room = box.right - box.left - 2 * PANEL_PAD;
    const std::string gap = "   ";
    auto joined = [&] {
        std::string line;
        for (const BandPiece& piece : pieces) line += (line.empty() ? "" : gap) + piece.text;
        return line;
    };
    const float letters[2] = {static_cast<float>(bandLetter(windowHeight)), 2};
    float size = 0;   // 0: in a plain font
    void* plain = PANEL_FONTS[PANEL_FONT_COUNT - 1].font;
    for (; !pieces.empty(); pieces.pop_back()) {
        const std::string line = joined();
        if (letteredWidth(line, letters[0]) <= room || letteredWidth(line, letters[1]) <= room) {
            size = letteredWidth(line, letters[0]) <= room ? letters[0] : letters[1];
            break;
        }
        if (textWidth(PANEL_FONTS[2].font, line) <= room) plain = PANEL_FONTS[2].font;
        if (textWidth(plain, line) <= room) break;
    }
    const std::string line = joined();
    if (line.empty()) {
        reported.clear();
        return;
    }
    reportForDebugging("band", reported, line);
    const float foot = hintBandFoot(windowHeight);
    const float width = size ? letteredWidth(line, size) : textWidth(plain, line);
    float x = (windowWidth - width) / 2;
    glColor4f(0.03f, 0.04f, 0.08f, 0.85f);
    rectangle(x - PANEL_PAD, box.bottom, x + width + PANEL_PAD, box.top + 1);
    for (size_t i = 0; i < pieces.size(); i++) {
        const std::string text = (i ? gap : "") + pieces[i].text;
        if (size) {
            letteredText(x, foot, size, text, toneColour(pieces[i].tone));
            x += text.size() * GLYPH_ADVANCE * size;
        } else {
            shadowedText(x, foot + 1, plain, text, toneColour(pieces[i].tone));
            x += textWidth(plain, text);
        }
    }
}

// Newest first, each event in its side's colour, a line too long for the
// panel carried on to the next; as many events whole as the panel holds. With
// the debug lines on, each new event is also printed once as a "HUD log:" line.
void drawBattleLog(bool shown) {
    static int reportedUpTo = 0;
    if (debugWanted())
        for (const LogEvent& event : battleLog) {
            int player = 0;
            if (event.serial > reportedUpTo) std::printf("HUD log: %s\n", logLine(event, player).c_str());
        }
    reportedUpTo = loggedEvents;
    if (!shown) return;

    std::vector<std::pair<std::string, int>> lines;   // newest first
    for (auto event = battleLog.rbegin(); event != battleLog.rend(); ++event) {
        int player = 0;
        lines.emplace_back(logLine(*event, player), player);
    }
    const ScreenBox box = screenBox(PART_LOG_PANEL, windowWidth, windowHeight);
    panelPlate(box);
    const PanelFont& font = PANEL_FONTS[std::max(1, largestPanelFont())];
    const int room = box.right - box.left - 2 * PANEL_PAD;
    float baseline = box.top - PANEL_PAD - font.ascent;
    shadowedText(box.left + PANEL_PAD, baseline, font.font, lines.empty() ? "BATTLE LOG: NOTHING YET" : "BATTLE LOG",
                 GOLD);
    for (const auto& [text, player] : lines) {
        // Word by word onto rows no wider than the panel.
        std::vector<std::string> rows{""};
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find(' ', start);
            if (end == std::string::npos) end = text.size();
            const std::string word = text.substr(start, end - start);
            const std::string longer = rows.back().empty() ? word : rows.back() + " " + word;
            if (!rows.back().empty() && textWidth(font.font, longer) > room)
                rows.push_back("   " + word);
            else
                rows.back() = longer;
            start = end + 1;
        }
        if (baseline - font.pitch * static_cast<float>(rows.size()) - 3 < box.bottom + PANEL_PAD) return;
        for (const std::string& row : rows) {
            baseline -= font.pitch;
            shadowedText(box.left + PANEL_PAD, baseline, font.font, row, PLAYER_COLOURS[player]);
        }
    }
}

void drawHelpHint() {
    if (!firstTurn || !bannerP1BeginTurn) return;
    letteredLine(windowHeight * 0.09f, std::max(2, windowHeight / 128), "H: HELP", GOLD);
}

// In the largest font whose lines fit the window.
// The help's lines in the largest of the panel fonts from the second on
// that holds them all with a margin round them.
const PanelFont& helpFont(std::vector<std::string>& lines) {
    for (const auto& line : HELP_LINES) lines.push_back(line.text);
    return fittingFont(1, lines, windowWidth - 64, windowHeight - 56, static_cast<int>(lines.size()));
}

}  // namespace

// In the middle of the window, 24 pixels wider than its widest line each way, 16 higher and lower.
ScreenBox helpPanelBox() {
    std::vector<std::string> lines;
    const PanelFont& font = helpFont(lines);
    int width = 0;
    for (const std::string& line : lines) width = std::max(width, textWidth(font.font, line));
    const int height = static_cast<int>(lines.size()) * font.pitch;
    const int left = (windowWidth - width) / 2, bottom = (windowHeight - height) / 2;
    return {left - 24, bottom - 16, left + width + 23, bottom + height + 15};
}

namespace {

void drawHelpPanel() {
    if (!helpShown) return;
    std::vector<std::string> lines;
    const PanelFont& font = helpFont(lines);
    const ScreenBox box = helpPanelBox();
    glColor4f(0.03f, 0.04f, 0.08f, 0.92f);
    rectangle(box.left, box.bottom, box.right + 1, box.top + 1);
    for (size_t i = 0; i < lines.size(); i++)
        shadowedText(box.left + 24, box.top - 15 - (i + 0.75f) * font.pitch, font.font, lines[i],
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

namespace {

bool overlapsAnother(const Extent& box, int unitId) {
    for (const Extent& e : extents)
        if (e.unitId != unitId && box.right >= e.left && box.left <= e.right && box.top >= e.bottom &&
            box.bottom <= e.top)
            return true;
    return false;
}

}  // namespace

// A blow's number stands on its unit: over its HP bar, climbing a little,
// where that covers no other unit; else beside it, right or left; else on
// the unit itself.
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
        bars.push_back({x, y, filled, unit->player});
    }
    const float size = numberSize();
    for (const FloatingNumber& number : floatingNumbers) {
        const Vector anchor = numberAnchor(number);
        float footX, footY, topX, topY;
        if (!camera.onScreen(anchor - Vector(0, UNIT_FOOT, 0), footX, footY) ||
            !camera.onScreen(anchor + Vector(0, NUMBER_ABOVE + NUMBER_RISE * number.age, 0), topX, topY))
            continue;
        std::string text = (number.heal ? "+" : "-") + std::to_string(number.amount) + (number.killed ? " KILLED" : "");
        const float half = letteredWidth(text, size) / 2, height = GLYPH_HEIGHT * size;
        const float bodyHalf = std::max(std::fabs(topY - footY), 8.0f) * UNIT_HALF_WIDTH / (UNIT_TOP + UNIT_FOOT);
        const float middleY = (footY + topY) / 2 - height / 2;
        const float candidates[4][2] = {
            {topX, topY + 8},                              // over its bar
            {std::max(footX, topX) + bodyHalf + 4 + half, middleY},   // right of it
            {std::min(footX, topX) - bodyHalf - 4 - half, middleY},   // left of it
            {(footX + topX) / 2, middleY},                 // on it
        };
        int chosen = 3;
        for (int i = 0; i < 3 && chosen == 3; i++) {
            const Extent box{candidates[i][0] - half, candidates[i][1], candidates[i][0] + half,
                             candidates[i][1] + height, number.unitId};
            if (!overlapsAnother(box, number.unitId)) chosen = i;
        }
        risings.push_back({candidates[chosen][0], candidates[chosen][1], text, number.heal});
    }
}

// Right of the status panel, as long as a blow is aimed: the target named
// in its side's colour, then the odds, on an opaque plate.
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
    lines.insert(lines.begin(), unitName(odds.targetPlayer, odds.targetClass, odds.targetHero));

    PixelSpace pixels;
    const ScreenBox box = screenBox(PART_ODDS_PANEL, windowWidth, windowHeight);
    panelPlate(box);
    const PanelFont& font = fittingFont(largestPanelFont(), lines, box.right - box.left - 2 * PANEL_PAD,
                                        box.top - box.bottom - 2 * PANEL_PAD, static_cast<int>(lines.size()));
    const float* colours[5] = {PLAYER_COLOURS[odds.targetPlayer], WHITE, GOLD, odds.heal ? HEAL_COLOUR : DAMAGE_COLOUR,
                               GREY};
    // The lines spread over the panel's height, up to half a line apart.
    const int last = static_cast<int>(lines.size()) - 1;
    const float pitch = std::min(1.5f * font.pitch, (box.top - box.bottom - 2.0f * PANEL_PAD - font.ascent) / last);
    const float top = box.top - PANEL_PAD - font.ascent;
    for (int i = 0; i <= last; i++)
        shadowedText(box.left + PANEL_PAD, top - pitch * i, font.font, lines[i], colours[i]);
}

// Over the panel's picture and on to its right, in the unit's army's colour.
void drawStatusName(const Unit* shown, const Unit* pointed) {
    static std::string reported;
    if (!pointed) {
        reported.clear();
    } else {
        char numbers[96];
        std::snprintf(numbers, sizeof numbers, "PLAYER %d'S %s | HP %d/%d | MP %d/%d | MOVE %d", pointed->player,
                      CLASS_NAMES[pointed->unitClass], shownHp(*pointed), pointed->maxHp, pointed->mp, pointed->maxMp,
                      pointed->movePoints);
        reportForDebugging("pointed", reported, numbers);
    }
    if (!shown) return;
    const std::string name = unitName(shown->player, shown->unitClass, shown->hero);
    PixelSpace pixels;
    const ScreenBox box = screenBox(PART_STATUS_NAME, windowWidth, windowHeight);
    const float baseline = (STATUS_NAME_BASELINE + 1) * windowHeight / 2;
    const PanelFont& font = fittingFont(largestPanelFont(), {name}, box.right - box.left,
                                        static_cast<int>(box.top - baseline), 1);
    shadowedText(box.left + 2, baseline, font.font, name, PLAYER_COLOURS[shown->player]);
}

void* statusNumbersFont() {
    const int room = static_cast<int>((STATUS_NUMBERS_RIGHT + 0.82f) * windowHeight / 2);
    const std::string widest = "100/100";
    if (textWidth(labelFont, widest) <= room) return labelFont;
    return fittingFont(1, {widest}, room, windowHeight, 1).font;
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
    const bool banner = bannerShown();
    if (!banner) {
        drawUnitMarks();
        // Who won is told once the victory banner has come up and gone.
        if (!battleWon() || afterVictory) drawTopLine();
        drawButtons();
    }
    reportCamera();
    drawBattleLog(!banner && (showLog || logAfterComputer) && !oddsAtCursor().shown &&
                  !oddsAt(hoverRow, hoverCol).shown);
    drawHintBand();
    drawHelpHint();
    drawHelpPanel();
}
