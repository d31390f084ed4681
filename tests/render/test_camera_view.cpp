// tests/render/test_camera_view.cpp — the window's two projections (the overlays frame draws the HUD
// lines with the perspective one in force, as the frame hands it over after an odd number of v presses)
#include <cmath>
#include <vector>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/camera.h"
#include "app/window.h"
#include "tests/render/gl_harness.h"
#include "tests/support/battle.h"

namespace {

class CameraViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGlWindow();
        resetBattleState();
    }
    void TearDown() override {
        perspectiveView = true;
        onReshape(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    }
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
