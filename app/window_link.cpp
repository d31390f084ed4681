// app/window_link.cpp — what the rules may ask of the window, done with GLUT and GL
#include "rules/window_link.h"

#include <GL/gl.h>
#include <GL/freeglut.h>

#include "app/camera.h"
#include "app/window.h"
#include "render/looks.h"

// A server runs the battle without a window, and so without GLUT.
void requestRedisplay() {
    if (glutGet(GLUT_INIT_STATE)) glutPostRedisplay();
}

void reapplyProjection() {
    onReshape(windowWidth, windowHeight);
}

void setLighting(bool on) {
    if (on)
        glEnable(GL_LIGHTING);
    else
        glDisable(GL_LIGHTING);
}

// Back faces keep GL's default material.
void applyMaterial(const MaterialPreset& preset) {
    glMaterialfv(GL_FRONT, GL_AMBIENT, preset.ambient);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, preset.diffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, preset.specular);
    glMaterialfv(GL_FRONT, GL_SHININESS, &preset.shininess);
}
