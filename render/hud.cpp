// render/hud.cpp — frame-rate and run-time lines, status panel, banners, action menu, miss marker
#include "render/hud.h"

#include <vector>
#include <GL/gl.h>
#include <GL/glut.h>

#include "app/textures.h"
#include "render/frame_clock.h"
#include "render/looks.h"
#include "render/scene.h"
#include "rules/cursor.h"
#include "rules/game_state.h"

void* hudFont = GLUT_BITMAP_TIMES_ROMAN_10;
void* labelFont = GLUT_BITMAP_TIMES_ROMAN_24;
unsigned statusPanelList = 0, missedList = 0;

namespace {
unsigned statusBacking = 0;   // the status picture's shape, as an alpha texture

// Opaque where the status picture is not white.
void buildStatusBacking() {
    glBindTexture(GL_TEXTURE_2D, TEX_STATUS);
    int width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3), shape(static_cast<size_t>(width) * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    for (size_t i = 0; i < shape.size(); i++)
        shape[i] = rgb[3 * i] == 255 && rgb[3 * i + 1] == 255 && rgb[3 * i + 2] == 255 ? 0 : 255;
    glGenTextures(1, &statusBacking);
    glBindTexture(GL_TEXTURE_2D, statusBacking);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, width, height, 0, GL_ALPHA, GL_UNSIGNED_BYTE, shape.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
}

// Overlay quads span 0 to size in their own frame; the caller places and scales them.
void texturedSquare(float low, float high) {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0); glVertex2f(low, low);
    glTexCoord2f(0, 1); glVertex2f(low, high);
    glTexCoord2f(1, 1); glVertex2f(high, high);
    glTexCoord2f(1, 0); glVertex2f(high, low);
    glEnd();
}

struct MenuRow {
    float bottom, top;
    float highlighted[4];
    float plain[4];
};

// Top to bottom: Attack, the class's action, Defend, Move.
const MenuRow menuRows[4] = {
    {0.75f, 1.0f,  {1, 0, 0, 1},       {1, 1, 1, 1}},
    {0.5f,  0.75f, {1, 1, 0.2f, 1},    {1, 1, 1, 0.75f}},
    {0.25f, 0.5f,  {0, 1, 0, 1},       {1, 1, 1, 0.75f}},
    {0.0f,  0.25f, {0, 0.4f, 1, 1},    {1, 1, 1, 0.75f}},
};

// The highlighted entry shows the plain image, the others their "-selected" image.
int menuImage(int row, int unitClass, bool highlighted) {
    int first;
    switch (row) {
        case 0: first = TEX_MENU_ATTACK; break;
        case 1: first = unitClass < 4 ? TEX_MENU_SKILLS : unitClass == 4 ? TEX_MENU_HEALING : TEX_MENU_MAGIC; break;
        case 2: first = TEX_MENU_DEFEND; break;
        default: first = TEX_MENU_MOVE; break;
    }
    return highlighted ? first : first + 1;
}
}

void drawBitmapText(float x, float y, float z, void* font, const char* text) {
    glRasterPos3f(x, y, z);
    for (const char* c = text; *c != '\0'; c++) glutBitmapCharacter(font, *c);
}

// The two lines are placed in the overlay's orthographic box whichever
// projection is in force: after an odd number of v presses the frame hands
// the HUD a perspective one, where their places lie outside the view.
void drawHud() {
    glDisable(GL_LIGHTING);
    if (tickSource) tickFrameClock(tickSource());
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    loadProjection(false);
    if (showFps) {
        glColor3f(1, 0, 0);
        drawBitmapText(-1.2f, 0.92f, -1, hudFont, fpsText);
    }
    if (showRunTime) {
        glColor3f(1, 1, 0.2f);
        drawBitmapText(-1.2f, 0.95f, -1, hudFont, runTimeText);
    }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_LIGHTING);
}

// Both panels multiply what is behind them by their image.
void buildOverlayLists() {
    statusPanelList = glGenLists(1);
    glNewList(statusPanelList, GL_COMPILE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glColor4f(1, 1, 1, 0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, TEX_STATUS);
    texturedSquare(0, 1.2f);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glEndList();

    missedList = glGenLists(1);
    glNewList(missedList, GL_COMPILE);
    glColor4f(1, 1, 1, 0);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glBindTexture(GL_TEXTURE_2D, TEX_MISSED);
    texturedSquare(-0.5f, 0.5f);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glEndList();

    buildStatusBacking();
}

void drawStatusBacking() {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, statusBacking);
    glColor4f(1, 1, 1, 1);
    texturedSquare(0, 1.2f);
    glPopAttrib();
}

void drawBanner() {
    glColor4f(1, 1, 1, 0);
    glEnable(GL_TEXTURE_2D);
    if (choosingHeroes) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_DST_COLOR, GL_ZERO);
        if (bannerP2BeginTurn) {
            glDisable(GL_BLEND);
            glBindTexture(GL_TEXTURE_2D, TEX_P2_BEGIN_TURN);
        } else {
            glBindTexture(GL_TEXTURE_2D, currentPlayer == 1 ? TEX_P1_CHOOSE : TEX_P2_CHOOSE);
        }
    } else {
        // Every set flag binds in turn, so the last one set in this order wins.
        const struct { bool set; int image; } banners[6] = {
            {bannerP1BeginTurn, TEX_P1_BEGIN_TURN}, {bannerP1EndTurn, TEX_P1_END_TURN},
            {bannerP2BeginTurn, TEX_P2_BEGIN_TURN}, {bannerP2EndTurn, TEX_P2_END_TURN},
            {bannerP1Wins, TEX_P1_WINS},            {bannerP2Wins, TEX_P2_WINS},
        };
        for (const auto& banner : banners)
            if (banner.set) glBindTexture(GL_TEXTURE_2D, banner.image);
    }
    texturedSquare(0, 1.2f);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

// Blending is left as the caller had it: the alpha of the plain rows only
// matters if something left blending on.
void drawActionMenu(int unitClass, int menuItem) {
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    for (int row = 0; row < 4; row++) {
        const MenuRow& r = menuRows[row];
        bool highlighted = menuItem == row + 1;
        glColor4fv(highlighted ? r.highlighted : r.plain);
        glBindTexture(GL_TEXTURE_2D, menuImage(row, unitClass, highlighted));
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0); glVertex2f(0, r.bottom);
        glTexCoord2f(0, 1); glVertex2f(0, r.top);
        glTexCoord2f(1, 1); glVertex2f(1, r.top);
        glTexCoord2f(1, 0); glVertex2f(1, r.bottom);
        glEnd();
    }
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}
