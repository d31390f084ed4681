// tests/render/test_overlays.cpp — status panel, banners, action menu, miss marker and the HUD lines
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/camera.h"
#include "app/textures.h"
#include "render/frame_clock.h"
#include "render/hud.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "tests/render/gl_harness.h"
#include "tests/support/battle.h"

namespace {

constexpr PixelColour GREY{128, 128, 128}, BLACK{0, 0, 0};

// Texture n shows a colour of its own.
PixelColour colourOf(int number) {
    return {40 + (number * 37) % 200, 40 + (number * 71) % 200, 40 + (number * 113) % 200};
}

// A picture multiplied onto grey 128, as the multiplying overlays do.
PixelColour onGrey(PixelColour c) { return {c.r * 128 / 255, c.g * 128 / 255, c.b * 128 / 255}; }

class OverlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGlWindow();
        resetBattleState();
        windowWidth = glutGet(GLUT_WINDOW_WIDTH);
        windowHeight = glutGet(GLUT_WINDOW_HEIGHT);
        savedTicks = tickSource;
        std::vector<int> all = {TEX_STATUS, TEX_MISSED, TEX_P1_CHOOSE, TEX_P2_CHOOSE};
        for (int n = TEX_MENU_ATTACK; n <= TEX_MENU_HEALING_SELECTED; n++) all.push_back(n);
        for (int n = TEX_P1_BEGIN_TURN; n <= TEX_P2_WINS; n++) all.push_back(n);
        for (int n : all) pictures.push_back(std::make_unique<SolidTextures>(
                              std::initializer_list<std::pair<int, PixelColour>>{{n, colourOf(n)}}));
    }
    void TearDown() override {
        pictures.clear();
        tickSource = savedTicks;
        glEnable(GL_LIGHTING);
    }

    // The frame's 2D pass over a plain background, with the overlay placed
    // (moved, then scaled) as the scene places it.
    void drawOverlay(float x, float y, float z, float sx, float sy, float sz, const std::function<void()>& draw,
                     PixelColour background = GREY) {
        clearWindow(background);
        useOverlayProjection();
        glDisable(GL_LIGHTING);
        glDisable(GL_BLEND);
        glPushMatrix();
        glTranslatef(x, y, z);
        glScalef(sx, sy, sz);
        draw();
        glPopMatrix();
        picture = readBackBuffer();
    }
    // The colour at a point of the overlay plane, in view units.
    PixelColour seenAt(float x, float y) const { return picture.atWorld(x, y, -0.5f); }

    std::vector<std::unique_ptr<SolidTextures>> pictures;
    WindowPicture picture;
    uint32_t (*savedTicks)() = nullptr;
};

}  // namespace

TEST_F(OverlayTest, StatusPanelAndMissMarkerMultiplyOnlyTheirOwnArea) {
    drawOverlay(-1.2f, -1, -1, 0.5f, 0.5f, 0.5f, [] { glCallList(statusPanelList); });   // x −1.2 … −0.6, y −1 … −0.4
    EXPECT_TRUE(closeTo(seenAt(-0.9f, -0.7f), onGrey(colourOf(TEX_STATUS)))) << describe(seenAt(-0.9f, -0.7f));
    EXPECT_TRUE(closeTo(seenAt(-0.55f, -0.7f), GREY));
    EXPECT_TRUE(closeTo(seenAt(-0.9f, -0.35f), GREY));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    drawOverlay(0, 0, -0.1f, 1, 1, 1, [] { glCallList(missedList); });   // around the middle of the view
    for (auto [x, y] : {std::pair{0.0f, 0.0f}, {0.45f, -0.45f}})
        EXPECT_TRUE(closeTo(seenAt(x, y), onGrey(colourOf(TEX_MISSED)))) << describe(seenAt(x, y));
    EXPECT_TRUE(closeTo(seenAt(0.55f, 0), GREY));
    EXPECT_TRUE(closeTo(seenAt(0, 0.55f), GREY));
}

TEST_F(OverlayTest, TurnBannerShowsItsFlagsImageAndTheLastSetFlagWins) {
    choosingHeroes = false;
    bool* flags[6] = {&bannerP1BeginTurn, &bannerP1EndTurn, &bannerP2BeginTurn,
                      &bannerP2EndTurn,   &bannerP1Wins,    &bannerP2Wins};
    const struct { std::vector<int> set; int shown; } cases[] = {
        {{0}, TEX_P1_BEGIN_TURN}, {{1}, TEX_P1_END_TURN}, {{2}, TEX_P2_BEGIN_TURN}, {{3}, TEX_P2_END_TURN},
        {{4}, TEX_P1_WINS}, {{5}, TEX_P2_WINS}, {{0, 3}, TEX_P2_END_TURN}, {{1, 4}, TEX_P1_WINS},
        {{5, 0, 2}, TEX_P2_WINS}, {{0, 1, 2, 3, 4, 5}, TEX_P2_WINS}, {{0, 2}, TEX_P2_BEGIN_TURN},
    };
    for (const auto& c : cases) {
        for (bool* flag : flags) *flag = false;
        for (int i : c.set) *flags[i] = true;
        drawOverlay(-1.25f, -1, -0.1f, 2.1f, 1.675f, 2, drawBanner);
        EXPECT_TRUE(closeTo(seenAt(0, 0), colourOf(c.shown))) << "wanted image " << c.shown;
        EXPECT_TRUE(closeTo(seenAt(-1.2f, 0.95f), colourOf(c.shown))) << "covers the view";
    }
}

TEST_F(OverlayTest, HeroChoiceBannerMultipliesTheChoosersImageUnlessPlayerTwoBegins) {
    choosingHeroes = true;
    auto drawChoice = [this] { drawOverlay(-0.25f, -0.5f, -1, 0.5f, 0.5f, 0.5f, drawBanner); };   // x −0.25 … 0.35, y −0.5 … 0.1
    for (int player : {1, 2}) {
        currentPlayer = player;
        drawChoice();
        PixelColour wanted = onGrey(colourOf(player == 1 ? TEX_P1_CHOOSE : TEX_P2_CHOOSE));
        EXPECT_TRUE(closeTo(seenAt(0.05f, -0.2f), wanted)) << "player " << player << ": " << describe(seenAt(0.05f, -0.2f));
        EXPECT_TRUE(closeTo(seenAt(0.4f, -0.2f), GREY));
    }
    bannerP2BeginTurn = true;   // player 2's turn starts before the choice: drawn as it is
    drawChoice();
    EXPECT_TRUE(closeTo(seenAt(0.05f, -0.2f), colourOf(TEX_P2_BEGIN_TURN))) << describe(seenAt(0.05f, -0.2f));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(OverlayTest, ActionMenuHighlightsOneRowInItsColourWithThePlainImage) {
    const float highlight[4][3] = {{1, 0, 0}, {1, 1, 0.2f}, {0, 1, 0}, {0, 0.4f, 1}};
    for (int unitClass = 1; unitClass <= 5; unitClass++) {
        int action = unitClass < 4 ? TEX_MENU_SKILLS : unitClass == 4 ? TEX_MENU_HEALING : TEX_MENU_MAGIC;
        const int plainImage[4] = {TEX_MENU_ATTACK, action, TEX_MENU_DEFEND, TEX_MENU_MOVE};
        for (int item = 1; item <= 4; item++) {
            // The menu spans x 0.75 … 1.25 and y −0.9 … −0.4 of the view, row 1 on top.
            drawOverlay(0.75f, -0.9f, -0.1f, 0.5f, 0.5f, 0.5f, [&] { drawActionMenu(unitClass, item); });
            for (int row = 0; row < 4; row++) {
                PixelColour wanted = colourOf(plainImage[row] + 1);   // the others show "-selected"
                if (row + 1 == item) {
                    PixelColour plain = colourOf(plainImage[row]);
                    const float* tint = highlight[row];
                    wanted = {int(std::lround(plain.r * tint[0])), int(std::lround(plain.g * tint[1])),
                              int(std::lround(plain.b * tint[2]))};
                }
                PixelColour seen = seenAt(1.0f, -0.4f - 0.0625f * (2 * row + 1));
                EXPECT_TRUE(closeTo(seen, wanted)) << "class " << unitClass << ", item " << item << ", row "
                                                   << row + 1 << ": " << describe(seen) << " wanted " << describe(wanted);
            }
            EXPECT_TRUE(closeTo(seenAt(0.7f, -0.6f), GREY)) << "left of the menu";
        }
    }
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(OverlayTest, HudLinesFollowTheirTogglesAndTheClockRunsEvenWhenBothAreOff) {
    // Draws the HUD at a clock reading with the frame-rate (F2) and run-time (F1) lines on or off.
    auto drawAt = [&](uint32_t ms, bool fps, bool runTime) {
        showFps = fps;
        showRunTime = runTime;
        fixTicks(ms);
        int left, fpsBase, runBase, unused;
        drawOverlay(0, 0, 0, 1, 1, 1, [&] {
            pixelOf(-1.2f, 0.92f, -1, left, fpsBase);
            pixelOf(-1.2f, 0.95f, -1, unused, runBase);
            drawHud();
        }, BLACK);
        const int red = picture.count({255, 0, 0}, 0), yellow = picture.count({255, 255, 51}, 0);
        EXPECT_EQ(picture.width * picture.height - red - yellow - picture.count(BLACK, 0), 0) << ms;
        if (fps) EXPECT_GT(red, 30) << ms;
        else EXPECT_EQ(red, 0) << ms;
        if (runTime) EXPECT_GT(yellow, 30) << ms;
        else EXPECT_EQ(yellow, 0) << ms;
        // Each line sits on its own baseline at the left edge.
        EXPECT_EQ(picture.countIn(left, fpsBase - 3, left + 400, fpsBase + 12, {255, 0, 0}, 0), red);
        EXPECT_EQ(picture.countIn(left, runBase - 3, left + 400, runBase + 12, {255, 255, 51}, 0), yellow);
    };

    drawAt(5000, true, true);
    EXPECT_STREQ(fpsText, "Frames Per Second: 1");
    EXPECT_STREQ(runTimeText, "Kestrava Has Been Running For: 0 minutes");
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    saveArtifact(picture, "hud_lines");
    drawAt(5400, false, true);
    drawAt(5800, true, false);

    choosingHeroes = false;
    bannerP1EndTurn = true;
    drawAt(7000, false, false);
    EXPECT_EQ(runSeconds, 2);
    EXPECT_FLOAT_EQ(bannerSeconds, 1);
    EXPECT_STREQ(fpsText, "Frames Per Second: 3");
}
