// render/lighting.cpp — one white point light that moves with the eye
#include "render/lighting.h"

#include <GL/gl.h>

float light0Offset[2] = {1, 1};

// The position is given under an identity model-view, so the light sits at
// (x, y + 2, 1.5) in eye space whatever the camera does.
void placeLights() {
    static const GLfloat position[4] = {0, 2, 0, 1};
    static const GLfloat white[4] = {1, 1, 1, 1};
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_LIGHT1);
    glDisable(GL_LIGHT2);
    glEnable(GL_LIGHT0);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(light0Offset[0], light0Offset[1], 1.5f);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glPopMatrix();
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glEnable(GL_NORMALIZE);
    glShadeModel(GL_SMOOTH);
}
