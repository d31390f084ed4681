// tests/render/test_camera_view.cpp — the window's projections when a minimised window reports no height
#include <cmath>
#include <vector>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/camera.h"
#include "app/window.h"
#include "tests/render/gl_harness.h"

TEST(CameraViewTest, HeightZeroLeavesBothProjectionsFinite) {
    ensureGlWindow();
    for (bool perspective : {true, false}) {
        perspectiveView = perspective;
        onReshape(640, 0);
        std::vector<float> projection(16);
        glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
        for (float v : projection) EXPECT_TRUE(std::isfinite(v)) << "perspective " << perspective;
        EXPECT_EQ(windowHeight, 1);
    }
    perspectiveView = true;
    onReshape(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
}
