// tests/unit/test_camera.cpp — drags, the wheel, menu modes, held keys, the camera's aim and the view volume
#include <cmath>

#include "app/camera.h"
#include "app/input.h"
#include "app/pointer.h"
#include "render/looks.h"
#include "rules/game_state.h"
#include "tests/support/window_link_fake.h"

namespace {

using CameraTest = BattleTest;

// gluPerspective's matrix for a square view, column-major, seen from the origin.
void perspective(float fovY, float nearZ, float farZ, float m[16]) {
    const float f = 1 / std::tan(fovY * 3.14159265f / 360);
    for (int i = 0; i < 16; i++) m[i] = 0;
    m[0] = m[5] = f;
    m[10] = (farZ + nearZ) / (nearZ - farZ);
    m[11] = -1;
    m[14] = 2 * farZ * nearZ / (nearZ - farZ);
}

bool outside(float x, float y, float z) {
    Unit unit;
    unit.position = Vector(x, y, z);
    return outsideView(unit);
}

}  // namespace

TEST_F(CameraTest, FreeCameraLooksDownOntoTheBoardAndADragTurnsItFortyFiveDegreesAViewUnit) {
    Vector eye, centre;
    aimCamera(eye, centre);
    EXPECT_TRUE(eye.x == 6 && eye.y == 10 && eye.z == 13);
    EXPECT_NEAR(centre.x - eye.x, 0, 1e-4);
    EXPECT_NEAR(centre.y - eye.y, -2.598f, 1e-3);   // pitch −60 at distance 3
    EXPECT_NEAR(centre.z - eye.z, -1.5f, 1e-4);
    EXPECT_NEAR(cameraMoveAxis.y, 2.598f, 1e-3);

    // The pointer is counted from the bottom row; 50 pixels of a 500-high
    // window are 0.2 view units. A left drag turns the camera once it has
    // gone more than 4 pixels, by the whole way from the press.
    windowWidth = 800;
    windowHeight = 500;
    onMouseButton(0, 0, 100, 250);
    EXPECT_EQ(pointerY, 249);
    onMouseDrag(102, 247);
    EXPECT_EQ(cameraYaw, -90) << "not yet a drag";
    onMouseDrag(150, 250);
    onMouseDrag(150, 200);   // up the screen raises the pitch
    EXPECT_NEAR(cameraYaw, -81, 1e-4);
    EXPECT_NEAR(cameraPitch, -51, 1e-4);
    EXPECT_EQ(windowLinkRecord.redisplays, 2);

    // Once the menu has chosen a mode (MODE_FREE is no entry: nothing leads back),
    // drags turn nothing, and a reset camera looks at the origin from +z.
    dispatch({CMD_CAMERA_MODE, MODE_FREE});
    dispatch({CMD_CAMERA_MODE, MODE_ROTATE});
    EXPECT_EQ(interactionMode, MODE_ROTATE);
    onMouseDrag(300, 40);
    EXPECT_NEAR(cameraYaw, -81, 1e-4);
    resetCamera();
    aimCamera(eye, centre);
    EXPECT_TRUE(eye.x == 0 && eye.y == 0 && eye.z == 3 && centre.z == 0);
}

TEST_F(CameraTest, KeyReleaseClearsOnlyItsOwnHeldFlag) {
    bool* flags[] = {&heldPlus, &heldMinus, &held2, &held4, &held6, &held8};
    // Each key as pressed, then as reported when Shift changed before its
    // release; the last round releases '5', which holds nothing.
    const char keys[] = "+-2468=_@$^*5";
    for (int k = 0; k < 13; k++) {
        for (bool* flag : flags) *flag = true;
        dispatch({CMD_KEY_UP, keys[k]});
        for (int f = 0; f < 6; f++) EXPECT_EQ(*flags[f], k == 12 || f != k % 6) << "flag " << f << " after " << keys[k];
    }
}

// Near 1 and far 3 from the origin looking down −z, a 90-degree view: every
// plane is exact, and a unit is drawn until it is half a unit beyond one.
TEST_F(CameraTest, ViewVolumeFacesInwardsAndKeepsAHalfUnitMargin) {
    float projection[16], identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    perspective(90, 1, 3, projection);
    setViewPlanes(projection, identity);
    const float s = std::sqrt(0.5f);
    const float wanted[6][4] = {{s, 0, -s, 0}, {-s, 0, -s, 0}, {0, s, -s, 0}, {0, -s, -s, 0}, {0, 0, -1, -1}, {0, 0, 1, 3}};
    for (int plane = 0; plane < 6; plane++)
        for (int i = 0; i < 4; i++) EXPECT_NEAR(viewPlanes[plane][i], wanted[plane][i], 1e-5) << plane << "," << i;
    EXPECT_FALSE(outside(0, 0, -2));
    EXPECT_FALSE(outside(0, 0, -0.6f));   // 0.4 short of the near plane
    EXPECT_TRUE(outside(0, 0, -0.5f));
    EXPECT_TRUE(outside(3, 0, -2));
    EXPECT_TRUE(outside(0, 0, -3.5f));
}

// A held key moves the eye 7 units a second: 8 and 2 level along the view
// axis, + and - straight along it, 6 and 4 across it.
TEST_F(CameraTest, HeldCameraKeysMoveTheEyeWithTheFrameTimeAndStayInTheSky) {
    const struct { unsigned char key; Vector axis, moved; } holds[] = {
        {'8', Vector(0, 0, -3), Vector(0, 0, 0.7f)},  {'2', Vector(0, -3, -4), Vector(0, 0, -0.56f)},
        {'+', Vector(0, -3, -4), Vector(0, 0.42f, 0.56f)}, {'-', Vector(0, -3, -4), Vector(0, -0.42f, -0.56f)},
        {'6', Vector(0, 0, -3), Vector(-0.7f, 0, 0)}, {'4', Vector(0, 0, -3), Vector(0.7f, 0, 0)},
    };
    loadUniformMap(7, 5, 1);
    frameSeconds = 0.1f;
    for (const auto& hold : holds) {
        heldPlus = heldMinus = held2 = held4 = held6 = held8 = false;
        cameraEye = Vector(6, 10, 13);
        cameraMoveAxis = hold.axis;
        dispatch({CMD_KEY, hold.key});
        moveHeldCamera(frameSeconds);
        EXPECT_NEAR(cameraEye.x, 6 + hold.moved.x, 1e-5) << hold.key;
        EXPECT_NEAR(cameraEye.y, 10 + hold.moved.y, 1e-5) << hold.key;
        EXPECT_NEAR(cameraEye.z, 13 + hold.moved.z, 1e-5) << hold.key;
    }
    // However long a key is held, the eye stops a unit short of the sky box's walls.
    Vector low, high;
    skyBoxAroundMap(low, high);
    held4 = false;
    held2 = true;
    cameraMoveAxis = Vector(0, -3, -4);
    moveHeldCamera(100);
    heldPlus = true;
    moveHeldCamera(100);
    EXPECT_FLOAT_EQ(cameraEye.y, high.y - 1);
    EXPECT_FLOAT_EQ(cameraEye.z, low.z + 1);

    // A notch of the wheel moves the eye a unit, as + or - held a seventh of a second.
    heldPlus = held2 = false;
    cameraEye = Vector(6, 10, 13);
    dispatch({CMD_ZOOM, 1});
    EXPECT_NEAR(cameraEye.y, 10.6f, 1e-5);
    EXPECT_NEAR(cameraEye.z, 13.8f, 1e-5);
    dispatch({CMD_ZOOM, -3});
    EXPECT_NEAR(cameraEye.y, 8.8f, 1e-5);
    EXPECT_NEAR(cameraEye.z, 11.4f, 1e-5);
}

// Following, the point comes to the middle of the view at the eye's height, at any frame rate.
TEST_F(CameraTest, FollowingBringsThePointToTheMiddleOfTheViewAndKeepsTheHeight) {
    loadUniformMap(12, 16, 1);
    const Vector point(12.5f, 0, 9.5f);
    for (int fps : {20, 60, 144}) {
        SCOPED_TRACE(fps);
        homeCamera(1);
        cameraYaw = -60;
        for (int frame = 0; frame < 4 * fps; frame++) followWithCamera(point, 1.0f / fps);
        Vector eye, centre;
        aimCamera(eye, centre);
        Vector view = centre - eye;
        float along = -eye.y / view.y;   // where the view meets the board
        EXPECT_NEAR(eye.x + view.x * along, point.x, 0.01f);
        EXPECT_NEAR(eye.z + view.z * along, point.z, 0.01f);
        EXPECT_EQ(eye.y, 10);
    }
    const struct { const char* what; int mode; float pitch; } still[] = {
        {"a camera mode of the middle button's menu", MODE_TRANSLATE, -60},
        {"a view level with the board", MODE_FREE, 0},
    };
    for (const auto& s : still) {
        SCOPED_TRACE(s.what);
        homeCamera(1);
        interactionMode = s.mode;
        cameraPitch = s.pitch;
        followWithCamera(point, 1);
        EXPECT_TRUE(cameraEye.x == 6 && cameraEye.y == 10 && cameraEye.z == 13);
    }
}
