// tests/render/test_camera_view.cpp — the window's projections, and the HUD lines whichever one v left
#include <cmath>
#include <vector>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/camera.h"
#include "app/textures.h"
#include "app/window.h"
#include "render/frame_clock.h"
#include "rules/game_state.h"
#include "tests/render/gl_harness.h"
#include "tests/support/battle.h"

namespace {

class CameraViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGlWindow();
        resetBattleState();
        reloadFixtureMap();
        savedTicks = tickSource;
    }
    void TearDown() override {
        tickSource = savedTicks;
        perspectiveView = true;
        onReshape(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    }
    uint32_t (*savedTicks)() = nullptr;
};

std::vector<float> projection() {
    std::vector<float> m(16);
    glGetFloatv(GL_PROJECTION_MATRIX, m.data());
    return m;
}

}  // namespace

// Perspective: 60 degrees high, as wide as the window; orthographic: −w/h … w/h by −1 … 1.
TEST_F(CameraViewTest, ReshapeSetsPerspectiveOrOrthographicAndSurvivesHeightZero) {
    onReshape(800, 600);
    EXPECT_NEAR(projection()[5], 1 / std::tan(30 * 3.14159265f / 180), 1e-4);
    EXPECT_NEAR(projection()[0], projection()[5] * 0.75f, 1e-4);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_TRUE(viewport[2] == 800 && viewport[3] == 600 && windowWidth == 800 && windowHeight == 600);
    perspectiveView = false;
    onReshape(800, 600);
    EXPECT_NEAR(projection()[0], 0.75f, 1e-5);
    EXPECT_NEAR(projection()[5], 1, 1e-5);
    for (bool perspective : {true, false}) {
        perspectiveView = perspective;
        onReshape(640, 0);
        for (float v : projection()) EXPECT_TRUE(std::isfinite(v)) << "perspective " << perspective;
        EXPECT_EQ(windowHeight, 1);
    }
}

// After an odd number of v presses the frame hands the HUD a perspective
// projection; the lines still show at the top left, red frame rate under
// the yellow run time.
TEST_F(CameraViewTest, HudLinesStayAtTheTopLeftWhicheverWayVLeftTheProjection) {
    SolidTextures sky{{TEX_SKY_SAD_SEA, {60, 60, 60}}};
    choosingHeroes = p1ChoosingHero = false;
    fixTicks(100300);   // the first frame formats both lines
    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
    for (bool perspective : {true, false}) {
        perspectiveView = perspective;
        onReshape(width, height);
        glLoadIdentity();   // the HUD draws in the frame's base model-view, which the game never moves
        onDisplay();
        const WindowPicture picture = readBackBuffer();
        const int left = static_cast<int>((1 - 1.2f * height / width) * width / 2), top = height - 1;
        EXPECT_GT(picture.countIn(left, top - 60, left + 300, top, {255, 0, 0}, 0), 30) << perspective;
        EXPECT_GT(picture.countIn(left, top - 60, left + 300, top, {255, 255, 51}, 0), 30) << perspective;
        EXPECT_EQ(perspectiveView, perspective);
    }
}
