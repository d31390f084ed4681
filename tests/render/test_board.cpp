// tests/render/test_board.cpp — the board's squares and textures, the reach diamonds and the cursor blink
#include <cstdlib>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/camera.h"
#include "app/textures.h"
#include "app/window.h"
#include "game/battle_map.h"
#include "render/board.h"
#include "render/frame_clock.h"
#include "render/lighting.h"
#include "render/scene.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "tests/render/gl_harness.h"
#include "tests/support/battle.h"

namespace {

constexpr PixelColour WATER{40, 80, 200}, DESERT{200, 180, 90}, GRASS{40, 160, 40}, MOUNTAIN{120, 100, 80},
    ELECTRIC{230, 230, 40}, CHAOS{160, 40, 160}, BLACK{0, 0, 0}, GREY{128, 128, 128};
// By terrain code: 0 and 6–9 fall back to chaos.
constexpr PixelColour TERRAIN_COLOUR[10] = {CHAOS, GRASS, MOUNTAIN, DESERT, WATER, ELECTRIC, CHAOS, CHAOS, CHAOS, CHAOS};
// The reach tint over grey 128: 2 × (1, 0.7, 0) × grey, red doubled to full, green × 1.4, no blue.
constexpr PixelColour TINT{255, 179, 0};
// The cursor's translucent blue added onto grey 128: + (0.1, 0.1, 0.5) of full.
constexpr PixelColour CURSOR{154, 154, 255}, DIM_CURSOR{137, 137, 173};

class BoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGlWindow();
        resetBattleState();
        reloadFixtureMap();
        windowWidth = glutGet(GLUT_WINDOW_WIDTH);
        windowHeight = glutGet(GLUT_WINDOW_HEIGHT);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
        placeLights();
    }
};

}  // namespace

TEST_F(BoardTest, EverySquareShowsItsTerrainsTextureAndNothingLiesBeyondTheMap) {
    SolidTextures terrains{{TEX_WATER, WATER}, {TEX_DESERT, DESERT}, {TEX_GRASS, GRASS},
                           {TEX_MOUNTAIN, MOUNTAIN}, {TEX_ELECTRIC, ELECTRIC}, {TEX_CHAOS, CHAOS}};
    ASSERT_EQ(mapRows, 8);
    ASSERT_EQ(mapCols, 10);
    bool codeSeen[10] = {};
    for (int r = 0; r < mapRows; r++)
        for (int c = 0; c < mapCols; c++) codeSeen[battleMap[r][c].terrain] = true;
    for (int code = 0; code <= 9; code++) ASSERT_TRUE(codeSeen[code]) << "the fixture lacks terrain " << code;

    clearWindow();
    lookStraightDown(5, 5, 40);
    glPushMatrix();   // the list moves the matrix: read the picture through the one before it
    glTranslatef(0, -0.5f, 0);   // the board's surface at y = −0.5, as the scene draws it
    glCallList(boardList);
    glPopMatrix();
    WindowPicture picture = readBackBuffer();
    saveArtifact(picture, "board_top_view");

    for (int r = 0; r < mapRows; r++)
        for (int c = 0; c < mapCols; c++)
            for (float dx : {0.0f, -0.4f})   // the middle and near a corner of the square
                for (float dz : {0.0f, 0.4f}) {
                    const Vector& centre = battleMap[r][c].centre;
                    PixelColour seen = picture.atWorld(centre.x + dx, -0.5f, centre.z + dz);
                    EXPECT_TRUE(closeTo(seen, TERRAIN_COLOUR[battleMap[r][c].terrain]))
                        << "square (" << r << ", " << c << ") terrain " << battleMap[r][c].terrain << " shows "
                        << describe(seen);
                }
    // Only the 8 × 10 squares of 40 pixels each are lit: nothing beyond the map.
    EXPECT_NEAR(picture.width * picture.height - picture.count(BLACK, 0), 80 * 40 * 40, 200);
}

TEST_F(BoardTest, ReachDiamondsCoverTheSquaresWithinRowPlusColumnDistance) {
    const int expectedSquares[5] = {5, 13, 25, 41, 61};
    for (int reach = 1; reach <= 5; reach++) {
        clearWindow(GREY);
        lookStraightDown(0, 0, 20);
        glCallList(reachLists[reach - 1]);
        WindowPicture picture = readBackBuffer();
        if (reach == 5) saveArtifact(picture, "reach_5_diamond");

        int covered = 0;
        for (int dr = -7; dr <= 7; dr++)
            for (int dc = -7; dc <= 7; dc++) {
                bool tinted = !closeTo(picture.atWorld(dc, 0, dr), GREY);
                covered += tinted;
                EXPECT_EQ(tinted, std::abs(dr) + std::abs(dc) <= reach)
                    << "reach " << reach << " square (" << dr << ", " << dc << ")";
            }
        EXPECT_EQ(covered, expectedSquares[reach - 1]) << "reach " << reach;
        EXPECT_EQ(picture.count(GREY, 2) + picture.count(TINT, 2), picture.width * picture.height)
            << "every pixel is grey or tinted once";
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

TEST_F(BoardTest, CursorIsBrightForTwoQuarterSecondsOfEachSecondAndDimBetween) {
    SolidTextures flat{{TEX_WATER, GREY}, {TEX_DESERT, GREY}, {TEX_GRASS, GREY},
                       {TEX_MOUNTAIN, GREY}, {TEX_ELECTRIC, GREY}, {TEX_CHAOS, GREY}};
    choosingHeroes = p1ChoosingHero = false;
    cursorRow = 2;
    cursorCol = 3;
    const Vector centre = battleMap[2][3].centre;
    // Times into the second; the boundaries 0.25, 0.5 and 0.75 are exact in floats.
    const struct { float t; bool shown; } moments[] = {{0.0f, true},    {0.1f, true},  {0.2499f, true}, {0.25f, false},
        {0.4f, false}, {0.5f, false}, {0.5001f, true}, {0.7f, true}, {0.75f, false}, {0.9f, false}};
    for (const auto& moment : moments) {
        lastSecondMark = 100;
        nowSeconds = 100 + moment.t;
        clearWindow();
        lookStraightDown(5, 5, 40);
        updateViewFrustum();
        drawScene();
        lookStraightDown(5, 5, 40);   // the scene leaves the game's projection behind
        WindowPicture picture = readBackBuffer();
        PixelColour middle = picture.atWorld(centre.x, -0.49f, centre.z);
        int left, bottom, right, top;
        pixelOf(centre.x - 0.6f, -0.49f, centre.z + 0.6f, left, bottom);
        pixelOf(centre.x + 0.6f, -0.49f, centre.z - 0.6f, right, top);
        int green = picture.countIn(left, bottom, right, top, {0, moment.shown ? 255 : 89, 0});
        // The translucent blue fill, and a green outline round the 40-pixel
        // square (the fill wins where they share depth); both fainter when dim.
        EXPECT_TRUE(closeTo(middle, moment.shown ? CURSOR : DIM_CURSOR))
            << "t = " << moment.t << ": " << describe(middle);
        EXPECT_GE(green, 3 * 40) << "t = " << moment.t;
        EXPECT_TRUE(closeTo(picture.atWorld(centre.x + 1, -0.5f, centre.z), GREY)) << "the next square";
    }
}

TEST_F(BoardTest, ReachInPerspectiveTintsEachBoardSquareOnceBelowAWholeCursor) {
    const PixelColour SKY{60, 90, 200};
    SolidTextures plain{{TEX_WATER, GREY},    {TEX_DESERT, GREY},   {TEX_GRASS, GREY}, {TEX_MOUNTAIN, GREY},
                        {TEX_ELECTRIC, GREY}, {TEX_CHAOS, GREY}, {TEX_SKY_SAD_SEA, SKY}};
    choosingHeroes = p1ChoosingHero = false;
    // An Archer (not shown) of reach 5 on row 1: four rows of its diamond lie
    // beyond the board's far edge, over the sky.
    Archer* archer = placeUnit<Archer>(1, 1, 5);
    selectedUnit = archer;
    archer->menuOpen = choosingTarget = true;
    archer->attackRange = 5;
    cursorRow = 3;
    cursorCol = 7;
    fixTicks(101100);   // the cursor in its first shown quarter-second
    nowSeconds = 100.1f;
    lastSecondMark = 100;
    useGameCamera();   // the frame keeps the projection it finds
    onDisplay();
    const WindowPicture picture = readBackBuffer();
    saveArtifact(picture, "reach_in_perspective");
    useGameCamera();

    for (int dr = -5; dr <= 5; dr++)
        for (int dc = std::abs(dr) - 5; dc <= 5 - std::abs(dr); dc++) {
            const int row = 1 + dr, col = 5 + dc;
            const bool onBoard = row >= 0 && row < mapRows && col < mapCols;
            const PixelColour wanted = row == cursorRow && col == cursorCol ? CURSOR : onBoard ? TINT : SKY;
            for (float dx : {-0.4f, 0.0f, 0.4f}) {   // across the square
                const PixelColour seen = picture.atWorld(5.5f + dc + dx, -0.5f, 2.5f + dr);
                EXPECT_TRUE(closeTo(seen, wanted)) << "square (" << row << ", " << col << ") " << describe(seen);
            }
        }

    // Up the screen column through the diamond's middle: one tint from its
    // near tip to the board's far edge, then the sky untinted.
    int x, nearTip, farEdge, top;
    pixelOf(5.5f, -0.5f, 7.95f, x, nearTip);
    pixelOf(5.5f, -0.5f, 1.05f, x, farEdge);
    pixelOf(5.5f, -0.5f, -3.95f, x, top);
    EXPECT_EQ(picture.countIn(x, nearTip, x, farEdge, TINT), farEdge - nearTip + 1);
    EXPECT_EQ(picture.countIn(x, farEdge + 4, x, top, SKY), top - farEdge - 3);

    // The cursor's fill, inside its green outline, is untouched by the tint.
    const Vector& c = battleMap[cursorRow][cursorCol].centre;
    int left, bottom, right, up;
    pixelOf(c.x - 0.3f, -0.49f, c.z + 0.3f, left, bottom);
    pixelOf(c.x + 0.3f, -0.49f, c.z - 0.3f, right, up);
    EXPECT_EQ(picture.countIn(left, bottom, right, up, CURSOR), (right - left + 1) * (up - bottom + 1));
    pixelOf(c.x - 0.6f, -0.49f, c.z + 0.6f, left, bottom);
    pixelOf(c.x + 0.6f, -0.49f, c.z - 0.6f, right, up);
    EXPECT_GE(picture.countIn(left, bottom, right, up, {0, 255, 0}), 3 * (right - left));
}
