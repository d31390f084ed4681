// render/skybox.cpp — the textured box of sky around the board
#include "render/skybox.h"

#include <GL/gl.h>

#include "game/battle_map.h"
#include "render/looks.h"
#include "render/sky_faces.h"
#include "rules/window_link.h"

namespace {
bool skyHeld = false;
bool heldLit = true;
GLfloat heldColour[4];
}

// No normals: the faces are lit with the white material like the rest of the frame.
void drawSkybox(float x, float y, float z, float width, float height, float length) {
    applyMaterial(whiteMaterial);
    glEnable(GL_TEXTURE_2D);
    x -= width / 2;
    y -= height / 2;
    z -= length / 2;
    float highX = x + width, highY = y + height, highZ = z + length;
    for (int face = SKY_FRONT; face <= SKY_DOWN; face++) {
        glBindTexture(GL_TEXTURE_2D, skyTexture(skyChoice, face));
        glBegin(GL_QUADS);
        for (const SkyCorner& c : SKY_FACE_CORNERS[face]) {
            glTexCoord2f(c.s, c.t);
            glVertex3f(c.highX ? highX : x, c.highY ? highY : y, c.highZ ? highZ : z);
        }
        glEnd();
    }
    glDisable(GL_TEXTURE_2D);
}

// Centred near the middle of the board and 50 units wider than the map each way,
// so that it encloses both the board and the camera.
void drawSkyboxAroundMap() {
    float middle = (mapRows + 1 + mapCols) / 4.0f;
    drawSkybox(middle + 0.5f, 0, middle, mapCols + 51.0f, 50, mapRows + 51.0f);
}

void holdSky() {
    skyHeld = true;
    heldLit = glIsEnabled(GL_LIGHTING);
    glGetFloatv(GL_CURRENT_COLOR, heldColour);
}

void drawHeldSky() {
    if (!skyHeld) return;
    skyHeld = false;
    const bool litNow = glIsEnabled(GL_LIGHTING);
    GLfloat colourNow[4];
    glGetFloatv(GL_CURRENT_COLOR, colourNow);
    setLighting(heldLit);
    glColor4fv(heldColour);
    drawSkyboxAroundMap();
    setLighting(litNow);
    glColor4fv(colourNow);
}
