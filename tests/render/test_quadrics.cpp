// tests/render/test_quadrics.cpp — the models' quadrics, kept in a part, against GLU's drawn every frame
#include <cmath>
#include <string>
#include <GL/glut.h>
#include <gtest/gtest.h>

#include "render/lighting.h"
#include "render/looks.h"
#include "render/quadrics.h"
#include "rules/window_link.h"
#include "tests/render/gl_harness.h"

namespace {

TEST(QuadricTest, QuadricsShowWhatGlusShowFromAPixelInRadiusUp) {
    ensureGlWindow();
    // Cylinders and disks are compared with GLU's at the two stacks the models keep.
    enum Kind { SPHERE, CYLINDER, DISK };
    const struct Case {
        Kind kind;
        double radius, top, length;
        int slices, stacks;
        float depth, pixels;   // distance from the eye; radius on the screen
        float behind;          // how much further off than the shape its part's origin lies
    } cases[] = {
        // kind     radius  top    length slices stacks depth pixels behind
        {SPHERE,   0.25,   0,     0,     15,    15,    10,   60,    0},
        {SPHERE,   0.3,    0,     0,     8,     8,     10,   60,    0},
        {SPHERE,   0.02,   0,     0,     5,     5,     50,   1.3f,  0},    // scaled up, far off
        {SPHERE,   0.25,   0,     0,     15,    15,    0.5f, 1.3f,  0},    // scaled down, close by
        {SPHERE,   0.25,   0,     0,     15,    15,    10,   1.3f,  20},   // its part's origin a third as large
        {CYLINDER, 0.3,    0.1,   0.7,   20,    5,     10,   60,    0},
        {CYLINDER, 0.025,  0.025, 1,     5,     5,     10,   3,     0},
        {DISK,     0.4,    0,     0,     20,    7,     10,   60,    0},
    };
    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
    GLUquadric* glu = gluNewQuadric();
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind) + ", radius " + std::to_string(c.radius) + ", " +
                     std::to_string(c.pixels) + " pixels");
        const float scale = c.pixels / (static_cast<float>(c.radius) * height / 2 / std::tan(0.5236f) / c.depth);
        // From the part's origin to the shape: `behind` towards the eye, in
        // the part's space (turned 60 degrees about x and scaled).
        auto toShape = [&c, scale] { glTranslatef(0, -0.8660254f * c.behind / scale, 0.5f * c.behind / scale); };
        const ModelPart part = recordPart([&c, &toShape](PartRecorder& shape) {
            toShape();
            if (c.kind == SPHERE)
                addSphere(shape, c.radius, c.slices, c.stacks);
            else if (c.kind == CYLINDER)
                addCylinder(shape, c.radius, c.top, c.length, c.slices, c.stacks);
            else
                addDisk(shape, c.radius, c.slices, c.stacks);
        });
        WindowPicture pictures[2];
        for (int ours = 0; ours < 2; ours++) {
            lookThrough(0, 0, width, height, 60);
            placeLights();
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glEnable(GL_DEPTH_TEST);
            glEnable(GL_LIGHTING);
            applyMaterial(materialPresets[4]);
            glTranslatef(0, 0, -c.depth - c.behind);
            glRotatef(-60, 1, 0, 0);
            glScalef(scale, scale, scale);
            if (ours) {
                drawPart(part);
            } else {
                toShape();
                if (c.kind == SPHERE)
                    gluSphere(glu, c.radius, c.slices, c.stacks);
                else if (c.kind == CYLINDER)
                    gluCylinder(glu, c.radius, c.top, c.length, c.slices, 2);
                else
                    gluDisk(glu, 0, c.radius, c.slices, 2);
            }
            pictures[ours] = readBackBuffer();
        }
        int differing = 0;
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                differing += !closeTo(pictures[0].at(x, y), pictures[1].at(x, y), 1);
        EXPECT_EQ(differing, 0);
        EXPECT_GT(width * height - pictures[1].count({0, 0, 0}, 0), 0) << "nothing drawn";
    }
    gluDeleteQuadric(glu);
}

}  // namespace
