// tests/render/test_camera_view.cpp — the window's size, the first frame's view, reshape, the light and the window link
#include <cmath>
#include <vector>
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

std::vector<float> current(GLenum matrixOrVector, int count = 16) {
    std::vector<float> values(count);
    glGetFloatv(matrixOrVector, values.data());
    return values;
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

TEST_F(CameraViewTest, FullScreenWindowsFirstFrameLooksDownOntoTheBoardTowardMinusZ) {
    EXPECT_EQ(width, glutGet(GLUT_SCREEN_WIDTH));
    EXPECT_EQ(height, glutGet(GLUT_SCREEN_HEIGHT));
    EXPECT_GT(width, 500);

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
    EXPECT_TRUE(perspectiveView);

    // The view volume was rebuilt from this frame's camera: the near plane
    // faces along the view, 0.1 in front of the eye.
    const Vector eye(6, 10, 13), look(0, -0.866025f, -0.5f);
    EXPECT_NEAR(viewPlanes[4][0], look.x, 1e-3);
    EXPECT_NEAR(viewPlanes[4][1], look.y, 1e-3);
    EXPECT_NEAR(viewPlanes[4][2], look.z, 1e-3);
    Unit unit;
    for (float behindNear : {0.4f, 0.55f}) {
        unit.position = eye + look * (0.1f - behindNear);
        EXPECT_EQ(outsideView(unit), behindNear > 0.5f) << behindNear << " behind the near plane";
    }
}

TEST_F(CameraViewTest, HudLinesStayAtTheTopLeftWhicheverWayVLeftTheProjection) {
    SolidTextures sky{{TEX_SKY_SAD_SEA, OTHER}};
    choosingHeroes = p1ChoosingHero = false;
    fixTicks(100300);   // the first frame formats both lines
    for (bool perspective : {true, false}) {   // false: v pressed once, the HUD pass gets perspective
        perspectiveView = perspective;
        onReshape(width, height);
        glLoadIdentity();   // the HUD draws in the frame's base model-view, which the game never moves
        onDisplay();
        // The lines start at x −1.2 on baselines at y 0.92 and 0.95 of the −w/h … w/h by −1 … 1 box.
        const WindowPicture picture = readBackBuffer();
        const int left = static_cast<int>((1 - 1.2f * height / width) * width / 2), top = height - 1;
        EXPECT_GT(picture.countIn(left, top - 60, left + 300, top, {255, 0, 0}, 0), 30) << "perspective " << perspective;
        EXPECT_GT(picture.countIn(left, top - 60, left + 300, top, {255, 255, 51}, 0), 30)
            << "perspective " << perspective;
        EXPECT_EQ(perspectiveView, perspective);
    }
}

TEST_F(CameraViewTest, ReshapeSetsPerspectiveOrOrthographicAndSurvivesHeightZero) {
    onReshape(800, 600);
    std::vector<float> m = current(GL_PROJECTION_MATRIX);
    EXPECT_NEAR(m[5] / m[0], 1.3333f, 1e-4);
    EXPECT_NEAR(m[5], 1 / std::tan(30 * 3.14159265f / 180), 1e-4);
    EXPECT_EQ(current(GL_VIEWPORT, 4), (std::vector<float>{0, 0, 800, 600}));
    EXPECT_EQ(windowWidth, 800);
    EXPECT_EQ(windowHeight, 600);
    EXPECT_EQ(current(GL_MATRIX_MODE, 1)[0], GL_MODELVIEW);

    perspectiveView = false;   // −w/h … w/h by −1 … 1
    onReshape(800, 600);
    m = current(GL_PROJECTION_MATRIX);
    EXPECT_NEAR(m[0], 0.75f, 1e-5);
    EXPECT_NEAR(m[5], 1, 1e-5);
    EXPECT_NEAR(m[15], 1, 1e-5);

    for (bool perspective : {true, false}) {
        perspectiveView = perspective;
        onReshape(640, 0);
        for (float v : current(GL_PROJECTION_MATRIX)) EXPECT_TRUE(std::isfinite(v)) << "perspective " << perspective;
        EXPECT_EQ(windowHeight, 1);
    }
}

TEST_F(CameraViewTest, WindowLinkReappliesProjectionSwitchesLightingAndSetsFrontMaterial) {
    windowWidth = 800;
    windowHeight = 400;
    perspectiveView = false;
    reapplyProjection();
    EXPECT_NEAR(current(GL_PROJECTION_MATRIX)[0], 0.5f, 1e-5);

    setLighting(false);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    setLighting(true);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));

    float backBefore[4], v[4];
    glGetMaterialfv(GL_BACK, GL_SPECULAR, backBefore);
    const MaterialPreset& brass = materialPresets[7];
    ASSERT_FLOAT_EQ(brass.specular[2], 103.404f);   // brass's blue highlight, kept as it is
    applyMaterial(brass);
    const struct { GLenum part; const float* wanted; int count; } parts[] = {
        {GL_AMBIENT, brass.ambient, 4}, {GL_DIFFUSE, brass.diffuse, 4},
        {GL_SPECULAR, brass.specular, 4}, {GL_SHININESS, &brass.shininess, 1}};
    for (const auto& part : parts) {
        glGetMaterialfv(GL_FRONT, part.part, v);
        for (int i = 0; i < part.count; i++) EXPECT_FLOAT_EQ(v[i], part.wanted[i]) << "part " << part.part;
    }
    glGetMaterialfv(GL_BACK, GL_SPECULAR, v);
    for (int i = 0; i < 4; i++) EXPECT_FLOAT_EQ(v[i], backBefore[i]) << "back faces keep their material";
}

TEST_F(CameraViewTest, OneLightSitsAtTheSameEyeSpotWhateverTheCamera) {
    glEnable(GL_LIGHT1);
    for (float yaw : {0.0f, 75.0f}) {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotatef(yaw, 0, 1, 0);
        glTranslatef(-6, -10, -13);
        placeLights();
        float position[4];
        glGetLightfv(GL_LIGHT0, GL_POSITION, position);   // GL keeps it in eye space
        const float wanted[4] = {1, 3, 1.5f, 1};
        for (int i = 0; i < 4; i++) EXPECT_NEAR(position[i], wanted[i], 1e-5) << "yaw " << yaw;
    }
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1)) << "one light only";
    EXPECT_TRUE(glIsEnabled(GL_NORMALIZE)) << "the scaled models stay lit right";
    glLoadIdentity();
}
