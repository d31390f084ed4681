// app/held_keys.cpp — X's key repeat without the releases in between
#include "app/held_keys.h"

#include <GL/glx.h>
#include <X11/XKBlib.h>

// GLUT's display connection is the one GLX works on for the current context.
void repeatHeldKeysAsPresses() {
    Display* display = glXGetCurrentDisplay();
    Bool supported = False;
    if (display) XkbSetDetectableAutoRepeat(display, True, &supported);
}
