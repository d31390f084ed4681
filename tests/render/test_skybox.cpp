// tests/render/test_skybox.cpp — the sky seen from inside, all six directions in one frame
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <functional>

#include "app/camera.h"
#include "app/textures.h"
#include "app/window.h"
#include "game/battle_map.h"
#include "render/lighting.h"
#include "render/looks.h"
#include "render/skybox.h"
#include "rules/game_state.h"
#include "rules/movement.h"
#include "rules/window_link.h"
#include "tests/render/gl_harness.h"
#include "tests/render/reference_frame.h"
#include "tests/support/battle.h"

namespace {

// Six 90-degree views from one eye cover every direction, laid out as the
// unfolded cube, a tile of TILE pixels each (column, row from the bottom left);
// a seventh, two tiles wide, looks across the front's edge with the right
// face and up into the corner they share with the up face:
//
//                 up                   corner
//     right(+x)  front(+z)  left(−x)  back(−z)
//                 down
//
// Neighbouring tiles meet where their views do, so a face that is mirrored,
// turned or shows the wrong image breaks the picture and its seams. The eye
// stands over the board, off the box's centre, so the box's size and place show too.
constexpr int TILE = 128;
const struct View { int column, row, columns; float degrees, x, y, z, upX, upY, upZ; } views[7] = {
    {1, 2, 1, 90, 0, 1, 0, 0, 0, -1}, {0, 1, 1, 90, 1, 0, 0, 0, 1, 0},  {1, 1, 1, 90, 0, 0, 1, 0, 1, 0},
    {2, 1, 1, 90, -1, 0, 0, 0, 1, 0}, {3, 1, 1, 90, 0, 0, -1, 0, 1, 0}, {1, 0, 1, 90, 0, -1, 0, 0, 0, 1},
    {2, 2, 2, 60, 1, 0.6f, 0.9f, 0, 1, 0},
};
const Vector EYE(4, 1, 5);

WindowPicture skyFromInside(int choice) {
    skyChoice = choice;
    clearWindow();
    for (const View& v : views) {
        lookThrough(v.column * TILE, v.row * TILE, v.columns * TILE, TILE, v.degrees);
        gluLookAt(EYE.x, EYE.y, EYE.z, EYE.x + v.x, EYE.y + v.y, EYE.z + v.z, v.upX, v.upY, v.upZ);
        drawSkyboxAroundMap();
    }
    return part(readBackBuffer(), {0, 0, 4 * TILE - 1, 3 * TILE - 1});
}

WindowPicture gameFrame() {
    drawWindowFrame(100.3);
    return readBackBuffer();
}

int pixelsApart(const WindowPicture& a, const WindowPicture& b) {
    if (a.rgb.size() != b.rgb.size()) return -1;
    int apart = 0;
    for (size_t i = 0; i < a.rgb.size(); i += 3)
        apart += a.rgb[i] != b.rgb[i] || a.rgb[i + 1] != b.rgb[i + 1] || a.rgb[i + 2] != b.rgb[i + 2];
    return apart;
}

}  // namespace

class SkyboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGlWindow();
        resetBattleState();
        reloadFixtureMap();
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
        placeLights();
    }
};

// One image all round: Depths O' The Fishtank, the third backdrop, so that
// a neighbour's image in its place shows.
TEST_F(SkyboxTest, BackdropLookAroundTheFixtureBoard) {
    EXPECT_TRUE(matchesReference(skyFromInside(2), "sky_fishtank"));
}

TEST_F(SkyboxTest, SixFaceLookAroundASevenByTwoMap) {
    mapRows = 7;
    mapCols = 2;
    EXPECT_TRUE(matchesReference(skyFromInside(5), "sky_six_faces"));
}

TEST_F(SkyboxTest, HeldSkyShowsTheLightAndColourTheFrameStartedWithOnceLaterInTheFrame) {
    // A still view's frames before: the last of them copied the kept sky in.
    selectedUnit = placeUnit<Fighter>(1, 1, 2);
    perspectiveView = true;
    onReshape(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    for (int frame = 0; frame < 3; frame++) gameFrame();
    SolidTextures sky{{TEX_SKY_SAD_SEA, {128, 128, 128}}};
    skyChoice = 0;
    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
    const float middle = (mapRows + 1 + mapCols) / 4.0f;
    // Lit, the white material shows the picture as it is; unlit (the frame after the l key), in the colour then current.
    for (bool lit : {true, false}) {
        SCOPED_TRACE(lit ? "lit" : "unlit");
        clearWindow();
        lookThrough(0, 0, width, height, 90);
        gluLookAt(middle + 0.5f, 0, middle, middle + 0.5f, 0, middle + 1, 0, 1, 0);
        lit ? glEnable(GL_LIGHTING) : glDisable(GL_LIGHTING);
        glColor3f(1, 0, 0);
        holdSky();
        glEnable(GL_LIGHTING);   // as the scene leaves it
        glColor3f(0, 1, 0);
        drawHeldSky();
        const PixelColour seen = readBackBuffer().at(width / 2, height / 2);
        EXPECT_TRUE(closeTo(seen, lit ? PixelColour{128, 128, 128} : PixelColour{128, 0, 0})) << describe(seen);
        float colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING) && colour[0] == 0 && colour[1] == 1) << "the scene's state is put back";
    }
}

// A still view's sky is drawn alone once, kept and then copied in: each of
// those frames is the frame drawn afresh, and a change to anything the sky is
// drawn with is never covered by the kept picture.
TEST_F(SkyboxTest, AStillViewsKeptSkyIsTheDrawnOneAndAnyChangeDrawsItAfresh) {
    selectedUnit = placeUnit<Fighter>(1, 1, 2);
    placeUnit<Mage>(2, 4, 5);
    updateVisibility(currentPlayer);
    const int rows = mapRows, cols = mapCols;
    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
    auto stillView = [&] {
        mapRows = rows;
        mapCols = cols;
        skyChoice = 0;
        lightingOn = true;
        choosingHeroes = p1ChoosingHero = false;
        perspectiveView = true;
        onReshape(width, height);
        resetCamera();
        cameraEye = Vector(5, 6, 12);
        cameraPitch = -15;   // the board below, the sky above: even the orthographic view shows sky
    };
    const struct {
        const char* name;
        std::function<void()> change;
    } changes[] = {
        {"nothing", [] {}},
        {"camera turned", [] { cameraYaw += 2; }},
        {"camera moved", [] { cameraEye.x += 0.25f; }},
        {"next backdrop", [] { skyChoice = 1; }},
        {"lighting off", [] { lightingOn = false; setLighting(false); }},
        // The hero banner is drawn in perspective over this view, at depths the sky must not hide.
        {"orthographic", [] {
             perspectiveView = false;
             reapplyProjection();
             choosingHeroes = p1ChoosingHero = true;
         }},
        {"a window half as wide and high", [&] { onReshape(width / 2, height / 2); }},
        {"a map four columns narrower", [] { mapCols -= 4; }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        for (int frame = 0; frame < 3; frame++) {
            stillView();
            gameFrame();
        }
        auto changedFrame = [&] {
            stillView();
            change();
            return gameFrame();
        };
        const WindowPicture changed = changedFrame();
        forgetKeptSky();
        const WindowPicture fresh = changedFrame();
        const WindowPicture kept = changedFrame();
        const WindowPicture copied = changedFrame();
        EXPECT_EQ(pixelsApart(changed, fresh), 0) << "the first frame after the change";
        EXPECT_EQ(pixelsApart(kept, fresh), 0) << "the frame that keeps the sky";
        EXPECT_EQ(pixelsApart(copied, fresh), 0) << "a frame that copies the kept sky in";
    }
    stillView();
}
