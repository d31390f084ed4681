// app/pointer.cpp — picking the square under the pointer from the last frame's camera, and the
// buttons, drags and wheel as commands
#include "app/pointer.h"

#include <cmath>
#include <utility>

#include "app/camera.h"
#include "app/input.h"
#include "game/battle_map.h"
#include "game/unit.h"
#include "render/layout.h"
#include "rules/game_state.h"

namespace {

// GLUT's button numbers and states; the wheel comes as buttons 3 (toward the view) and 4.
constexpr int LEFT_BUTTON = 0, RIGHT_BUTTON = 2, WHEEL_FORWARD = 3, WHEEL_BACK = 4;
constexpr int BUTTON_DOWN = 0, BUTTON_UP = 1, POINTER_LEFT_WINDOW = 0;

constexpr int DRAG_PIXELS = 4;            // a held left button moved further than this drags
constexpr double BOARD_TOP = -0.5;        // the squares are drawn half a unit below where units stand
constexpr double UNIT_RADIUS = 0.5;       // a model fills the sphere of b round its position

bool leftHeld = false, dragging = false;
int  pressX = 0, pressY = 0, lastX = 0, lastY = 0;   // GLUT's pixels
bool inWindow = false;                               // the pointer has moved over the window and not left it

// Column-major 4 × 4 matrices, as GL keeps them.
using Matrix = double[16];

void multiply(const Matrix a, const Matrix b, Matrix product) {
    for (int c = 0; c < 4; c++)
        for (int r = 0; r < 4; r++) {
            double sum = 0;
            for (int k = 0; k < 4; k++) sum += a[4 * k + r] * b[4 * c + k];
            product[4 * c + r] = sum;
        }
}

// Gauss–Jordan elimination with the largest pivot of each column; false
// for a matrix that has no inverse (no frame drawn yet).
bool invert(const Matrix m, Matrix inverse) {
    double work[4][8];
    for (int r = 0; r < 4; r++)
        for (int c = 0; c < 4; c++) {
            work[r][c] = m[4 * c + r];
            work[r][c + 4] = r == c;
        }
    for (int c = 0; c < 4; c++) {
        int pivot = c;
        for (int r = c + 1; r < 4; r++)
            if (std::fabs(work[r][c]) > std::fabs(work[pivot][c])) pivot = r;
        if (std::fabs(work[pivot][c]) < 1e-12) return false;
        std::swap(work[c], work[pivot]);
        const double scale = work[c][c];
        for (double& v : work[c]) v /= scale;
        for (int r = 0; r < 4; r++) {
            if (r == c) continue;
            const double factor = work[r][c];
            for (int k = 0; k < 8; k++) work[r][k] -= factor * work[c][k];
        }
    }
    for (int r = 0; r < 4; r++)
        for (int c = 0; c < 4; c++) inverse[4 * c + r] = work[r][c + 4];
    return true;
}

struct Point {
    double x, y, z;
};

// The world point drawn at normalised device coordinates (x, y, depth).
Point unproject(const Matrix inverse, double x, double y, double depth) {
    double in[4] = {x, y, depth, 1}, out[4] = {};
    for (int r = 0; r < 4; r++)
        for (int k = 0; k < 4; k++) out[r] += inverse[4 * k + r] * in[k];
    return {out[0] / out[3], out[1] / out[3], out[2] / out[3]};
}

// How far along the line from `from` by `along` it first meets the unit's
// sphere; a negative number when it misses.
double meetsUnit(const Point& from, const Point& along, const Unit& unit) {
    const Point to{from.x - unit.position.x, from.y - unit.position.y, from.z - unit.position.z};
    const double a = along.x * along.x + along.y * along.y + along.z * along.z;
    const double b = 2 * (to.x * along.x + to.y * along.y + to.z * along.z);
    const double c = to.x * to.x + to.y * to.y + to.z * to.z - UNIT_RADIUS * UNIT_RADIUS;
    const double d = b * b - 4 * a * c;
    if (d < 0) return -1;
    return (-b - std::sqrt(d)) / (2 * a);
}

// What a left click at GLUT's (x, y) stands for: a button on the screen, an
// entry of the open menu (both only while no banner covers them), a square.
Command clickAt(int x, int y) {
    const int fromBottom = windowHeight - 1 - y;
    if (!bannerUp()) {
        if (int button = buttonAt(x, fromBottom, windowWidth, windowHeight))
            return {CMD_KEY, buttonPlace(button, windowWidth, windowHeight).key};
        if (selectedUnit->menuOpen)
            if (int entry = menuEntryAt(pointerToViewX(x), pointerToViewY(fromBottom))) return {CMD_CLICK_ENTRY, entry};
    }
    Command click{CMD_CLICK};
    if (!squareUnderPixel(x, y, click.row, click.col)) click.row = click.col = -1;
    return click;
}

// The pointer over a button or the open menu points at no square.
void pointAt(int x, int y) {
    const Command over = clickAt(x, y);
    const int row = over.kind == CMD_CLICK ? over.row : -1, col = row < 0 ? -1 : over.col;
    if (row != hoverRow || col != hoverCol) dispatch({CMD_POINT, 0, row, col});
}

void notePointer(int x, int y) {
    pointerX = x;
    pointerY = windowHeight - 1 - y;
}

}  // namespace

bool squareUnderPixel(int x, int y, int& row, int& col) {
    if (windowWidth <= 0 || windowHeight <= 0) return false;
    Matrix projection, modelView, camera, inverse;
    for (int i = 0; i < 16; i++) {
        projection[i] = viewProjection[i];
        modelView[i] = viewModelView[i];
    }
    multiply(projection, modelView, camera);
    if (!invert(camera, inverse)) return false;
    // The middle of the pixel, in GL's window coordinates (y up).
    const double ndcX = 2 * (x + 0.5) / windowWidth - 1;
    const double ndcY = 2 * (windowHeight - y - 0.5) / windowHeight - 1;
    const Point near = unproject(inverse, ndcX, ndcY, -1), far = unproject(inverse, ndcX, ndcY, 1);
    const Point along{far.x - near.x, far.y - near.y, far.z - near.z};

    double nearest = 2;   // beyond the far plane
    if (along.y != 0) {
        const double t = (BOARD_TOP - near.y) / along.y;
        const int r = static_cast<int>(std::floor(near.z + t * along.z)) - 1;
        const int c = static_cast<int>(std::floor(near.x + t * along.x));
        if (t >= 0 && t <= 1 && r >= 0 && r < mapRows && c >= 0 && c < mapCols) {
            nearest = t;
            row = r;
            col = c;
        }
    }
    for (const Unit* unit : allUnits) {
        if (unit->dead || !unit->visible) continue;
        const double t = meetsUnit(near, along, *unit);
        if (t >= 0 && t < nearest) {
            nearest = t;
            row = unit->row;
            col = unit->col;
        }
    }
    return nearest <= 1;
}

void onMouseButton(int button, int state, int x, int y) {
    notePointer(x, y);
    if (button == LEFT_BUTTON && state == BUTTON_DOWN) {
        leftHeld = true;
        dragging = false;
        pressX = lastX = x;
        pressY = lastY = y;
    } else if (button == LEFT_BUTTON && state == BUTTON_UP) {
        if (leftHeld && !dragging) dispatch(clickAt(pressX, pressY));
        leftHeld = dragging = false;
    } else if (button == RIGHT_BUTTON && state == BUTTON_UP) {
        dispatch({CMD_BACK});
    } else if ((button == WHEEL_FORWARD || button == WHEEL_BACK) && state == BUTTON_DOWN) {
        dispatch({CMD_ZOOM, button == WHEEL_FORWARD ? 1 : -1});
    }
}

// Once past the few pixels, the drag turns the camera by the whole way from
// the press, then by each move; GLUT's y runs down the window.
void onMouseDrag(int x, int y) {
    notePointer(x, y);
    if (!leftHeld) return;
    if (!dragging) {
        const int dx = x - pressX, dy = y - pressY;
        if (dx * dx + dy * dy <= DRAG_PIXELS * DRAG_PIXELS) return;
        dragging = true;
        lastX = pressX;
        lastY = pressY;
    }
    dispatch({CMD_TURN, 0, -1, -1, x - lastX, lastY - y});
    lastX = x;
    lastY = y;
}

void onMouseMove(int x, int y) {
    notePointer(x, y);
    inWindow = true;
    pointAt(x, y);
}

void onMouseEntry(int state) {
    if (state != POINTER_LEFT_WINDOW) return;
    inWindow = false;
    letGoOfEveryKey();
    if (hoverRow >= 0) dispatch({CMD_POINT});
}

void pointAgain() {
    if (inWindow && hoverRow >= 0 && !leftHeld) pointAt(pointerX, windowHeight - 1 - pointerY);
}

void resetPointer() {
    leftHeld = dragging = inWindow = false;
    pressX = pressY = lastX = lastY = 0;
}
