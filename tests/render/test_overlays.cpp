// tests/render/test_overlays.cpp — status panel, banners, action menu, miss marker and the HUD lines
#include <cmath>
#include <cstdint>
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
PixelColour onGrey(PixelColour c) {
    return {c.r * 128 / 255, c.g * 128 / 255, c.b * 128 / 255};
}

PixelColour tinted(PixelColour c, float r, float g, float b) {
    return {static_cast<int>(std::lround(c.r * r)), static_cast<int>(std::lround(c.g * g)),
            static_cast<int>(std::lround(c.b * b))};
}

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

    // The frame's 2D pass over a grey background: orthographic, no lighting.
    void startOverlay(PixelColour background = GREY) {
        clearWindow(background);
        useOverlayProjection();
        glDisable(GL_LIGHTING);
        glDisable(GL_BLEND);
    }

    // Each overlay placed as the scene places it.
    void drawStatusPanel() {
        glPushMatrix();
        glTranslatef(-1.2f, -1, -1);
        glScalef(0.5f, 0.5f, 0.5f);
        glCallList(statusPanelList);
        glPopMatrix();
    }
    void drawTurnBanner() {
        glPushMatrix();
        glTranslatef(-1.25f, -1, -0.1f);
        glScalef(2.1f, 1.675f, 2);
        drawBanner();
        glPopMatrix();
    }
    void drawChoiceBanner() {
        glPushMatrix();
        glTranslatef(-0.25f, -0.5f, -1);
        glScalef(0.5f, 0.5f, 0.5f);
        drawBanner();
        glPopMatrix();
    }
    void drawMenu(int unitClass, int item) {
        glPushMatrix();
        glTranslatef(0.75f, -0.9f, -0.1f);
        glScalef(0.5f, 0.5f, 0.5f);
        drawActionMenu(unitClass, item);
        glPopMatrix();
    }

    // The colour at a point of the overlay plane, in view units.
    PixelColour seenAt(float x, float y) {
        WindowPicture picture = readBackBuffer();
        return picture.atWorld(x, y, -0.5f);
    }

    std::vector<std::unique_ptr<SolidTextures>> pictures;
    uint32_t (*savedTicks)() = nullptr;
};

}  // namespace

TEST_F(OverlayTest, StatusPanelMultipliesWhatIsBehindByItsImage) {
    startOverlay();
    drawStatusPanel();   // spans x −1.2 … −0.6, y −1 … −0.4
    EXPECT_TRUE(closeTo(seenAt(-0.9f, -0.7f), onGrey(colourOf(TEX_STATUS)))) << describe(seenAt(-0.9f, -0.7f));
    EXPECT_TRUE(closeTo(seenAt(-0.55f, -0.7f), GREY));
    EXPECT_TRUE(closeTo(seenAt(-0.9f, -0.35f), GREY));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(OverlayTest, MissMarkerMultipliesAroundTheMiddleOfTheView) {
    startOverlay();
    glPushMatrix();
    glTranslatef(0, 0, -0.1f);
    glCallList(missedList);
    glPopMatrix();
    EXPECT_TRUE(closeTo(seenAt(0, 0), onGrey(colourOf(TEX_MISSED)))) << describe(seenAt(0, 0));
    EXPECT_TRUE(closeTo(seenAt(0.45f, -0.45f), onGrey(colourOf(TEX_MISSED))));
    EXPECT_TRUE(closeTo(seenAt(0.55f, 0), GREY));
    EXPECT_TRUE(closeTo(seenAt(0, 0.55f), GREY));
}

TEST_F(OverlayTest, TurnBannerShowsItsFlagsImageAndTheLastSetFlagWins) {
    choosingHeroes = false;
    bool* flags[6] = {&bannerP1BeginTurn, &bannerP1EndTurn, &bannerP2BeginTurn,
                      &bannerP2EndTurn,   &bannerP1Wins,    &bannerP2Wins};
    for (int i = 0; i < 6; i++) {
        for (bool* flag : flags) *flag = false;
        *flags[i] = true;
        startOverlay();
        drawTurnBanner();
        PixelColour seen = seenAt(0, 0);
        EXPECT_TRUE(closeTo(seen, colourOf(TEX_P1_BEGIN_TURN + i))) << "flag " << i << ": " << describe(seen);
        EXPECT_TRUE(closeTo(seenAt(-1.2f, 0.95f), colourOf(TEX_P1_BEGIN_TURN + i))) << "covers the view";
    }

    const struct { std::vector<int> set; int shown; } mixes[] = {
        {{0, 3}, TEX_P2_END_TURN}, {{1, 4}, TEX_P1_WINS}, {{5, 0, 2}, TEX_P2_WINS}, {{0, 1, 2, 3, 4, 5}, TEX_P2_WINS},
        {{0, 2}, TEX_P2_BEGIN_TURN},
    };
    for (const auto& mix : mixes) {
        for (bool* flag : flags) *flag = false;
        for (int i : mix.set) *flags[i] = true;
        startOverlay();
        drawTurnBanner();
        EXPECT_TRUE(closeTo(seenAt(0, 0), colourOf(mix.shown))) << "wanted image " << mix.shown;
    }
}

TEST_F(OverlayTest, HeroChoiceBannerMultipliesTheChoosersImageUnlessPlayerTwoBegins) {
    choosingHeroes = true;
    for (int player : {1, 2}) {
        currentPlayer = player;
        startOverlay();
        drawChoiceBanner();   // spans x −0.25 … 0.35, y −0.5 … 0.1
        PixelColour wanted = onGrey(colourOf(player == 1 ? TEX_P1_CHOOSE : TEX_P2_CHOOSE));
        EXPECT_TRUE(closeTo(seenAt(0.05f, -0.2f), wanted)) << "player " << player << ": " << describe(seenAt(0.05f, -0.2f));
        EXPECT_TRUE(closeTo(seenAt(0.4f, -0.2f), GREY));
    }
    bannerP2BeginTurn = true;   // player 2's turn starts before the choice: drawn as it is
    startOverlay();
    drawChoiceBanner();
    EXPECT_TRUE(closeTo(seenAt(0.05f, -0.2f), colourOf(TEX_P2_BEGIN_TURN))) << describe(seenAt(0.05f, -0.2f));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(OverlayTest, ActionMenuHighlightsOneRowInItsColourWithThePlainImage) {
    const float highlight[4][3] = {{1, 0, 0}, {1, 1, 0.2f}, {0, 1, 0}, {0, 0.4f, 1}};
    const float rowMiddle[4] = {0.875f, 0.625f, 0.375f, 0.125f};
    for (int unitClass = 1; unitClass <= 5; unitClass++) {
        int action = unitClass < 4 ? TEX_MENU_SKILLS : unitClass == 4 ? TEX_MENU_HEALING : TEX_MENU_MAGIC;
        const int plainImage[4] = {TEX_MENU_ATTACK, action, TEX_MENU_DEFEND, TEX_MENU_MOVE};
        for (int item = 1; item <= 4; item++) {
            startOverlay();
            drawMenu(unitClass, item);
            WindowPicture picture = readBackBuffer();
            for (int row = 0; row < 4; row++) {
                bool lit = row + 1 == item;
                int image = lit ? plainImage[row] : plainImage[row] + 1;   // the others show "-selected"
                PixelColour wanted = lit ? tinted(colourOf(image), highlight[row][0], highlight[row][1],
                                                  highlight[row][2])
                                         : colourOf(image);
                // The menu spans x 0.75 … 1.25 and y −0.9 … −0.4 of the view.
                PixelColour seen = picture.atWorld(1.0f, -0.9f + 0.5f * rowMiddle[row], -0.5f);
                EXPECT_TRUE(closeTo(seen, wanted)) << "class " << unitClass << ", item " << item << ", row "
                                                   << row + 1 << ": " << describe(seen) << " wanted "
                                                   << describe(wanted);
            }
            EXPECT_TRUE(closeTo(picture.atWorld(0.7f, -0.6f, -0.5f), GREY)) << "left of the menu";
        }
    }
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(OverlayTest, HudLinesFollowTheirTogglesAndTheClockRunsEvenWhenBothAreOff) {
    int left, fpsBase, runBase, unused;
    auto drawAndCount = [&](uint32_t ms, int& red, int& yellow, int& other) {
        fixTicks(ms);
        startOverlay(BLACK);
        pixelOf(-1.2f, 0.92f, -1, left, fpsBase);
        pixelOf(-1.2f, 0.95f, -1, unused, runBase);
        drawHud();
        WindowPicture picture = readBackBuffer();
        red = picture.count({255, 0, 0}, 0);
        yellow = picture.count({255, 255, 51}, 0);
        other = picture.width * picture.height - red - yellow - picture.count(BLACK, 0);
        // Each line sits on its own baseline at the left edge.
        EXPECT_EQ(picture.countIn(left, fpsBase - 3, left + 400, fpsBase + 12, {255, 0, 0}, 0), red);
        EXPECT_EQ(picture.countIn(left, runBase - 3, left + 400, runBase + 12, {255, 255, 51}, 0), yellow);
    };

    int red, yellow, other;
    drawAndCount(5000, red, yellow, other);
    EXPECT_STREQ(fpsText, "Frames Per Second: 1");
    EXPECT_STREQ(runTimeText, "Kestrava Has Been Running For: 0 minutes");
    EXPECT_GT(red, 30);
    EXPECT_GT(yellow, 30);
    EXPECT_EQ(other, 0);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    saveArtifact(readBackBuffer(), "hud_lines");

    showFps = false;   // F2
    drawAndCount(5400, red, yellow, other);
    EXPECT_EQ(red, 0);
    EXPECT_GT(yellow, 30);

    showFps = true;
    showRunTime = false;   // F1
    drawAndCount(5800, red, yellow, other);
    EXPECT_GT(red, 30);
    EXPECT_EQ(yellow, 0);

    showFps = false;
    choosingHeroes = false;
    bannerP1EndTurn = true;
    drawAndCount(7000, red, yellow, other);
    EXPECT_EQ(red + yellow + other, 0);
    EXPECT_FLOAT_EQ(nowSeconds, 7);
    EXPECT_NEAR(frameSeconds, 1.2f, 1e-4);
    EXPECT_EQ(runSeconds, 2);
    EXPECT_FLOAT_EQ(bannerSeconds, 1);
    EXPECT_STREQ(fpsText, "Frames Per Second: 3");
}
