// render/skybox.cpp — the textured box of sky around the board
#include "render/skybox.h"

#include <GL/gl.h>

#include "game/battle_map.h"
#include "render/looks.h"
#include "rules/window_link.h"

namespace {
enum Face { FRONT, BACK, LEFT, RIGHT, UP, DOWN };

struct Corner {
    float s, t;       // texture coordinate
    bool  highX, highY, highZ;
};

// Each face's four corners in drawing order, as (s, t) and which end of each axis.
const Corner faces[6][4] = {
    {{1, 0, false, false, true}, {1, 1, false, true, true}, {0, 1, true, true, true}, {0, 0, true, false, true}},
    {{1, 0, true, false, false}, {1, 1, true, true, false}, {0, 1, false, true, false}, {0, 0, false, false, false}},
    {{1, 1, false, true, false}, {0, 1, false, true, true}, {0, 0, false, false, true}, {1, 0, false, false, false}},
    {{0, 0, true, false, false}, {1, 0, true, false, true}, {1, 1, true, true, true}, {0, 1, true, true, false}},
    {{0, 0, true, true, false}, {1, 0, true, true, true}, {1, 1, false, true, true}, {0, 1, false, true, false}},
    {{0, 0, false, false, false}, {1, 0, false, false, true}, {1, 1, true, false, true}, {0, 1, true, false, false}},
};

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
    for (int face = FRONT; face <= DOWN; face++) {
        glBindTexture(GL_TEXTURE_2D, skyTexture(skyChoice, face));
        glBegin(GL_QUADS);
        for (const Corner& c : faces[face]) {
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
