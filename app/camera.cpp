// app/camera.cpp — view state, the camera's controls and the view volume, without any GL
#include "app/camera.h"

#include <algorithm>
#include <cmath>

#include "game/battle_map.h"
#include "game/unit.h"
#include "render/looks.h"
#include "rules/window_link.h"

int  windowWidth = 0, windowHeight = 0;
bool perspectiveView = true;
int  interactionMode = MODE_FREE;

namespace {
const Vector START_EYE(6, 10, 13);
constexpr float SKY_MARGIN = 1;   // world units between the eye and a wall of the sky box
// A drag over the full window height (2 view units) turns the view 90 degrees.
constexpr float DEGREES_PER_VIEW_UNIT = 45;
constexpr float CAMERA_SPEED = 7;   // world units a second while a camera key is held
constexpr float ZOOM_STEP = 1;      // world units a notch of the wheel
// The unit's position may lie this far beyond a plane and still be drawn.
constexpr float VIEW_MARGIN = -0.5f;
constexpr float FOLLOW_RATE = 3;   // the share of the way the following camera goes in a second, at small steps
}

Vector cameraEye = START_EYE;
float  cameraPitch = -60, cameraYaw = -90;
float  lookOffset[3] = {0, 0, CAMERA_DISTANCE};
Vector cameraMoveAxis;
bool   orbitView = false;

bool heldPlus = false, heldMinus = false, held2 = false, held4 = false, held6 = false, held8 = false;

int   pointerX = 0, pointerY = 0;
int   hoverRow = -1, hoverCol = -1;
float viewPlanes[6][4] = {};
float viewProjection[16] = {}, viewModelView[16] = {};

// The release reports the character of the moment: Shift let go before the
// key turns a held + into =, so either character of a key clears its flag
// (the shifted ones as on a US layout).
void releaseCameraKey(unsigned char key) {
    switch (key) {
        case '+': case '=': heldPlus = false; break;
        case '-': case '_': heldMinus = false; break;
        case '2': case '@': held2 = false; break;
        case '4': case '$': held4 = false; break;
        case '6': case '^': held6 = false; break;
        case '8': case '*': held8 = false; break;
        default: break;
    }
}

void chooseCameraMode(int mode) {
    if (mode == MODE_TRANSLATE || mode == MODE_SCALE || mode == MODE_ROTATE) interactionMode = mode;
}

void turnCamera(int dx, int dy) {
    if (interactionMode == MODE_FREE && windowHeight > 0) {
        orbitView = true;
        cameraYaw += dx * 2.0f / windowHeight * DEGREES_PER_VIEW_UNIT;
        cameraPitch += dy * 2.0f / windowHeight * DEGREES_PER_VIEW_UNIT;
    }
    requestRedisplay();
}

// Along the axis the + and - keys move the eye on; before the first frame
// has aimed the camera there is no axis yet.
void zoomCamera(int notches) {
    if (length(cameraMoveAxis) == 0) return;
    cameraEye -= normalize(cameraMoveAxis) * (notches * ZOOM_STEP);
    keepEyeInSky();
    requestRedisplay();
}

// The held camera keys move the eye along the view axis (8, 2: level with
// the board; +, -: straight along it) or across it (6, 4).
void moveHeldCamera(float seconds) {
    if (!(held8 || held2 || heldPlus || heldMinus || held6 || held4)) return;
    float step = seconds * CAMERA_SPEED;
    Vector axis = normalize(cameraMoveAxis);
    if (held8) {
        cameraEye.x -= axis.x * step;
        cameraEye.z -= axis.z * step;
    }
    if (held2) {
        cameraEye.x += axis.x * step;
        cameraEye.z += axis.z * step;
    }
    if (heldPlus) cameraEye -= axis * step;
    if (heldMinus) cameraEye += axis * step;
    Vector side = normalize(cross(Vector(0, 1, 0), cameraMoveAxis));
    if (held6) cameraEye += side * step;
    if (held4) cameraEye -= side * step;
    keepEyeInSky();
}

// The window height is the common scale, so x spans a wider range in a wide window.
float pointerToViewX(int px) {
    return (px + (1 - windowWidth) / 2.0f) * 2 / windowHeight;
}

float pointerToViewY(int py) {
    return (py + (1 - windowHeight) / 2.0f) * 2 / windowHeight;
}

void resetCamera() {
    orbitView = false;
    cameraYaw = -90;
    cameraPitch = -60;
    lookOffset[0] = 0;
    lookOffset[1] = 0;
    lookOffset[2] = CAMERA_DISTANCE;
}

void homeCamera(int player) {
    interactionMode = MODE_FREE;
    resetCamera();
    cameraEye = START_EYE;
    if (player == 2) {
        // Turned half round about the middle of the board.
        float middleX = mapCols / 2.0f, middleZ = 1 + mapRows / 2.0f;
        cameraEye = Vector(2 * middleX - START_EYE.x, START_EYE.y, 2 * middleZ - START_EYE.z);
        cameraYaw += 180;
    }
}

// Beyond the sky box there is nothing to see: the frame would go black.
void keepEyeInSky() {
    Vector low, high;
    skyBoxAroundMap(low, high);
    cameraEye.x = std::clamp(cameraEye.x, low.x + SKY_MARGIN, high.x - SKY_MARGIN);
    cameraEye.y = std::clamp(cameraEye.y, low.y + SKY_MARGIN, high.y - SKY_MARGIN);
    cameraEye.z = std::clamp(cameraEye.z, low.z + SKY_MARGIN, high.z - SKY_MARGIN);
}

void followWithCamera(const Vector& at, float seconds) {
    if (interactionMode != MODE_FREE) return;
    float p = degToRad(cameraPitch), y = degToRad(cameraYaw);
    Vector view(std::cos(p) * std::cos(y), std::sin(p), std::cos(p) * std::sin(y));
    if (view.y >= 0 || cameraEye.y <= at.y) return;
    float along = (cameraEye.y - at.y) / -view.y;   // from the eye down the view to the point's height
    Vector wanted(at.x - view.x * along, cameraEye.y, at.z - view.z * along);
    cameraEye += (wanted - cameraEye) * std::min(1.0f, FOLLOW_RATE * seconds);
    keepEyeInSky();
}

void aimFreeCamera(Vector& eye, Vector& centre) {
    float p = degToRad(cameraPitch);
    float y = degToRad(cameraYaw);
    lookOffset[0] = std::cos(p) * std::cos(y) * CAMERA_DISTANCE;
    lookOffset[1] = std::sin(p) * CAMERA_DISTANCE;
    lookOffset[2] = std::cos(p) * std::cos(degToRad(90) - y) * CAMERA_DISTANCE;
    Vector offset(lookOffset[0], lookOffset[1], lookOffset[2]);
    cameraMoveAxis = Vector() - offset;
    eye = cameraEye;
    centre = cameraEye + offset;
}

void aimCamera(Vector& eye, Vector& centre) {
    if (interactionMode == MODE_FREE) {
        aimFreeCamera(eye, centre);
        return;
    }
    centre = Vector();
    if (orbitView) {
        float p = degToRad(cameraPitch);
        float y = degToRad(cameraYaw);
        eye = Vector(std::cos(y) * std::cos(p) * CAMERA_DISTANCE, std::sin(p) * CAMERA_DISTANCE,
                     std::cos(degToRad(90) - y) * std::cos(p) * CAMERA_DISTANCE);
    } else {
        eye = Vector(0, 0, CAMERA_DISTANCE);
    }
}

// Matrices are GL's column-major 4 × 4: element (row r, column c) is m[4c + r].
void setViewPlanes(const float projection[16], const float modelView[16]) {
    std::copy(projection, projection + 16, viewProjection);
    std::copy(modelView, modelView + 16, viewModelView);
    float clip[16];
    for (int c = 0; c < 4; c++)
        for (int r = 0; r < 4; r++) {
            float sum = 0;
            for (int k = 0; k < 4; k++) sum += projection[4 * k + r] * modelView[4 * c + k];
            clip[4 * c + r] = sum;
        }
    auto row = [&](int k, int i) { return clip[4 * i + k]; };
    for (int plane = 0; plane < 6; plane++) {
        int axis = plane / 2;                 // left/right use row 0, bottom/top row 1, near/far row 2
        float sign = plane % 2 == 0 ? 1 : -1;
        float* p = viewPlanes[plane];
        for (int i = 0; i < 4; i++) p[i] = row(3, i) + sign * row(axis, i);
        float size = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        for (int i = 0; i < 4; i++) p[i] /= size;
    }
}

bool boxOutsideView(const Vector& low, const Vector& high) {
    for (const auto& p : viewPlanes) {
        // The corner furthest along the plane's normal: if even it is behind, all are.
        const float x = p[0] > 0 ? high.x : low.x, y = p[1] > 0 ? high.y : low.y, z = p[2] > 0 ? high.z : low.z;
        if (p[0] * x + p[1] * y + p[2] * z + p[3] < 0) return true;
    }
    return false;
}

bool outsideView(const Unit& unit) {
    const Vector& at = unit.position;
    for (const auto& p : viewPlanes)
        if (p[0] * at.x + p[1] * at.y + p[2] * at.z + p[3] <= VIEW_MARGIN) return true;
    return false;
}
