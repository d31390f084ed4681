// app/pointer.h — the mouse, turned into commands for the dispatcher (app/input.h)
//
// Moving the pointer points at a square (the hover mark; a unit in sight
// read in the status panel); a left click selects, chooses an entry, aims,
// steps or presses a button on the screen; the right button backs out as
// Home; the wheel zooms; a left drag of more than a few pixels turns the
// camera and is never taken for a click. The middle button keeps GLUT's
// menu of camera modes.
#pragma once

// GLUT's mouse callbacks, in window pixels from the top left.
void onMouseButton(int button, int state, int x, int y);
void onMouseDrag(int x, int y);    // moved with a button held
void onMouseMove(int x, int y);    // moved with no button held
void onMouseEntry(int state);      // the pointer came into the window or left it

// After each frame: the square under a pointer that points, again, since
// the camera may have moved under it.
void pointAgain();

// The square the last frame drew under window pixel (x, y) from the top
// left: the nearest unit in sight drawn there, else the board. False when
// the pixel shows neither.
bool squareUnderPixel(int x, int y, int& row, int& col);

void resetPointer();   // no button held, the pointer nowhere (a fresh start for the tests)
