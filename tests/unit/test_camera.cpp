// tests/unit/test_camera.cpp — drags, the wheel, menu modes, held keys, the camera's aim and the view volume
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/camera.h"
#include "app/input.h"
#include "app/pointer.h"
#include "game/battle_map.h"
#include "render/layout.h"
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

// Where GL draws the point with the free camera at the pose, in the overlays'
// view units: the frame's own aim, then gluLookAt's and gluPerspective's
// arithmetic (60 degrees high), in double precision.
bool drawnAt(const CameraPose& pose, const Vector& point, double& x, double& y) {
    cameraEye = pose.eye;
    cameraPitch = pose.pitch;
    cameraYaw = pose.yaw;
    interactionMode = MODE_FREE;
    Vector eye, centre;
    aimCamera(eye, centre);
    const double f[3] = {centre.x - eye.x, centre.y - eye.y, centre.z - eye.z};
    const double fl = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    const double v[3] = {f[0] / fl, f[1] / fl, f[2] / fl};
    double s[3] = {-v[2], 0, v[0]};   // v × (0, 1, 0)
    const double sl = std::sqrt(s[0] * s[0] + s[2] * s[2]);
    s[0] /= sl;
    s[2] /= sl;
    const double u[3] = {s[1] * v[2] - s[2] * v[1], s[2] * v[0] - s[0] * v[2], s[0] * v[1] - s[1] * v[0]};
    const double d[3] = {point.x - eye.x, point.y - eye.y, point.z - eye.z};
    const double depth = d[0] * v[0] + d[1] * v[1] + d[2] * v[2];
    const double cot = 1 / std::tan(3.14159265358979 / 6);
    x = (d[0] * s[0] + d[1] * s[1] + d[2] * s[2]) / depth * cot;
    y = (d[0] * u[0] + d[1] * u[1] + d[2] * u[2]) / depth * cot;
    return depth > 0.1 && depth < 100;
}

// The quad (window pixels, in order round it) and the box (its pixels, inclusive) overlap:
// no line along a side of either parts them.
bool quadMeetsBox(const double xs[4], const double ys[4], const ScreenBox& box) {
    const double left = box.left, right = box.right + 1, bottom = box.bottom, top = box.top + 1;
    if (*std::max_element(xs, xs + 4) <= left || *std::min_element(xs, xs + 4) >= right ||
        *std::max_element(ys, ys + 4) <= bottom || *std::min_element(ys, ys + 4) >= top)
        return false;
    for (int k = 0; k < 4; k++) {
        const double nx = ys[(k + 1) % 4] - ys[k], ny = xs[k] - xs[(k + 1) % 4];
        auto along = [&](double x, double y) { return nx * (x - xs[k]) + ny * (y - ys[k]); };
        const double quad = along(xs[(k + 2) % 4], ys[(k + 2) % 4]);
        bool parted = true;
        for (double x : {left, right})
            for (double y : {bottom, top}) parted = parted && along(x, y) * quad <= 0;
        if (parted) return false;
    }
    return true;
}

// Every bundled map, in windows from 640 × 480 to 1920 × 1080, a tall one
// and a low wide one, for both sides: home looks across the board with the
// side's army nearest, every corner of the board in the window, nothing of
// the board nor of the units on it up to their HP bars under any box over
// the scene (render/layout.h: the lines, the buttons, the band, the status
// panel and its name, the odds panel, the log, the menu), the eye inside the
// sky box. No camera in the sky box
// frames the 50-column board in a window narrower than 5:4: there the
// side's army is nearest and in the window.
TEST_F(CameraTest, HomeFramesEveryBundledMapFromBehindTheSidesArmy) {
    const struct { int width, height; } windows[] = {{640, 480},   {800, 600},   {1280, 1024},
                                                     {1920, 1080}, {1024, 1280}, {1280, 560}};
    int maps = 0;
    for (const auto& entry : std::filesystem::directory_iterator(RUN_DIR "/maps")) {
        FILE* file = std::fopen(entry.path().c_str(), "r");
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(measureMap(file), MAP_OK) << entry.path();
        std::fclose(file);
        maps++;
        for (const auto& window : windows)
            for (int side : {1, 2}) {
                SCOPED_TRACE(entry.path().filename().string() + " " + std::to_string(window.width) + "x" +
                             std::to_string(window.height) + " player " + std::to_string(side));
                const double aspect = static_cast<double>(window.width) / window.height;
                const CameraPose home = homeView(mapRows, mapCols, side, window.width, window.height);
                const bool framed = mapCols < 50 || aspect >= 1.25;
                // The board, and the same raised to the top of the units' HP bars (which may pass
                // the window's sides a little).
                for (float level : {-0.5f, 0.75f}) {
                    const Vector corners[4] = {Vector(0, level, 1), Vector(mapCols, level, 1),
                                               Vector(mapCols, level, mapRows + 1), Vector(0, level, mapRows + 1)};
                    double xs[4], ys[4];
                    for (int k = 0; k < 4 && framed; k++) {
                        ASSERT_TRUE(drawnAt(home, corners[k], xs[k], ys[k])) << "corner " << k;
                        xs[k] = (xs[k] + aspect) * window.height / 2;
                        ys[k] = (ys[k] + 1) * window.height / 2;
                        EXPECT_TRUE((level > 0 || (xs[k] >= 0 && xs[k] <= window.width)) && ys[k] >= 0 &&
                                    ys[k] <= window.height)
                            << "corner " << k << " at " << xs[k] << ", " << ys[k] << " at the level " << level;
                    }
                    for (int part = 0; part < SCREEN_PART_COUNT && framed; part++)
                        EXPECT_FALSE(quadMeetsBox(xs, ys, screenBox(static_cast<ScreenPart>(part), window.width,
                                                                    window.height)))
                            << "the board under part " << part << " at the level " << level;
                }
                // The middle of each army's home rows: the side's own lower on the screen.
                double ownX, ownY, enemyX, enemyY;
                const float ownRow = side == 1 ? 2.5f : mapRows - 0.5f, enemyRow = side == 1 ? mapRows - 0.5f : 2.5f;
                ASSERT_TRUE(drawnAt(home, Vector(mapCols / 2.0f, 0, ownRow), ownX, ownY));
                ASSERT_TRUE(drawnAt(home, Vector(mapCols / 2.0f, 0, enemyRow), enemyX, enemyY));
                EXPECT_LT(ownY, enemyY - 0.2);
                EXPECT_TRUE(std::fabs(ownX) < aspect && std::fabs(ownY) < 1);
                Vector low, high;
                skyBoxAround(mapRows, mapCols, low, high);
                EXPECT_TRUE(home.eye.x > low.x && home.eye.y > low.y && home.eye.z > low.z && home.eye.x < high.x &&
                            home.eye.y < high.y && home.eye.z < high.z);
            }
    }
    EXPECT_EQ(maps, 7);
}

// From home on a 16 × 12 board: each , takes the camera a quarter round the
// middle of the board, to its left (past the middle on the way too), at its
// height and distance, turning to keep the board ahead; four bring it back
// where it was, and . takes back a ,. 5 looks straight down on the whole
// board and 5 again goes back to the view it left.
TEST_F(CameraTest, QuarterTurnsGoRoundTheBoardAndFiveLooksStraightDownAndBack) {
    loadUniformMap(12, 16, 1);
    windowWidth = 800;
    windowHeight = 600;
    placeCameraAtHome(1);
    const CameraPose home = cameraPose();
    auto around = [](const Vector& eye) { return std::hypot(eye.x - 8, eye.z - 7); };
    auto settle = [] {
        for (int frame = 0; frame < 40; frame++) glideCamera(1 / 60.0f);
    };
    const float atHome = around(home.eye);
    const struct { char key; float eyeX, eyeZ, yaw; } turns[] = {
        // key   the eye's side of the middle      heading
        {',', 8 + atHome, 7, 180},
        {',', 8, 7 + atHome, -90},
        {'.', 8 + atHome, 7, 180},
        {',', 8, 7 + atHome, -90},
        {',', 8 - atHome, 7, 0},
        {',', home.eye.x, home.eye.z, 90},
    };
    for (const auto& turn : turns) {
        SCOPED_TRACE(std::string(1, turn.key) + " to " + std::to_string(turn.yaw));
        dispatch({CMD_KEY, turn.key});
        glideCamera(GLIDE_SECONDS / 2);
        EXPECT_NEAR(around(cameraEye), atHome, 1e-3) << "halfway";
        settle();
        EXPECT_FALSE(cameraGliding);
        EXPECT_NEAR(cameraEye.x, turn.eyeX, 1e-3);
        EXPECT_NEAR(cameraEye.z, turn.eyeZ, 1e-3);
        EXPECT_EQ(cameraEye.y, home.eye.y);
        EXPECT_EQ(cameraPitch, home.pitch);
        EXPECT_EQ(cameraYaw, turn.yaw);
    }
    const CameraPose left = cameraPose();
    dispatch({CMD_KEY, '5'});
    settle();
    EXPECT_EQ(cameraPitch, -89);
    EXPECT_EQ(cameraYaw, home.yaw);
    double x, y;
    for (const Vector& corner :
         {Vector(0, -0.5f, 1), Vector(16, -0.5f, 1), Vector(16, -0.5f, 13), Vector(0, -0.5f, 13)}) {
        ASSERT_TRUE(drawnAt(cameraPose(), corner, x, y));
        EXPECT_TRUE(std::fabs(x) < 800.0 / 600 && std::fabs(y) < 1) << x << ", " << y;
    }
    dispatch({CMD_KEY_UP, '5'});
    dispatch({CMD_KEY, '5'});
    settle();
    EXPECT_TRUE(cameraEye.x == left.eye.x && cameraEye.y == left.eye.y && cameraEye.z == left.eye.z);
    EXPECT_TRUE(cameraPitch == left.pitch && cameraYaw == left.yaw);
}

// A point out of view comes into it by the shortest glide level with the
// board, at the camera's height and angles, at any frame rate: to the edge
// of the part of the window clear of the panels it lay beyond, not to the
// middle; a point behind the eye to the middle. One in view moves nothing.
TEST_F(CameraTest, BringingAPointIntoViewMovesTheCameraOnlyAsFarAsThat) {
    loadUniformMap(30, 30, 1);
    windowWidth = 800;
    windowHeight = 600;
    const CameraPose close = {Vector(15, 6, 10), -50, 90};
    const struct { const char* what; Vector point; double x, y; } points[] = {
        // what                   point                     where it shows after (nan: anywhere in view)
        {"in view",               Vector(15, 0, 16),        NAN, NAN},
        {"far off to the left",   Vector(29, 0, 16),        -(800.0 / 600 - 0.15), NAN},
        {"far off to the right",  Vector(1, 0, 16),         800.0 / 600 - 0.15, NAN},
        {"far beyond",            Vector(15, 0, 30),        NAN, -1},
        {"behind the eye",        Vector(15, 0, 2),         0, 0},
    };
    // Above the panels at the bottom, below the band under the buttons.
    int panelsTop = 0;
    for (ScreenPart panel : {PART_STATUS_PANEL, PART_STATUS_NAME, PART_LOG_PANEL, PART_MENU})
        panelsTop = std::max(panelsTop, screenBox(panel, 800, 600).top + 1);
    const double bottom = panelsTop / 300.0 - 1 + 0.15, top = screenBox(PART_HINT_BAND, 800, 600).bottom / 300.0 - 1 - 0.15;
    for (const auto& p : points)
        for (int fps : {20, 60, 144}) {
            SCOPED_TRACE(std::string(p.what) + " at " + std::to_string(fps));
            cameraEye = close.eye;
            cameraPitch = close.pitch;
            cameraYaw = close.yaw;
            bringIntoView(p.point);
            EXPECT_EQ(cameraGliding, !std::isnan(p.x) || !std::isnan(p.y));
            for (int frame = 0; frame < fps; frame++) glideCamera(1.0f / fps);
            EXPECT_TRUE(cameraEye.y == close.eye.y && cameraPitch == close.pitch && cameraYaw == close.yaw);
            double x, y;
            ASSERT_TRUE(drawnAt(cameraPose(), p.point, x, y));
            EXPECT_TRUE(x > -800.0 / 600 + 0.14 && x < 800.0 / 600 - 0.14 && y > bottom - 0.01 && y < top + 0.01)
                << x << ", " << y;
            if (!std::isnan(p.x)) {
                EXPECT_NEAR(x, p.x, 0.01);
            }
            if (p.y == -1) {
                EXPECT_NEAR(y, top, 0.01);
            }
            if (p.y == 0) {
                EXPECT_NEAR(y, 0, 0.01);
            }
        }
}
