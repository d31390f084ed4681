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

void releaseCameraKey(unsigned char key);   // a camera key let go: its held flag clears
void chooseCameraMode(int mode);            // the middle button's menu: Translate, Scale or Rotate
// A left drag of (dx, dy) pixels, y up the window: the free camera turns
// 45 degrees for every half window height.
void turnCamera(int dx, int dy);
void zoomCamera(int notches);               // the wheel: toward the view (positive) or back, a unit a notch
void moveHeldCamera(float seconds);         // after each update: the held camera keys move the eye
float pointerToViewX(int px);
float pointerToViewY(int py);
void resetCamera();
// c: the free camera back where the game starts it, looking as it starts;
// for player 2 the same view from the other end of the board. Any
// mode of the middle button's menu is left.
void homeCamera(int player);
void keepEyeInSky();   // the free camera stops a little inside the sky box's walls
// The free camera glides, at its height and angles, toward where it looks at
// the point, a share of the way each second; so a person watching the
// computer sees each unit act. Not in a right-button mode, nor while the view
// looks level or up.
void followWithCamera(const Vector& at, float seconds);

void aimFreeCamera(Vector& eye, Vector& centre);   // this frame's free-camera look-at; updates lookOffset
void aimCamera(Vector& eye, Vector& centre);       // free, orbit or fixed view by interactionMode; up is +y
void setViewPlanes(const float projection[16], const float modelView[16]);
void updateViewFrustum();                // reads GL's matrices; defined by the window shell
bool outsideView(const Unit& unit);
// Wholly beyond one of the view's planes: the box from low to high (world
// coordinates) cannot show. Before the first frame's planes, nothing is.
bool boxOutsideView(const Vector& low, const Vector& high);
