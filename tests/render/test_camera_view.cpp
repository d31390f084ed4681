// tests/render/test_camera_view.cpp — the window's size, the first frame's view, reshape, the light and the window link
#include <cmath>
#include <memory>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/camera.h"
#include "app/textures.h"
#include "app/window.h"
#include "game/battle_map.h"
#include "render/frame_clock.h"
#include "render/lighting.h"
#include "render/looks.h"
#include "rules/game_state.h"
#include "rules/window_link.h"
#include "tests/render/gl_harness.h"
#include "tests/support/battle.h"

namespace {

constexpr PixelColour MOUNTAIN{120, 100, 80}, DESERT{200, 180, 90}, OTHER{60, 60, 60};

void projectionMatrix(float m[16]) { glGetFloatv(GL_PROJECTION_MATRIX, m); }

Unit unitAt(const Vector& at) {
    Unit unit;
    unit.position = at;
    return unit;
}

class CameraViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGlWindow();
        resetBattleState();
        reloadFixtureMap();
        width = glutGet(GLUT_WINDOW_WIDTH);
        height = glutGet(GLUT_WINDOW_HEIGHT);
        onReshape(width, height);
        savedTicks = tickSource;
    }
    void TearDown() override {
        tickSource = savedTicks;
        perspectiveView = true;
        onReshape(width, height);
        glEnable(GL_LIGHTING);
    }

    int width = 0, height = 0;
    uint32_t (*savedTicks)() = nullptr;
};

}  // namespace

TEST_F(CameraViewTest, FullScreenGivesAWindowOfTheScreensSize) {
    EXPECT_EQ(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_SCREEN_WIDTH));
    EXPECT_EQ(glutGet(GLUT_WINDOW_HEIGHT), glutGet(GLUT_SCREEN_HEIGHT));
    EXPECT_GT(glutGet(GLUT_WINDOW_WIDTH), 500);
}

TEST_F(CameraViewTest, FirstFrameLooksDownOntoTheBoardTowardMinusZ) {
    // Only the two squares either side of the screen's middle get their own colours.
    SolidTextures terrains{{TEX_MOUNTAIN, MOUNTAIN}, {TEX_DESERT, DESERT}, {TEX_WATER, OTHER},
                           {TEX_GRASS, OTHER},       {TEX_ELECTRIC, OTHER}, {TEX_CHAOS, OTHER}};
    ASSERT_EQ(battleMap[5][5].terrain, 2);
    ASSERT_EQ(battleMap[5][6].terrain, 3);
    choosingHeroes = p1ChoosingHero = false;   // no hero-choice banner over the middle
    fixTicks(100300);                          // cursor in its hidden quarter
    nowSeconds = 100.3f;
    lastSecondMark = 100;
    onDisplay();
    WindowPicture picture = readBackBuffer();
    saveArtifact(picture, "first_frame");

    // The eye at (6, 10, 13) looks along (0, −2.598, −1.5): the middle of the
    // screen falls on the board surface at x = 6, z ≈ 6.94, the line between
    // squares (5, 5) and (5, 6).
    EXPECT_TRUE(closeTo(picture.at(width / 2 - 10, height / 2 + 10), MOUNTAIN))
        << describe(picture.at(width / 2 - 10, height / 2 + 10));
    EXPECT_TRUE(closeTo(picture.at(width / 2 + 10, height / 2 + 10), DESERT))
        << describe(picture.at(width / 2 + 10, height / 2 + 10));

    // The view volume was rebuilt from this frame's camera: the near plane
    // faces along the view, 0.1 in front of the eye.
    const Vector eye(6, 10, 13), look(0, -0.866025f, -0.5f);
    EXPECT_NEAR(viewPlanes[4][0], look.x, 1e-3);
    EXPECT_NEAR(viewPlanes[4][1], look.y, 1e-3);
    EXPECT_NEAR(viewPlanes[4][2], look.z, 1e-3);
    EXPECT_FALSE(outsideView(unitAt(eye + look * 0.1f + look * -0.4f)));
    EXPECT_TRUE(outsideView(unitAt(eye + look * 0.1f + look * -0.55f)));
    EXPECT_FALSE(outsideView(unitAt(battleMap[5][6].centre)));
    EXPECT_EQ(perspectiveView, true);
}

TEST_F(CameraViewTest, ReshapeSetsPerspectiveOrOrthographicAndSurvivesHeightZero) {
    float m[16];
    onReshape(800, 600);
    projectionMatrix(m);
    EXPECT_NEAR(m[5] / m[0], 1.3333f, 1e-4);
    EXPECT_NEAR(m[5], 1 / std::tan(30 * 3.14159265f / 180), 1e-4);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
    EXPECT_EQ(windowWidth, 800);
    EXPECT_EQ(windowHeight, 600);
    GLint mode;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    perspectiveView = false;   // −w/h … w/h by −1 … 1
    onReshape(800, 600);
    projectionMatrix(m);
    EXPECT_NEAR(m[0], 0.75f, 1e-5);
    EXPECT_NEAR(m[5], 1, 1e-5);
    EXPECT_NEAR(m[15], 1, 1e-5);

    for (bool perspective : {true, false}) {
        perspectiveView = perspective;
        onReshape(640, 0);
        projectionMatrix(m);
        for (float v : m) EXPECT_TRUE(std::isfinite(v)) << "perspective " << perspective;
        EXPECT_EQ(windowHeight, 1);
    }
}

TEST_F(CameraViewTest, WindowLinkReappliesProjectionSwitchesLightingAndSetsFrontMaterial) {
    windowWidth = 800;
    windowHeight = 400;
    perspectiveView = false;
    reapplyProjection();
    float m[16];
    projectionMatrix(m);
    EXPECT_NEAR(m[0], 0.5f, 1e-5);

    setLighting(false);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    setLighting(true);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));

    float backBefore[4];
    glGetMaterialfv(GL_BACK, GL_SPECULAR, backBefore);
    applyMaterial(materialPresets[7]);
    float v[4];
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, v);
    EXPECT_FLOAT_EQ(v[0], 0.329412f);
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, v);
    EXPECT_FLOAT_EQ(v[1], 0.568627f);
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, v);
    EXPECT_FLOAT_EQ(v[2], 103.404f);   // brass's blue highlight, kept as it is
    glGetMaterialfv(GL_FRONT, GL_SHININESS, v);
    EXPECT_FLOAT_EQ(v[0], 27.8974f);
    glGetMaterialfv(GL_BACK, GL_SPECULAR, v);
    for (int i = 0; i < 4; i++) EXPECT_FLOAT_EQ(v[i], backBefore[i]) << "back faces keep their material";
}

TEST_F(CameraViewTest, LightSitsAtTheSameEyeSpotWhateverTheCamera) {
    glEnable(GL_LIGHT1);
    for (float yaw : {0.0f, 75.0f}) {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotatef(yaw, 0, 1, 0);
        glTranslatef(-6, -10, -13);
        placeLights();
        float position[4];
        glGetLightfv(GL_LIGHT0, GL_POSITION, position);   // GL keeps it in eye space
        EXPECT_NEAR(position[0], 1, 1e-5);
        EXPECT_NEAR(position[1], 3, 1e-5);
        EXPECT_NEAR(position[2], 1.5f, 1e-5);
        EXPECT_NEAR(position[3], 1, 1e-5);
    }
    float colour[4];
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, colour);
    EXPECT_FLOAT_EQ(colour[0], 1);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
    EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
    GLint shading;
    glGetIntegerv(GL_SHADE_MODEL, &shading);
    EXPECT_EQ(shading, GL_SMOOTH);
    glLoadIdentity();
}
