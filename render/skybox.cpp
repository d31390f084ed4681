// render/skybox.cpp — the textured box of sky around the board
#include "render/skybox.h"

#include <GL/gl.h>

#include <vector>

#include "app/camera.h"
#include "app/textures.h"
#include "game/battle_map.h"
#include "render/looks.h"
#include "render/scene.h"
#include "render/sky_faces.h"
#include "rules/window_link.h"

namespace {
bool skyHeld = false;
bool heldLit = true;
GLfloat heldColour[4];

// The kept sky: drawn alone into the texture's lower left corner, with
// everything it was drawn with (its look); and the look of the frame
// before, which tells a still view from a moving one.
int keptWidth = 0, keptHeight = 0;   // the texture's, powers of two
std::vector<float> keptLook, lastLook;
bool copyHeld = false;   // this frame's sky is the kept one

struct Query {
    GLenum name;
    int count;   // values it fills in
};

constexpr Query VIEW_QUERIES[] = {
    {GL_MODELVIEW_MATRIX, 16},    {GL_PROJECTION_MATRIX, 16},      {GL_TEXTURE_MATRIX, 16},
    {GL_VIEWPORT, 4},             {GL_DEPTH_RANGE, 2},             {GL_DEPTH_FUNC, 1},
    {GL_CURRENT_NORMAL, 3},       {GL_LIGHT_MODEL_AMBIENT, 4},     {GL_LIGHT_MODEL_TWO_SIDE, 1},
    {GL_LIGHT_MODEL_LOCAL_VIEWER, 1}, {GL_LIGHT_MODEL_COLOR_CONTROL, 1}, {GL_SHADE_MODEL, 1},
    {GL_CULL_FACE_MODE, 1},       {GL_FRONT_FACE, 1},              {GL_POLYGON_MODE, 2},
    {GL_COLOR_WRITEMASK, 4},
};

constexpr Query LIGHT_QUERIES[] = {
    {GL_AMBIENT, 4},       {GL_DIFFUSE, 4},     {GL_SPECULAR, 4},
    {GL_POSITION, 4},      {GL_SPOT_DIRECTION, 3},  {GL_SPOT_EXPONENT, 1},
    {GL_SPOT_CUTOFF, 1},   {GL_CONSTANT_ATTENUATION, 1}, {GL_LINEAR_ATTENUATION, 1},
    {GL_QUADRATIC_ATTENUATION, 1},
};

constexpr GLenum LOOK_SWITCHES[] = {GL_CULL_FACE, GL_NORMALIZE, GL_RESCALE_NORMAL, GL_DITHER};

// While one of these is on the sky is not kept: their settings are not in
// its look, or (the scissor, the stencil) a frame's clears would not reach everywhere.
constexpr GLenum UNKEPT_SWITCHES[] = {
    GL_BLEND,          GL_FOG,            GL_ALPHA_TEST,     GL_COLOR_MATERIAL, GL_SCISSOR_TEST,
    GL_STENCIL_TEST,   GL_COLOR_LOGIC_OP, GL_POLYGON_STIPPLE, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T,
    GL_TEXTURE_GEN_R,  GL_TEXTURE_GEN_Q,  GL_CLIP_PLANE0,    GL_CLIP_PLANE1,    GL_CLIP_PLANE2,
    GL_CLIP_PLANE3,    GL_CLIP_PLANE4,    GL_CLIP_PLANE5,
};

// Everything the sky is drawn with: the view, the light, the held look,
// the backdrop and the box's size; empty when the sky is not to be kept.
std::vector<float> skyLook() {
    std::vector<float> look;
    for (GLenum name : UNKEPT_SWITCHES)
        if (glIsEnabled(name)) return look;
    GLboolean depthWrite = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrite);
    if (!glIsEnabled(GL_DEPTH_TEST) || !depthWrite) return look;   // the board must hide the sky

    auto fill = [&look](int count) { look.resize(look.size() + count); return &look[look.size() - count]; };
    for (const Query& query : VIEW_QUERIES) glGetFloatv(query.name, fill(query.count));
    for (GLenum name : LOOK_SWITCHES) look.push_back(glIsEnabled(name));
    glGetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, fill(1));
    for (int light = 0; light < 8; light++) {
        const bool on = glIsEnabled(GL_LIGHT0 + light);
        look.push_back(on);
        if (on)
            for (const Query& query : LIGHT_QUERIES) glGetLightfv(GL_LIGHT0 + light, query.name, fill(query.count));
    }
    look.push_back(heldLit);
    look.insert(look.end(), heldColour, heldColour + 4);
    for (int face = SKY_FRONT; face <= SKY_DOWN; face++) look.push_back(skyTexture(skyChoice, face));
    look.push_back(mapRows);
    look.push_back(mapCols);
    return look;
}

// The far walls of a large map's box lie beyond the projection's far plane
// when the eye stands near the opposite wall, and were cut off there: black.
// The sky is drawn with the far plane ten times as far, at the farthest
// depth, only where nothing is drawn yet (the board is drawn before it, or
// over it), as the kept sky is copied; the picture is otherwise the same,
// since the projection's other rows are.
void drawSkyInHeldLook() {
    const bool litNow = glIsEnabled(GL_LIGHTING);
    GLfloat colourNow[4];
    glGetFloatv(GL_CURRENT_COLOR, colourNow);
    setLighting(heldLit);
    glColor4fv(heldColour);
    glPushAttrib(GL_DEPTH_BUFFER_BIT | GL_VIEWPORT_BIT | GL_TRANSFORM_BIT);
    glDepthFunc(GL_LEQUAL);
    glDepthRange(1, 1);
    glDepthMask(GL_FALSE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    if (projection[11] == -1 && projection[15] == 0) {   // perspective: its depth rows for the farther plane
        const float n = NEAR_PLANE, f = 10 * FAR_PLANE;
        projection[10] = (f + n) / (n - f);
        projection[14] = 2 * f * n / (n - f);
        glLoadMatrixf(projection);
    }
    glMatrixMode(GL_MODELVIEW);
    drawSkyboxAroundMap();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
    setLighting(litNow);
    glColor4fv(colourNow);
}

int powerOfTwoFrom(int side) {
    int power = 1;
    while (power < side) power *= 2;
    return power;
}

// Draws the sky alone into the cleared frame, where the board then hides it
// as if it came after, and copies it into the kept texture; false, with
// nothing drawn, when the window is too large for a texture.
bool keepSky() {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    const int width = powerOfTwoFrom(windowWidth), height = powerOfTwoFrom(windowHeight);
    if (width > largest || height > largest) return false;
    drawSkyInHeldLook();
    glPushAttrib(GL_TEXTURE_BIT);
    glBindTexture(GL_TEXTURE_2D, TEX_KEPT_SKY);
    if (keptWidth != width || keptHeight != height) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        keptWidth = width;
        keptHeight = height;
    }
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, windowWidth, windowHeight);
    glPopAttrib();
    return true;
}

// The kept picture over the whole window, texel for pixel, at the farthest
// depth: only where nothing has been drawn yet, as the sky would be.
void copyKeptSky() {
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_TRANSFORM_BIT | GL_DEPTH_BUFFER_BIT | GL_VIEWPORT_BIT);
    glDepthFunc(GL_LEQUAL);
    glDepthRange(1, 1);
    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, TEX_KEPT_SKY);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    for (GLenum matrix : {GL_PROJECTION, GL_MODELVIEW, GL_TEXTURE}) {
        glMatrixMode(matrix);
        glPushMatrix();
        glLoadIdentity();
    }
    const float s = static_cast<float>(windowWidth) / keptWidth, t = static_cast<float>(windowHeight) / keptHeight;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(s, 0);
    glVertex2f(1, -1);
    glTexCoord2f(s, t);
    glVertex2f(1, 1);
    glTexCoord2f(0, t);
    glVertex2f(-1, 1);
    glEnd();
    for (GLenum matrix : {GL_PROJECTION, GL_MODELVIEW, GL_TEXTURE}) {
        glMatrixMode(matrix);
        glPopMatrix();
    }
    glPopAttrib();
}
}  // namespace

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
    copyHeld = false;
    heldLit = glIsEnabled(GL_LIGHTING);
    glGetFloatv(GL_CURRENT_COLOR, heldColour);
}

void drawHeldSky() {
    if (!skyHeld) return;
    skyHeld = false;
    if (copyHeld)
        copyKeptSky();
    else
        drawSkyInHeldLook();
}

void drawBackdrop() {
    copyHeld = false;
    if (!skyHeld) return;
    std::vector<float> look = skyLook();
    const bool still = !look.empty() && look == lastLook;
    lastLook = std::move(look);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const bool wholeWindow =
        viewport[0] == 0 && viewport[1] == 0 && viewport[2] == windowWidth && viewport[3] == windowHeight;
    copyHeld = still && wholeWindow && lastLook == keptLook;
    if (copyHeld) return;   // the board and the kept sky round it leave no pixel unpainted
    glClear(GL_COLOR_BUFFER_BIT);
    if (still && wholeWindow && keepSky()) {
        keptLook = lastLook;
        skyHeld = false;
    }
}

void forgetKeptSky() {
    keptLook.clear();
    lastLook.clear();
}
