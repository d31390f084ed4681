// tests/render/test_picking.cpp — the square under the pointer, found from the camera the real frame used
#include <cmath>
#include <vector>
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include "app/camera.h"
#include "app/pointer.h"
#include "app/window.h"
#include "rules/game_state.h"
#include "save/battle_save.h"
#include "tests/render/gl_harness.h"
#include "tests/support/battle.h"

namespace {

// The middle of a square as the board draws it: half a unit below where units stand.
Vector squareMiddle(int row, int col) {
    const Vector& centre = battleMap[row][col].centre;
    return Vector(centre.x, centre.y - 0.5f, centre.z);
}

// Where GLU puts the point on the window, in GLUT's pixels (from the top left).
bool pixelOf(const Vector& point, int& x, int& y) {
    double model[16], projection[16], wx, wy, wz;
    for (int i = 0; i < 16; i++) {
        model[i] = viewModelView[i];
        projection[i] = viewProjection[i];
    }
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (!gluProject(point.x, point.y, point.z, model, projection, viewport, &wx, &wy, &wz)) return false;
    x = static_cast<int>(std::floor(wx));
    y = windowHeight - 1 - static_cast<int>(std::floor(wy));
    return x >= 0 && x < windowWidth && y >= 0 && y < windowHeight && wz > 0 && wz < 1;
}

}  // namespace

// Each corner square of the fixture board, seen by three free cameras from different sides,
// in perspective and after v: the pixel GLU puts the square's middle on picks that square,
// and a unit's body picks its square.
TEST(PickingTest, TheMiddleOfEachCornerSquareIsThatSquareFromAnyCameraAndProjection) {
    ensureGlWindow();
    resetBattleState();
    reloadFixtureMap();
    placeUnit<Fighter>(1, 0, 0)->visible = true;
    placeUnit<Healer>(2, 7, 9)->visible = true;
    choosingHeroes = p1ChoosingHero = false;
    const struct { float yaw, pitch, distance; int width, height; } cameras[] = {
        {-90, -60, 6, 0, 0},       // the game's own heading, at the full window
        {-20, -35, 9, 640, 400},   // from the side, lower
        {150, -80, 4, 333, 517},   // from the far end, almost straight down, a tall window
    };
    const int corners[4][2] = {{0, 0}, {0, 9}, {7, 0}, {7, 9}};
    int picked = 0;
    for (bool perspective : {true, false}) {
        for (const auto& camera : cameras) {
            perspectiveView = perspective;
            const int width = camera.width ? camera.width : glutGet(GLUT_WINDOW_WIDTH);
            const int height = camera.height ? camera.height : glutGet(GLUT_WINDOW_HEIGHT);
            onReshape(width, height);
            for (const auto& corner : corners) {
                SCOPED_TRACE(testing::Message() << (perspective ? "perspective" : "orthographic") << ", yaw "
                                                << camera.yaw << ", corner " << corner[0] << "," << corner[1]);
                // The eye back along the view from the square, then a little
                // aside and up, so that the square is off the middle.
                interactionMode = MODE_FREE;
                cameraYaw = camera.yaw;
                cameraPitch = camera.pitch;
                Vector eye, centre;
                aimFreeCamera(eye, centre);
                const Vector view = normalize(centre - eye);
                const Vector aside = normalize(cross(view, Vector(0, 1, 0)));
                cameraEye = squareMiddle(corner[0], corner[1]) - view * camera.distance + aside * 0.4f +
                            cross(aside, view) * 0.25f;
                keptRevision = battleRevision;
                glMatrixMode(GL_MODELVIEW);
                glLoadIdentity();
                onDisplay();
                // The square's middle, and where a unit stands on it the middle of its body.
                std::vector<Vector> points = {squareMiddle(corner[0], corner[1])};
                if (battleMap[corner[0]][corner[1]].occupant != -1) points.push_back(battleMap[corner[0]][corner[1]].centre);
                for (const Vector& point : points) {
                    int x = 0, y = 0, row = -1, col = -1;
                    ASSERT_TRUE(pixelOf(point, x, y));
                    ASSERT_TRUE(squareUnderPixel(x, y, row, col)) << "pixel " << x << "," << y;
                    EXPECT_EQ(row, corner[0]) << "pixel " << x << "," << y << ", y " << point.y;
                    EXPECT_EQ(col, corner[1]) << "pixel " << x << "," << y << ", y " << point.y;
                    picked++;
                }
            }
        }
    }
    EXPECT_EQ(picked, 36);
    perspectiveView = true;
    onReshape(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
}
