// tests/render/test_board.cpp — the board's squares and textures, the reach diamonds and the cursor blink
#include <cstdlib>
#include <memory>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/camera.h"
#include "app/textures.h"
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

PixelColour terrainColour(int terrain) {
    switch (terrain) {
        case 1: return GRASS;
        case 2: return MOUNTAIN;
        case 3: return DESERT;
        case 4: return WATER;
        case 5: return ELECTRIC;
        default: return CHAOS;
    }
}

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
        terrains = std::make_unique<SolidTextures>(std::initializer_list<std::pair<int, PixelColour>>{
            {TEX_WATER, WATER}, {TEX_DESERT, DESERT}, {TEX_GRASS, GRASS},
            {TEX_MOUNTAIN, MOUNTAIN}, {TEX_ELECTRIC, ELECTRIC}, {TEX_CHAOS, CHAOS}});
    }
    void TearDown() override { terrains.reset(); }

    // The board as the scene draws it: its surface at y = −0.5.
    void drawBoard() {
        glPushMatrix();
        glTranslatef(0, -0.5f, 0);
        glCallList(boardList);
        glPopMatrix();
    }

    std::unique_ptr<SolidTextures> terrains;   // made once the window exists
};

}  // namespace

TEST_F(BoardTest, EverySquareShowsItsTerrainsTextureAndNothingLiesBeyondTheMap) {
    ASSERT_EQ(mapRows, 8);
    ASSERT_EQ(mapCols, 10);
    bool codeSeen[10] = {};
    for (int r = 0; r < mapRows; r++)
        for (int c = 0; c < mapCols; c++) codeSeen[battleMap[r][c].terrain] = true;
    for (int code = 0; code <= 9; code++) EXPECT_TRUE(codeSeen[code]) << "the fixture lacks terrain " << code;

    clearWindow();
    lookStraightDown(5, 5, 40);
    drawBoard();
    WindowPicture picture = readBackBuffer();
    saveArtifact(picture, "board_top_view");

    for (int r = 0; r < mapRows; r++)
        for (int c = 0; c < mapCols; c++) {
            const Vector& centre = battleMap[r][c].centre;
            // The middle and a point near a corner of the square.
            for (float dx : {0.0f, -0.4f})
                for (float dz : {0.0f, 0.4f}) {
                    PixelColour seen = picture.atWorld(centre.x + dx, -0.5f, centre.z + dz);
                    PixelColour wanted = terrainColour(battleMap[r][c].terrain);
                    EXPECT_TRUE(closeTo(seen, wanted)) << "square (" << r << ", " << c << ") terrain "
                                                        << battleMap[r][c].terrain << " shows " << describe(seen)
                                                        << ", wanted " << describe(wanted);
                }
        }

    // The ring of squares around the map stays black, and so does everything else.
    for (int r = -1; r <= mapRows; r++)
        for (int c = -1; c <= mapCols; c++) {
            if (r >= 0 && r < mapRows && c >= 0 && c < mapCols) continue;
            PixelColour seen = picture.atWorld(c + 0.5f, -0.5f, r + 1.5f);
            EXPECT_TRUE(closeTo(seen, BLACK)) << "beyond the map at (" << r << ", " << c << "): " << describe(seen);
        }
    int lit = picture.width * picture.height - picture.count(BLACK, 0);
    EXPECT_NEAR(lit, 80 * 40 * 40, 200) << "the 8 × 10 squares at 40 pixels each";
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
                PixelColour seen = picture.atWorld(dc, 0, dr);
                bool tinted = !closeTo(seen, GREY);
                covered += tinted;
                bool inside = std::abs(dr) + std::abs(dc) <= reach;
                EXPECT_EQ(tinted, inside) << "reach " << reach << " square (" << dr << ", " << dc << ") "
                                          << describe(seen);
                if (tinted) {
                    EXPECT_EQ(seen.b, 0) << "the tint removes blue";
                }
            }
        EXPECT_EQ(covered, expectedSquares[reach - 1]) << "reach " << reach;
        // 2 × (1, 0.7, 0) × grey 128: red doubled to full, green × 1.4.
        EXPECT_TRUE(closeTo(picture.atWorld(reach, 0, 0), {255, 179, 0})) << describe(picture.atWorld(reach, 0, 0));
        EXPECT_EQ(picture.count(GREY, 2) + picture.count({255, 179, 0}, 2) + picture.count({255, 251, 0}, 2),
                  picture.width * picture.height)
            << "every pixel is grey or tinted once or twice";
    }
    GLboolean blending = glIsEnabled(GL_BLEND), lighting = glIsEnabled(GL_LIGHTING);
    EXPECT_FALSE(blending);
    EXPECT_TRUE(lighting);
}

TEST_F(BoardTest, CursorShowsForTwoQuarterSecondsOfEachSecond) {
    SolidTextures flat{{TEX_WATER, GREY}, {TEX_DESERT, GREY}, {TEX_GRASS, GREY},
                       {TEX_MOUNTAIN, GREY}, {TEX_ELECTRIC, GREY}, {TEX_CHAOS, GREY}};
    choosingHeroes = p1ChoosingHero = false;
    cursorRow = 2;
    cursorCol = 3;
    const Vector centre = battleMap[2][3].centre;
    // Times into the second; the boundaries 0.25, 0.5 and 0.75 are exact in floats.
    const struct { float t; bool shown; } moments[] = {
        {0.0f, true},  {0.1f, true},  {0.2499f, true}, {0.25f, false}, {0.4f, false}, {0.5f, false},
        {0.5001f, true}, {0.7f, true}, {0.75f, false}, {0.9f, false},
    };
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
        int green = picture.countIn(left, bottom, right, top, {0, 255, 0});
        if (moment.shown) {
            // A translucent blue added onto grey 128: + (0.1, 0.1, 0.5) of full.
            EXPECT_TRUE(closeTo(middle, {154, 154, 255}, 2)) << "t = " << moment.t << ": " << describe(middle);
            // The outline runs round the 40-pixel square; where it lies on the
            // fill at the same depth, the depth test keeps the fill.
            EXPECT_GE(green, 3 * 40) << "t = " << moment.t << ": the green outline";
        } else {
            EXPECT_TRUE(closeTo(middle, GREY)) << "t = " << moment.t << ": " << describe(middle);
            EXPECT_EQ(green, 0) << "t = " << moment.t;
        }
        // The neighbouring square never shows the cursor.
        EXPECT_TRUE(closeTo(picture.atWorld(centre.x + 1, -0.5f, centre.z), GREY));
    }
}
