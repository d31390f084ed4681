// tests/render/test_skybox.cpp — which picture each face of the sky shows, and where the box stands
#include <algorithm>
#include <vector>
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include "app/textures.h"
#include "game/battle_map.h"
#include "render/lighting.h"
#include "render/looks.h"
#include "render/skybox.h"
#include "tests/render/gl_harness.h"
#include "tests/support/battle.h"

namespace {

// One colour per sky image: the five backdrops, then the six face images.
constexpr PixelColour BACKDROPS[5] = {{200, 30, 30}, {30, 200, 30}, {30, 30, 200}, {200, 200, 30}, {30, 200, 200}};
constexpr PixelColour FACES[6] = {{250, 120, 10}, {10, 120, 250}, {120, 250, 10},
                                  {250, 10, 120}, {120, 10, 250}, {10, 250, 120}};

// Front is the +z face, back −z, left −x, right +x, up +y, down −y.
const struct Look { const char* face; float x, y, z, upY, upZ; } looks[6] = {
    {"front", 0, 0, 1, 1, 0}, {"back", 0, 0, -1, 1, 0}, {"left", -1, 0, 0, 1, 0},
    {"right", 1, 0, 0, 1, 0}, {"up", 0, 1, 0, 0, -1},  {"down", 0, -1, 0, 0, -1},
};

// Checks the box's centre and extents, measured in feedback mode under a
// 1/100 scale, an identity projection and a 200 × 200 viewport, so window
// coordinates turn back into world units exactly: x = wx − 100,
// y = wy − 100, z = (2 wz − 1) × 100.
void expectSkybox(float x, float y, float z, float width, float height, float length) {
    std::vector<GLfloat> buffer(4096);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glViewport(0, 0, 200, 200);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(0.01f, 0.01f, 0.01f);
    drawSkyboxAroundMap();
    int used = glRenderMode(GL_RENDER), triangles = 0;
    float low[3] = {1e9f, 1e9f, 1e9f}, high[3] = {-1e9f, -1e9f, -1e9f};
    for (int i = 0; i < used;) {
        ASSERT_EQ(buffer[i++], static_cast<GLfloat>(GL_POLYGON_TOKEN)) << "unexpected feedback token";
        int corners = static_cast<int>(buffer[i++]);
        triangles += corners - 2;   // GL may hand a quad back as two triangles
        for (int c = 0; c < corners; c++, i += 3) {
            float world[3] = {buffer[i] - 100, buffer[i + 1] - 100, (2 * buffer[i + 2] - 1) * 100};
            for (int axis = 0; axis < 3; axis++) {
                low[axis] = std::min(low[axis], world[axis]);
                high[axis] = std::max(high[axis], world[axis]);
            }
        }
    }
    EXPECT_EQ(triangles, 12) << "six quads";
    const float centre[3] = {x, y, z}, size[3] = {width, height, length};
    for (int axis = 0; axis < 3; axis++) {
        EXPECT_NEAR((low[axis] + high[axis]) / 2, centre[axis], 0.01f) << "axis " << axis;
        EXPECT_NEAR(high[axis] - low[axis], size[axis], 0.01f) << "axis " << axis;
    }
}

class SkyboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureGlWindow();
        resetBattleState();
        reloadFixtureMap();
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
        placeLights();
    }
};

}  // namespace

TEST_F(SkyboxTest, BackdropsZeroToFourShowOneImageOnEveryFaceAnyOtherChoiceTheSixFaceImages) {
    SolidTextures sky{{TEX_SKY_SAD_SEA, BACKDROPS[0]}, {TEX_SKY_MARZZ, BACKDROPS[1]},
                      {TEX_SKY_FAIRYLAND, BACKDROPS[2]}, {TEX_SKY_QUANTUM, BACKDROPS[3]},
                      {TEX_SKY_BLUE_BLOT, BACKDROPS[4]}, {TEX_SKY_FRONT, FACES[0]}, {TEX_SKY_BACK, FACES[1]},
                      {TEX_SKY_LEFT, FACES[2]}, {TEX_SKY_RIGHT, FACES[3]}, {TEX_SKY_UP, FACES[4]},
                      {TEX_SKY_DOWN, FACES[5]}};
    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
    const float middle = (mapRows + 1 + mapCols) / 4.0f, cx = middle + 0.5f, cz = middle;   // the box's centre
    for (int choice : {0, 1, 2, 3, 4, 5, 6, -1, 42}) {
        skyChoice = choice;
        for (int face = 0; face < 6; face++) {
            const Look& look = looks[face];
            clearWindow();
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            gluPerspective(90, static_cast<double>(width) / height, 0.1, 100);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            gluLookAt(cx, 0, cz, cx + look.x, look.y, cz + look.z, 0, look.upY, look.upZ);
            drawSkyboxAroundMap();
            PixelColour seen = readBackBuffer().at(width / 2, height / 2);
            PixelColour wanted = choice >= 0 && choice <= 4 ? BACKDROPS[choice] : FACES[face];
            EXPECT_TRUE(closeTo(seen, wanted))
                << "skyChoice " << choice << ", " << look.face << " face shows " << describe(seen);
        }
    }
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(SkyboxTest, BoxIsSizedAndCentredFromTheMap) {
    mapRows = 10;
    mapCols = 12;
    expectSkybox(6.25f, 0, 5.75f, 63, 50, 61);
    mapRows = 7;
    mapCols = 2;
    expectSkybox(3, 0, 2.5f, 53, 50, 58);
}

TEST_F(SkyboxTest, HeldSkyShowsTheLightAndColourTheFrameStartedWithOnceLaterInTheFrame) {
    SolidTextures sky{{TEX_SKY_SAD_SEA, {128, 128, 128}}};
    skyChoice = 0;
    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
    const float middle = (mapRows + 1 + mapCols) / 4.0f;
    // Lit, the white material shows the picture as it is; unlit (the frame after the l key), in the colour then current.
    for (bool lit : {true, false}) {
        SCOPED_TRACE(lit ? "lit" : "unlit");
        clearWindow();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(90, static_cast<double>(width) / height, 0.1, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(middle + 0.5f, 0, middle, middle + 0.5f, 0, middle + 1, 0, 1, 0);
        lit ? glEnable(GL_LIGHTING) : glDisable(GL_LIGHTING);
        glColor3f(1, 0, 0);
        holdSky();
        glEnable(GL_LIGHTING);   // as the scene leaves it
        glColor3f(0, 1, 0);
        drawHeldSky();
        const PixelColour seen = readBackBuffer().at(width / 2, height / 2);
        EXPECT_TRUE(closeTo(seen, lit ? PixelColour{128, 128, 128} : PixelColour{128, 0, 0})) << describe(seen);
        float colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING) && colour[0] == 0 && colour[1] == 1) << "the scene's state is put back";
    }
}
