// tests/unit/test_camera.cpp — pointer, menu modes, key releases, the camera's aim and the view volume
#include <cmath>

#include "app/camera.h"
#include "tests/support/window_link_fake.h"

namespace {

constexpr int LEFT_BUTTON = 0, BUTTON_DOWN = 0;

class CameraTest : public BattleTest {};

// A perspective projection built the way gluPerspective does, column-major.
void perspective(float fovY, float aspect, float nearZ, float farZ, float m[16]) {
    float f = 1 / std::tan(fovY * 3.14159265f / 360);
    for (int i = 0; i < 16; i++) m[i] = 0;
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (farZ + nearZ) / (nearZ - farZ);
    m[11] = -1;
    m[14] = 2 * farZ * nearZ / (nearZ - farZ);
}

void translation(float x, float y, float z, float m[16]) {
    for (int i = 0; i < 16; i++) m[i] = i % 5 == 0 ? 1 : 0;
    m[12] = x;
    m[13] = y;
    m[14] = z;
}

Unit unitAt(float x, float y, float z) {
    Unit unit;
    unit.position = Vector(x, y, z);
    return unit;
}

}  // namespace

TEST_F(CameraTest, PointerPixelsMapToViewUnitsScaledByWindowHeight) {
    windowWidth = 1000;
    windowHeight = 500;
    EXPECT_NEAR(pointerToViewX(0), -1.998f, 1e-5);
    EXPECT_NEAR(pointerToViewY(0), -0.998f, 1e-5);
    EXPECT_NEAR(pointerToViewX(999), 1.998f, 1e-5);
    EXPECT_NEAR(pointerToViewY(499), 0.998f, 1e-5);
    EXPECT_NEAR(pointerToViewX(500), 0.002f, 1e-5);   // the half pixel is not rounded away
}

TEST_F(CameraTest, DragOfFiftyPixelsInFiveHundredHighWindowTurnsNineDegrees) {
    windowWidth = 800;
    windowHeight = 500;
    // The button stores the pointer counted from the bottom row, and turns nothing.
    onMouse(LEFT_BUTTON, BUTTON_DOWN, 100, 20);
    EXPECT_EQ(pointerX, 100);
    EXPECT_EQ(pointerY, 479);
    EXPECT_FLOAT_EQ(cameraYaw, -90);
    EXPECT_FALSE(orbitView);
    EXPECT_EQ(windowLinkRecord.redisplays, 0);

    onMouse(LEFT_BUTTON, BUTTON_DOWN, 100, 250);
    onMotion(150, 250);
    EXPECT_NEAR(cameraYaw, -81, 1e-4);
    EXPECT_FLOAT_EQ(cameraPitch, -60);
    EXPECT_TRUE(orbitView);
    EXPECT_EQ(pointerX, 150);
    EXPECT_EQ(windowLinkRecord.redisplays, 1);

    onMotion(150, 200);   // up the screen raises the pitch
    EXPECT_NEAR(cameraPitch, -51, 1e-4);
    EXPECT_NEAR(cameraYaw, -81, 1e-4);

    // A drag over the full height turns 90 degrees, and nothing limits the angles.
    onMotion(150, 700);
    EXPECT_NEAR(cameraPitch, -141, 1e-3);
    EXPECT_EQ(windowLinkRecord.redisplays, 3);
}

TEST_F(CameraTest, MenuEntriesSetModesAndOtherValuesDoNothing) {
    // MODE_FREE is not an entry: nothing leads back to the free camera.
    const std::pair<int, int> steps[] = {{MODE_SCALE, MODE_SCALE}, {7, MODE_SCALE}, {MODE_FREE, MODE_SCALE},
                                         {MODE_TRANSLATE, MODE_TRANSLATE}, {MODE_ROTATE, MODE_ROTATE}};
    for (const auto& [entry, mode] : steps) {
        onMenu(entry);
        EXPECT_EQ(interactionMode, mode) << "after entry " << entry;
    }
    EXPECT_EQ(windowLinkRecord.redisplays, 0);
}

TEST_F(CameraTest, FirstFrameLooksDownOntoTheBoardTowardMinusZ) {
    Vector eye, centre;
    aimCamera(eye, centre);
    EXPECT_TRUE(eye.x == 6 && eye.y == 10 && eye.z == 13);
    EXPECT_NEAR(centre.x - eye.x, 0, 1e-4);
    EXPECT_NEAR(centre.y - eye.y, -2.598f, 1e-3);
    EXPECT_NEAR(centre.z - eye.z, -1.5f, 1e-4);
    EXPECT_NEAR(lookOffset[1], -2.598f, 1e-3);
    EXPECT_NEAR(cameraMoveAxis.y, 2.598f, 1e-3);
    EXPECT_NEAR(cameraMoveAxis.z, 1.5f, 1e-4);
}

TEST_F(CameraTest, RotateBeforeAnyDragGivesFixedViewAfterADragTheOrbit) {
    windowWidth = windowHeight = 500;
    onMenu(MODE_ROTATE);
    // Once Rotate is chosen, drags no longer turn the view.
    onMouse(LEFT_BUTTON, BUTTON_DOWN, 100, 100);
    onMotion(300, 40);
    EXPECT_FLOAT_EQ(cameraYaw, -90);
    EXPECT_FLOAT_EQ(cameraPitch, -60);
    EXPECT_FALSE(orbitView);
    EXPECT_EQ(pointerX, 300);
    EXPECT_EQ(pointerY, 459);
    EXPECT_EQ(windowLinkRecord.redisplays, 1);
    Vector eye, centre;
    aimCamera(eye, centre);
    EXPECT_TRUE(eye.x == 0 && eye.y == 0 && eye.z == 3 && centre.z == 0);

    resetBattleState();
    windowWidth = windowHeight = 500;
    onMouse(LEFT_BUTTON, BUTTON_DOWN, 100, 250);
    onMotion(150, 250);   // yaw −81, pitch −60, in the free camera
    onMenu(MODE_ROTATE);
    aimCamera(eye, centre);
    float p = -60 * 3.14159f / 180, y = -81 * 3.14159f / 180;
    EXPECT_NEAR(eye.x, std::cos(y) * std::cos(p) * 3, 1e-4);
    EXPECT_NEAR(eye.y, std::sin(p) * 3, 1e-4);
    EXPECT_NEAR(eye.z, std::cos(3.14159f / 2 - y) * std::cos(p) * 3, 1e-4);
    EXPECT_TRUE(centre.x == 0 && centre.y == 0 && centre.z == 0);
}

TEST_F(CameraTest, ResetCameraRestoresStartAnglesButKeepsTheMode) {
    windowWidth = windowHeight = 500;
    onMouse(LEFT_BUTTON, BUTTON_DOWN, 100, 250);
    onMotion(170, 190);
    Vector eye, centre;
    aimCamera(eye, centre);
    onMenu(MODE_TRANSLATE);
    resetCamera();
    EXPECT_FLOAT_EQ(cameraYaw, -90);
    EXPECT_FLOAT_EQ(cameraPitch, -60);
    EXPECT_FALSE(orbitView);
    EXPECT_TRUE(lookOffset[0] == 0 && lookOffset[1] == 0 && lookOffset[2] == 3);
    EXPECT_EQ(interactionMode, MODE_TRANSLATE);
}

TEST_F(CameraTest, KeyReleaseClearsOnlyItsOwnHeldFlag) {
    bool* flags[] = {&heldPlus, &heldMinus, &held2, &held4, &held6, &held8};
    // Each key as pressed, then as reported when Shift changed before its
    // release; the last round releases '5', which holds nothing.
    const char keys[] = "+-2468=_@$^*5";
    for (int k = 0; k < 13; k++) {
        for (bool* flag : flags) *flag = true;
        onKeyUp(keys[k], 0, 0);
        for (int f = 0; f < 6; f++) EXPECT_EQ(*flags[f], k == 12 || f != k % 6) << "flag " << f << " after " << keys[k];
    }
    heldPlus = false;
    onKeyUp('+', 0, 0);   // releasing a key that was never held is harmless
    EXPECT_FALSE(heldPlus);
    EXPECT_EQ(windowLinkRecord.redisplays, 0);
}

TEST_F(CameraTest, ViewPlanesComeFromProjectionTimesModelView) {
    float projection[16], modelView[16];
    perspective(60, 1, 0.1f, 100, projection);
    translation(0, 0, -5, modelView);   // the eye stands at z = 5 looking toward −z
    setViewPlanes(projection, modelView);
    for (const auto& plane : viewPlanes)
        EXPECT_NEAR(std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]), 1, 1e-5);
    // near: −z_eye − 0.1 = −(z − 5) − 0.1; far: z_eye + 100
    EXPECT_NEAR(viewPlanes[4][2], -1, 1e-5);
    EXPECT_NEAR(viewPlanes[4][3], 4.9f, 1e-4);
    EXPECT_NEAR(viewPlanes[5][2], 1, 1e-5);
    EXPECT_NEAR(viewPlanes[5][3], 95, 1e-2);
    // left and right lean out by half the 60° field: normals (±cos 30°, 0, −sin 30°)
    EXPECT_NEAR(viewPlanes[0][0], 0.8660f, 1e-4);
    EXPECT_NEAR(viewPlanes[0][2], -0.5f, 1e-4);
    EXPECT_NEAR(viewPlanes[1][0], -0.8660f, 1e-4);
    EXPECT_NEAR(viewPlanes[2][1], 0.8660f, 1e-4);
    EXPECT_NEAR(viewPlanes[3][1], -0.8660f, 1e-4);

    EXPECT_FALSE(outsideView(unitAt(0, 0, 0)));
    EXPECT_TRUE(outsideView(unitAt(0, 0, 5.6f)));     // 0.7 behind the near plane
    EXPECT_TRUE(outsideView(unitAt(100, 0, 0)));      // far beyond the right plane
    EXPECT_TRUE(outsideView(unitAt(0, 0, -96)));      // beyond the far plane
}

TEST_F(CameraTest, UnitHalfAUnitBehindNearPlaneIsOutsideButNotFourTenths) {
    // Near 1 and far 3 make every number exact: the near plane is −z − 1 = 0.
    float projection[16], modelView[16];
    perspective(90, 1, 1, 3, projection);
    translation(0, 0, 0, modelView);
    setViewPlanes(projection, modelView);
    EXPECT_FLOAT_EQ(viewPlanes[4][2], -1);
    EXPECT_FLOAT_EQ(viewPlanes[4][3], -1);
    EXPECT_TRUE(outsideView(unitAt(0, 0, -0.5f)));    // exactly 0.5 behind: −0.5
    EXPECT_FALSE(outsideView(unitAt(0, 0, -0.6f)));   // 0.4 behind: −0.4
    EXPECT_FALSE(outsideView(unitAt(0, 0, -2)));
}
