// app/camera.cpp — view state, the camera's controls and the view volume, without any GL
#include "app/camera.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "game/battle_map.h"
#include "game/unit.h"
#include "render/layout.h"
#include "render/looks.h"
#include "render/scene.h"
#include "rules/window_link.h"

int  windowWidth = 0, windowHeight = 0;
bool perspectiveView = true;
int  interactionMode = MODE_FREE;

namespace {
const Vector START_EYE(6, 10, 13);
constexpr float SKY_MARGIN = 1;   // world units between the eye and a wall of the sky box
// Where the camera goes by itself it may stand nearer: on the widest board
// the home of a 5:4 window needs the room.
constexpr float GOAL_SKY_MARGIN = 0.25f;
// A drag over the full window height (2 view units) turns the view 90 degrees.
constexpr float DEGREES_PER_VIEW_UNIT = 45;
constexpr float CAMERA_SPEED = 7;   // world units a second while a camera key is held
constexpr float ZOOM_STEP = 1;      // world units a notch of the wheel
// The unit's position may lie this far beyond a plane and still be drawn.
constexpr float VIEW_MARGIN = -0.5f;
}

Vector cameraEye = START_EYE;
float  cameraPitch = -60, cameraYaw = -90;
float  lookOffset[3] = {0, 0, CAMERA_DISTANCE};
Vector cameraMoveAxis;
bool   orbitView = false;

bool heldPlus = false, heldMinus = false, held2 = false, held4 = false, held6 = false, held8 = false;
bool cameraTakenByPerson = false;
bool cameraGliding = false;

int   pointerX = 0, pointerY = 0;
int   hoverRow = -1, hoverCol = -1;
float viewPlanes[6][4] = {};
float viewProjection[16] = {}, viewModelView[16] = {};

namespace {

constexpr float BOARD_LEVEL = -0.5f;         // the squares are drawn half a unit below where units stand
// A unit's model and its HP bar stand up to here, and a blow's number starts here: a home
// keeps the far row's units out from under the boxes along the top of the window too.
constexpr float UNIT_MARKS_LEVEL = 0.75f;
constexpr float FIELD_TAN = 0.57735027f;   // tan 30 degrees: the perspective view's half height at depth 1
// Straight down, short of the up vector's own line, where the view would have no sides.
constexpr float TOP_DOWN_PITCH = -89;
// A home tries pitches a degree apart, from the start view's outwards
// (-60, -59, -61, -58, ...) between these; the first that frames the board is taken.
constexpr int HOME_PITCH = -60, STEEPEST_HOME = -80, FLATTEST_HOME = -20;
constexpr int HOME_LOOKS = 24;             // points along the board a home may look at, from end to end
// bringIntoView keeps a point this far inside the window's sides and the boxes' edges, in view units.
constexpr float VIEW_INSET = 0.15f;
constexpr float FRAME_INSET = 0.002f;      // a framed board keeps this far inside the window and off the boxes

// The side whose home the camera stands at or glides to; 0 once anything else moved it.
int homeSide = 0;
int homeWidth = 0, homeHeight = 0;   // the window the home was worked out for; 0 before it had a size

// A glide from one pose to another; a turn of `turn` degrees about the
// pivot carries the eye round it rather than straight across.
struct Glide {
    CameraPose from, to;
    float pivotX = 0, pivotZ = 0, turn = 0;
    float done = 0;   // share of GLIDE_SECONDS gone
} glide;

bool topDown = false;        // 5 took the camera over the board
CameraPose beforeTopDown;    // and the view it left
int homeBeforeTopDown = 0;

void takeCamera() {
    cameraGliding = false;
    homeSide = 0;
    topDown = false;
    cameraTakenByPerson = true;
}

void startAngles() {
    orbitView = false;
    cameraYaw = -90;
    cameraPitch = -60;
    lookOffset[0] = 0;
    lookOffset[1] = 0;
    lookOffset[2] = CAMERA_DISTANCE;
}

void setPose(const CameraPose& pose) {
    cameraEye = pose.eye;
    cameraPitch = pose.pitch;
    cameraYaw = pose.yaw;
}

// Into (-180, 180].
float wrapDegrees(float degrees) {
    degrees = std::fmod(degrees, 360.0f);
    if (degrees > 180) degrees -= 360;
    if (degrees <= -180) degrees += 360;
    return degrees;
}

// As the frame aims the free camera (aimFreeCamera), of unit length.
Vector viewDirection(float pitch, float yaw) {
    const float p = degToRad(pitch), y = degToRad(yaw);
    return Vector(std::cos(p) * std::cos(y), std::sin(p), std::cos(p) * std::cos(degToRad(90) - y));
}

// (x, z) about (0, 0) by a quarter turn in the sense yaw grows (+1) or the other: exact.
Vector quarterRound(const Vector& v, int direction) {
    return direction > 0 ? Vector(-v.z, v.y, v.x) : Vector(v.z, v.y, -v.x);
}

Vector boardMiddle() { return Vector(mapCols / 2.0f, BOARD_LEVEL, 1 + mapRows / 2.0f); }

// A part of the window in the overlays' view units (x from -aspect to aspect, y from -1 to 1).
struct ViewBox {
    float left, bottom, right, top;
};

// Every box over the scene (render/layout.h) in a width × height window, in
// view units: from the outer edges of its first and last pixels.
std::vector<ViewBox> boxesOverScene(int width, int height) {
    std::vector<ViewBox> boxes;
    const float unit = 2.0f / height;
    for (int part = 0; part < SCREEN_PART_COUNT; part++) {
        const ScreenBox box = screenBox(static_cast<ScreenPart>(part), width, height);
        boxes.push_back({(box.left - width / 2.0f) * unit, box.bottom * unit - 1,
                         (box.right + 1 - width / 2.0f) * unit, (box.top + 1) * unit - 1});
    }
    return boxes;
}

// A board and a window to frame it in, and where the eye may stand.
struct Framing {
    float aspect;
    Vector corners[8];   // round the board in order, then round the same at the units' marks' height
    std::vector<ViewBox> boxes;
    Vector low, high;    // the sky box less its margin
};

Framing framing(int rows, int cols, int width, int height, bool clearOfBoxes) {
    Framing f{static_cast<float>(width) / height,
              {Vector(0, BOARD_LEVEL, 1), Vector(cols, BOARD_LEVEL, 1), Vector(cols, BOARD_LEVEL, rows + 1),
               Vector(0, BOARD_LEVEL, rows + 1), Vector(0, UNIT_MARKS_LEVEL, 1), Vector(cols, UNIT_MARKS_LEVEL, 1),
               Vector(cols, UNIT_MARKS_LEVEL, rows + 1), Vector(0, UNIT_MARKS_LEVEL, rows + 1)},
              clearOfBoxes ? boxesOverScene(width, height) : std::vector<ViewBox>(), Vector(), Vector()};
    skyBoxAround(rows, cols, f.low, f.high);
    f.low += Vector(GOAL_SKY_MARGIN, GOAL_SKY_MARGIN, GOAL_SKY_MARGIN);
    f.high -= Vector(GOAL_SKY_MARGIN, GOAL_SKY_MARGIN, GOAL_SKY_MARGIN);
    return f;
}

// The segment from (x0, y0) to (x1, y1) passes through the inside of the box (Liang and Barsky's clipping).
bool crossesBox(float x0, float y0, float x1, float y1, const ViewBox& box) {
    float enter = 0, leave = 1;
    const float p[4] = {-(x1 - x0), x1 - x0, -(y1 - y0), y1 - y0};
    const float q[4] = {x0 - box.left, box.right - x0, y0 - box.bottom, box.top - y0};
    for (int k = 0; k < 4; k++) {
        if (p[k] == 0) {
            if (q[k] <= 0) return false;
            continue;
        }
        const float r = q[k] / p[k];
        if (p[k] < 0) enter = std::max(enter, r);
        else leave = std::min(leave, r);
    }
    return enter < leave;
}

bool insideQuad(const float xs[4], const float ys[4], float x, float y) {
    int sides = 0;
    for (int k = 0; k < 4; k++) {
        const int n = (k + 1) % 4;
        const float across = (xs[n] - xs[k]) * (y - ys[k]) - (ys[n] - ys[k]) * (x - xs[k]);
        sides += across > 0 ? 1 : across < 0 ? -1 : 0;
    }
    return sides == 4 || sides == -4;
}

// Every corner of the board inside the window, and nothing of it under a
// box; nothing of the board raised to the units' marks under a box either
// (in the tightest windows the marks of a far corner's unit may pass the
// window's side by a few pixels).
bool frames(const CameraPose& pose, const Framing& f) {
    for (int quad = 0; quad < 8; quad += 4) {
        float xs[4], ys[4];
        for (int k = 0; k < 4; k++)
            if (!viewPoint(pose, f.aspect, f.corners[quad + k], xs[k], ys[k]) ||
                (quad == 0 && std::fabs(xs[k]) > f.aspect - FRAME_INSET) || std::fabs(ys[k]) > 1 - FRAME_INSET)
                return false;
        for (const ViewBox& clear : f.boxes) {
            const ViewBox box = {clear.left - FRAME_INSET, clear.bottom - FRAME_INSET, clear.right + FRAME_INSET,
                                 clear.top + FRAME_INSET};
            for (int k = 0; k < 4; k++)
                if (crossesBox(xs[k], ys[k], xs[(k + 1) % 4], ys[(k + 1) % 4], box)) return false;
            if (insideQuad(xs, ys, (box.left + box.right) / 2, (box.bottom + box.top) / 2)) return false;
        }
    }
    return true;
}

// How far the corners lie outside the window at most, in view units.
float overshoot(const CameraPose& pose, const Framing& f) {
    float most = 0;
    for (const Vector& corner : f.corners) {
        float x, y;
        if (!viewPoint(pose, f.aspect, corner, x, y)) return 1e9f;
        most = std::max({most, std::fabs(x) - f.aspect, std::fabs(y) - 1});
    }
    return most;
}

// How far back from `at` against the view the eye may go and stay in the sky box.
float furthestBack(const Vector& at, const Vector& view, const Framing& f) {
    float most = 1e9f;
    const float a[3] = {at.x, at.y, at.z}, v[3] = {view.x, view.y, view.z};
    const float low[3] = {f.low.x, f.low.y, f.low.z}, high[3] = {f.high.x, f.high.y, f.high.z};
    for (int k = 0; k < 3; k++) {
        if (v[k] > 0) most = std::min(most, (a[k] - low[k]) / v[k]);
        if (v[k] < 0) most = std::min(most, (a[k] - high[k]) / v[k]);
    }
    return std::max(most, 0.0f);
}

CameraPose backFrom(const Vector& at, float pitch, float yaw, float back) {
    return {at - viewDirection(pitch, yaw) * back, pitch, yaw};
}

// The eye nearest `at`, on the line back against the view, that frames the
// board from inside the sky box; false when none does. Going back shrinks
// the board towards the middle of the view, out of the boxes, which lie
// against the window's edges: the first that frames it is found by halving.
bool nearestFraming(const Vector& at, float pitch, float yaw, const Framing& f, float& back) {
    float far = furthestBack(at, viewDirection(pitch, yaw), f), near = 0;
    if (!frames(backFrom(at, pitch, yaw, far), f)) return false;
    for (int k = 0; k < 40; k++) {
        const float middle = (near + far) / 2;
        (frames(backFrom(at, pitch, yaw, middle), f) ? far : near) = middle;
    }
    back = far;
    return true;
}

void startGlide(const CameraPose& to, const Vector& pivot = Vector(), float turn = 0) {
    interactionMode = MODE_FREE;
    glide.from = cameraPose();
    glide.to = to;
    glide.to.yaw = glide.from.yaw + wrapDegrees(to.yaw - glide.from.yaw);
    glide.pivotX = pivot.x;
    glide.pivotZ = pivot.z;
    glide.turn = turn;
    glide.done = 0;
    cameraGliding = true;
}


CameraPose homeViewNow(int side) {
    homeWidth = windowWidth;
    homeHeight = windowHeight;
    return homeView(mapRows, mapCols, side, windowWidth, windowHeight);
}

void keepInSky(Vector& eye) {
    Vector low, high;
    skyBoxAroundMap(low, high);
    eye.x = std::clamp(eye.x, low.x + GOAL_SKY_MARGIN, high.x - GOAL_SKY_MARGIN);
    eye.y = std::clamp(eye.y, low.y + GOAL_SKY_MARGIN, high.y - GOAL_SKY_MARGIN);
    eye.z = std::clamp(eye.z, low.z + GOAL_SKY_MARGIN, high.z - GOAL_SKY_MARGIN);
}

}  // namespace

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
    if (mode == MODE_TRANSLATE || mode == MODE_SCALE || mode == MODE_ROTATE) {
        takeCamera();
        interactionMode = mode;
    }
}

void turnCamera(int dx, int dy) {
    if (interactionMode == MODE_FREE && windowHeight > 0) {
        takeCamera();
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
    takeCamera();
    const Vector from = cameraEye;
    cameraEye -= normalize(cameraMoveAxis) * (notches * ZOOM_STEP);
    keepEyeInSky(from);
    requestRedisplay();
}

// The held camera keys move the eye along the view axis (8, 2: level with
// the board; +, -: straight along it) or across it (6, 4).
void moveHeldCamera(float seconds) {
    if (!(held8 || held2 || heldPlus || heldMinus || held6 || held4)) return;
    takeCamera();
    const Vector from = cameraEye;
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
    keepEyeInSky(from);
}

// The window height is the common scale, so x spans a wider range in a wide window.
float pointerToViewX(int px) {
    return (px + (1 - windowWidth) / 2.0f) * 2 / windowHeight;
}

float pointerToViewY(int py) {
    return (py + (1 - windowHeight) / 2.0f) * 2 / windowHeight;
}

void resetCamera() {
    takeCamera();
    startAngles();
}

CameraPose cameraPose() { return {cameraEye, cameraPitch, cameraYaw}; }

CameraPose cameraGoal() { return cameraGliding ? glide.to : cameraPose(); }

void glideCameraTo(const CameraPose& pose) {
    topDown = false;
    homeSide = 0;
    startGlide(pose);
}

// As gluLookAt and gluPerspective would put it: the view's side is
// view × up, its up side × view; a depth of 1 shows FIELD_TAN either way
// up and down.
bool viewPoint(const CameraPose& pose, float aspect, const Vector& point, float& x, float& y) {
    const Vector view = viewDirection(pose.pitch, pose.yaw);
    const Vector side = normalize(cross(view, Vector(0, 1, 0)));
    const Vector up = cross(side, view);
    const Vector to = point - pose.eye;
    const float depth = dot(to, view);
    if (depth <= NEAR_PLANE || depth >= FAR_PLANE || aspect <= 0) return false;
    x = dot(to, side) / (depth * FIELD_TAN);
    y = dot(to, up) / (depth * FIELD_TAN);
    return true;
}

CameraPose homeView(int rows, int cols, int side, int width, int height) {
    const Framing f = framing(rows, cols, width, height, true);
    const float yaw = side == 1 ? 90 : -90;
    auto lookAt = [&](int k) {
        return Vector(cols / 2.0f, BOARD_LEVEL, 1 + rows * static_cast<float>(k) / HOME_LOOKS);
    };
    std::vector<float> pitches{HOME_PITCH};
    for (int away = 1; HOME_PITCH + away <= FLATTEST_HOME || HOME_PITCH - away >= STEEPEST_HOME; away++) {
        if (HOME_PITCH + away <= FLATTEST_HOME) pitches.push_back(HOME_PITCH + away);
        if (HOME_PITCH - away >= STEEPEST_HOME) pitches.push_back(HOME_PITCH - away);
    }
    for (float pitch : pitches) {
        float nearest = 1e9f;
        CameraPose found;
        for (int k = 0; k <= HOME_LOOKS; k++) {
            float back;
            if (nearestFraming(lookAt(k), pitch, yaw, f, back) && back < nearest) {
                nearest = back;
                found = backFrom(lookAt(k), pitch, yaw, back);
            }
        }
        if (nearest < 1e9f) return found;
    }
    // None frames it: the one whose corners fall least outside the window.
    CameraPose least;
    float leastOut = 1e9f;
    for (float pitch : pitches)
        for (int k = 0; k <= HOME_LOOKS; k++) {
            const Vector at = lookAt(k);
            const CameraPose pose = backFrom(at, pitch, yaw, furthestBack(at, viewDirection(pitch, yaw), f));
            const float out = overshoot(pose, f);
            if (out < leastOut) {
                leastOut = out;
                least = pose;
            }
        }
    return least;
}

void startCamera() {
    cameraGliding = topDown = false;
    homeSide = 0;
    interactionMode = MODE_FREE;
    startAngles();
    cameraEye = START_EYE;
}

void placeCameraAtHome(int side) {
    cameraGliding = topDown = false;
    interactionMode = MODE_FREE;
    orbitView = false;
    homeSide = side;
    homeWidth = homeHeight = 0;
    if (windowWidth > 0 && windowHeight > 0) setPose(homeViewNow(side));
}

void homeCamera(int side) {
    if (windowWidth <= 0 || windowHeight <= 0) {
        placeCameraAtHome(side);
        return;
    }
    topDown = false;
    orbitView = false;
    startGlide(homeViewNow(side));
    homeSide = side;
}

// The frame reapplies the projection through the reshape twice a frame: only a new size moves the camera.
void cameraWindowResized() {
    if (homeSide && windowWidth > 0 && windowHeight > 0 && (windowWidth != homeWidth || windowHeight != homeHeight))
        placeCameraAtHome(homeSide);
}

void quarterTurn(int direction) {
    const Vector pivot = boardMiddle();
    auto turned = [&](const CameraPose& pose) {
        CameraPose to = pose;
        to.eye = pivot + quarterRound(pose.eye - pivot, direction);
        to.eye.y = pose.eye.y;
        keepInSky(to.eye);
        to.yaw = wrapDegrees(pose.yaw + 90.0f * direction);
        return to;
    };
    if (topDown) beforeTopDown = turned(beforeTopDown);
    const CameraPose to = turned(cameraGoal());
    homeSide = 0;
    startGlide(to, pivot, wrapDegrees(to.yaw - cameraYaw));
}

void toggleTopDown() {
    if (topDown) {
        topDown = false;
        startGlide(beforeTopDown);
        homeSide = homeBeforeTopDown;
        return;
    }
    beforeTopDown = cameraGoal();
    homeBeforeTopDown = homeSide;
    const bool sized = windowWidth > 0 && windowHeight > 0;
    const Framing f = framing(mapRows, mapCols, std::max(windowWidth, 1), std::max(windowHeight, 1), false);
    const Framing clear = framing(mapRows, mapCols, std::max(windowWidth, 1), std::max(windowHeight, 1), sized);
    const float yaw = beforeTopDown.yaw;
    float back;
    if (!nearestFraming(boardMiddle(), TOP_DOWN_PITCH, yaw, clear, back))
        back = furthestBack(boardMiddle(), viewDirection(TOP_DOWN_PITCH, yaw), f);
    startGlide(backFrom(boardMiddle(), TOP_DOWN_PITCH, yaw, back));
    topDown = true;
    homeSide = 0;
}

void bringIntoView(const Vector& point) {
    if (interactionMode != MODE_FREE || windowWidth <= 0 || windowHeight <= 0) return;
    const CameraPose from = cameraGoal();
    const float aspect = static_cast<float>(windowWidth) / windowHeight;
    // Between the boxes along the bottom of the window and those along its top.
    float bottom = -1, top = 1;
    for (const ViewBox& box : boxesOverScene(windowWidth, windowHeight)) {
        if (box.bottom + box.top < 0) bottom = std::max(bottom, box.top);
        else top = std::min(top, box.bottom);
    }
    const float left = -aspect + VIEW_INSET, right = aspect - VIEW_INSET;
    bottom += VIEW_INSET;
    top -= VIEW_INSET;
    float x = 0, y = 0;
    if (viewPoint(from, aspect, point, x, y)) {
        if (x >= left && x <= right && y >= bottom && y <= top) return;
        x = std::clamp(x, left, right);
        y = std::clamp(y, bottom, top);
    } else {
        x = y = 0;
    }
    // The pixel (x, y) looks along this line; the eye moves level by as much
    // as puts the point where the line meets its height.
    const Vector view = viewDirection(from.pitch, from.yaw);
    const Vector side = normalize(cross(view, Vector(0, 1, 0)));
    const Vector along = view + side * (x * FIELD_TAN) + cross(side, view) * (y * FIELD_TAN);
    if (along.y >= 0 || from.eye.y <= point.y) return;
    const Vector meets = from.eye + along * ((point.y - from.eye.y) / along.y);
    CameraPose to = from;
    to.eye += point - meets;
    to.eye.y = from.eye.y;
    keepInSky(to.eye);
    homeSide = 0;
    startGlide(to);
}

// Eased at both ends. A turn carries the eye round the pivot by the share
// of the turn, and straight towards where the turn ends short of (the sky
// box held it back) by the same share.
void glideCamera(float seconds) {
    if (!cameraGliding) return;
    glide.done += seconds / GLIDE_SECONDS;
    if (glide.done >= 1) {
        finishCameraGlide();
        return;
    }
    const float s = glide.done * glide.done * (3 - 2 * glide.done);
    const CameraPose& from = glide.from;
    const CameraPose& to = glide.to;
    Vector eye = from.eye + (to.eye - from.eye) * s;
    if (glide.turn != 0) {
        auto round = [&](float degrees) {
            const float a = degToRad(degrees), x = from.eye.x - glide.pivotX, z = from.eye.z - glide.pivotZ;
            return Vector(glide.pivotX + x * std::cos(a) - z * std::sin(a), from.eye.y,
                          glide.pivotZ + x * std::sin(a) + z * std::cos(a));
        };
        const Vector whole = round(glide.turn);
        eye = round(glide.turn * s) + (to.eye - whole) * s;
        eye.y = from.eye.y + (to.eye.y - from.eye.y) * s;
    }
    setPose({eye, from.pitch + (to.pitch - from.pitch) * s, from.yaw + (to.yaw - from.yaw) * s});
}

void finishCameraGlide() {
    if (!cameraGliding) return;
    setPose(glide.to);
    cameraYaw = wrapDegrees(cameraYaw);
    cameraGliding = false;
}

// Beyond the sky box there is nothing to see: the frame would go black.
void keepEyeInSky(const Vector& from) {
    Vector low, high;
    skyBoxAroundMap(low, high);
    auto keep = [](float at, float was, float least, float most) {
        return std::clamp(at, std::min(least + SKY_MARGIN, was), std::max(most - SKY_MARGIN, was));
    };
    cameraEye.x = keep(cameraEye.x, from.x, low.x, high.x);
    cameraEye.y = keep(cameraEye.y, from.y, low.y, high.y);
    cameraEye.z = keep(cameraEye.z, from.z, low.z, high.z);
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
