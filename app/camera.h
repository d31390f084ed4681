// app/camera.h — the window's view state: size, projection, camera, pointer, view volume
//
// Everything here but updateViewFrustum is plain arithmetic on globals, so
// the tests use it without a display.
#pragma once
#include "game/vector.h"
struct Unit;

enum InteractionMode { MODE_TRANSLATE = 1, MODE_SCALE = 2, MODE_ROTATE = 3, MODE_FREE = 10 };

extern int  windowWidth, windowHeight;   // last size given to the reshape handler
extern bool perspectiveView;             // true: perspective projection; false: orthographic
extern int  interactionMode;             // MODE_FREE until the middle button's menu picks another

constexpr float CAMERA_DISTANCE = 3;     // length of lookOffset
extern Vector cameraEye;                 // where the free camera stands
extern float  cameraPitch, cameraYaw;    // degrees
extern float  lookOffset[3];             // view direction × CAMERA_DISTANCE
extern Vector cameraMoveAxis;            // -lookOffset: the held keys move the eye along it
extern bool   orbitView;                 // a drag turned the camera: modes 1–3 orbit the origin

extern bool heldPlus, heldMinus, held2, held4, held6, held8;   // camera keys held down

extern int   pointerX, pointerY;         // last pointer position, y counted from the bottom row
extern int   hoverRow, hoverCol;         // the square the pointer points at; -1 for none, or once a key moved the cursor
extern float viewPlanes[6][4];           // left, right, bottom, top, near, far; (a, b, c) unit length
extern float viewProjection[16], viewModelView[16];   // the last frame's camera matrices, as GL had them

// What a person does to the camera stops a glide under way where it is and
// leaves the camera theirs: it stays off home, and it no longer goes back
// to the view of before the computer's turn (app/camera_follow.h).
void releaseCameraKey(unsigned char key);   // a camera key let go: its held flag clears
void chooseCameraMode(int mode);            // the middle button's menu: Translate, Scale or Rotate
// A left drag of (dx, dy) pixels, y up the window: the free camera turns
// 45 degrees for every half window height.
void turnCamera(int dx, int dy);
void zoomCamera(int notches);               // the wheel: toward the view (positive) or back, a unit a notch
void moveHeldCamera(float seconds);         // after each update: the held camera keys move the eye
extern bool cameraTakenByPerson;            // set by each of these and c , . 5; app/camera_follow.h clears it
float pointerToViewX(int px);
float pointerToViewY(int py);
void resetCamera();                         // r; a glide under way stops where it is
// The free camera, moved from `from`, stops a unit inside the sky box's
// walls, or where it stood if that was nearer (a home may stand nearer).
void keepEyeInSky(const Vector& from);

// ---- Where the free camera stands, and where it goes by itself ----

struct CameraPose {
    Vector eye;
    float  pitch = -60, yaw = -90;   // degrees
};
CameraPose cameraPose();   // cameraEye, cameraPitch, cameraYaw as they are
CameraPose cameraGoal();   // where the camera glides to, or where it stands
void glideCameraTo(const CameraPose& pose);   // leaves any mode of the middle button's menu

// Where the point shows through the free camera in a window of the given
// shape (width / height), in the overlays' view units: x from -aspect to
// aspect, y from -1 to 1. False when it lies outside the depth the
// perspective projection draws (behind the eye, say).
bool viewPoint(const CameraPose& pose, float aspect, const Vector& point, float& x, float& y);

// Home for a side on a board of rows × cols in a width × height window:
// looking across the board from behind that side's army (player 1's rows
// are the first, at small z), from inside the sky box, as close as frames
// every corner of the board inside the window and nothing of it, nor of the
// units standing on it up to their HP bars, under any box over the scene
// (render/layout.h's screenBox: the lines, the buttons, the band, the
// panels, the log and the menu), at the pitch nearest the
// start view's that can. Where no camera inside the sky box frames it (the
// 50 × 50 board in a window narrower than 5:4), the one whose corners fall
// least outside the window.
CameraPose homeView(int rows, int cols, int side, int width, int height);

// The camera as the game starts it: the eye at (6, 10, 13), the angles of
// r, free; a glide under way stops, and the camera is at nobody's home.
void startCamera();
// At home for the side at once, or at the next reshape when the window has
// no size yet. Any mode of the middle button's menu is left.
void placeCameraAtHome(int side);
// Glides home for the side. While the camera stays there (no person moved
// it), a new window size places it at its new home.
void homeCamera(int side);
void cameraWindowResized();   // after the reshape: a camera at home keeps to it

// , and .: a quarter turn round the middle of the board, the camera going
// to its left (+1) or its right (-1) and turning to keep the board in front.
void quarterTurn(int direction);
// 5: straight down over the middle of the board at the current heading, as
// low as shows the whole board clear of the boxes over the scene (at the top of the sky
// box when none does), and back to the view it left at the second press.
void toggleTopDown();
// The point inside the view, clear of the boxes over the scene, by the shortest glide at
// the camera's height and angles: nothing when it shows there already.
// Not in a mode of the middle button's menu, nor while the view looks level or up.
void bringIntoView(const Vector& point);

constexpr float GLIDE_SECONDS = 0.6f;   // how long the camera takes to glide to where it goes
extern bool cameraGliding;              // a glide is under way
// After each frame's ticks: the glide goes on by `seconds` (the battle speed's worth).
void glideCamera(float seconds);
void finishCameraGlide();               // space: the camera is where it glides to

void aimFreeCamera(Vector& eye, Vector& centre);   // this frame's free-camera look-at; updates lookOffset
void aimCamera(Vector& eye, Vector& centre);       // free, orbit or fixed view by interactionMode; up is +y
void setViewPlanes(const float projection[16], const float modelView[16]);
void updateViewFrustum();                // reads GL's matrices; defined by the window shell
bool outsideView(const Unit& unit);
// Wholly beyond one of the view's planes: the box from low to high (world
// coordinates) cannot show. Before the first frame's planes, nothing is.
bool boxOutsideView(const Vector& low, const Vector& high);
