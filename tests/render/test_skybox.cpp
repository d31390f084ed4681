// tests/render/test_skybox.cpp — which picture each face of the sky shows, and where the box stands
#include <algorithm>
#include <cmath>
#include <memory>
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
constexpr PixelColour SAD_SEA{200, 30, 30}, MARZZ{30, 200, 30}, FAIRYLAND{30, 30, 200}, QUANTUM{200, 200, 30},
    BLUE_BLOT{30, 200, 200};
constexpr PixelColour FACE_COLOURS[6] = {{250, 120, 10}, {10, 120, 250}, {120, 250, 10},
                                         {250, 10, 120}, {120, 10, 250}, {10, 250, 120}};

struct Look {
    const char* face;
    float x, y, z;          // direction from the box's centre
    float upX, upY, upZ;
};
// Front is the +z face, back −z, left −x, right +x, up +y, down −y.
const Look looks[6] = {
    {"front", 0, 0, 1, 0, 1, 0},  {"back", 0, 0, -1, 0, 1, 0}, {"left", -1, 0, 0, 0, 1, 0},
    {"right", 1, 0, 0, 0, 1, 0},  {"up", 0, 1, 0, 0, 0, -1},  {"down", 0, -1, 0, 0, 0, -1},
};

struct Box {
    float low[3] = {1e9f, 1e9f, 1e9f};
    float high[3] = {-1e9f, -1e9f, -1e9f};
    int triangles = 0;
};

// Draws the box in feedback mode under a 1/100 scale and an identity
// projection, with a 200 × 200 viewport, so window coordinates turn back
// into world units exactly: x = wx − 100, y = wy − 100, z = (2 wz − 1) × 100.
Box measureSkybox() {
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
    int used = glRenderMode(GL_RENDER);
    Box box;
    for (int i = 0; i < used;) {
        GLfloat token = buffer[i++];
        if (token != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        int corners = static_cast<int>(buffer[i++]);
        box.triangles += corners - 2;   // GL may hand a quad back as two triangles
        for (int c = 0; c < corners; c++, i += 3) {
            float world[3] = {buffer[i] - 100, buffer[i + 1] - 100, (2 * buffer[i + 2] - 1) * 100};
            for (int axis = 0; axis < 3; axis++) {
                box.low[axis] = std::min(box.low[axis], world[axis]);
                box.high[axis] = std::max(box.high[axis], world[axis]);
            }
        }
    }
    return box;
}

void expectBox(const Box& box, float x, float y, float z, float width, float height, float length) {
    EXPECT_EQ(box.triangles, 12) << "six quads";
    const float centre[3] = {x, y, z}, size[3] = {width, height, length};
    for (int axis = 0; axis < 3; axis++) {
        EXPECT_NEAR((box.low[axis] + box.high[axis]) / 2, centre[axis], 0.01f) << "axis " << axis;
        EXPECT_NEAR(box.high[axis] - box.low[axis], size[axis], 0.01f) << "axis " << axis;
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
        sky = std::make_unique<SolidTextures>(std::initializer_list<std::pair<int, PixelColour>>{
            {TEX_SKY_SAD_SEA, SAD_SEA}, {TEX_SKY_MARZZ, MARZZ}, {TEX_SKY_FAIRYLAND, FAIRYLAND},
            {TEX_SKY_QUANTUM, QUANTUM}, {TEX_SKY_BLUE_BLOT, BLUE_BLOT},
            {TEX_SKY_FRONT, FACE_COLOURS[0]}, {TEX_SKY_BACK, FACE_COLOURS[1]}, {TEX_SKY_LEFT, FACE_COLOURS[2]},
            {TEX_SKY_RIGHT, FACE_COLOURS[3]}, {TEX_SKY_UP, FACE_COLOURS[4]}, {TEX_SKY_DOWN, FACE_COLOURS[5]}});
    }
    void TearDown() override { sky.reset(); }

    // The colour in the middle of the window, looking from the box's centre.
    PixelColour seenLooking(const Look& look) {
        int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
        clearWindow();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(90, static_cast<double>(width) / height, 0.1, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        float middle = (mapRows + 1 + mapCols) / 4.0f;
        float cx = middle + 0.5f, cy = 0, cz = middle;
        gluLookAt(cx, cy, cz, cx + look.x, cy + look.y, cz + look.z, look.upX, look.upY, look.upZ);
        drawSkyboxAroundMap();
        return readBackBuffer().at(width / 2, height / 2);
    }

    std::unique_ptr<SolidTextures> sky;
};

}  // namespace

TEST_F(SkyboxTest, BackdropsZeroToFourShowOneImageOnEveryFace) {
    const PixelColour backdrops[5] = {SAD_SEA, MARZZ, FAIRYLAND, QUANTUM, BLUE_BLOT};
    for (int choice = 0; choice <= 4; choice++) {
        skyChoice = choice;
        for (const Look& look : looks) {
            PixelColour seen = seenLooking(look);
            EXPECT_TRUE(closeTo(seen, backdrops[choice]))
                << "skyChoice " << choice << ", " << look.face << " face shows " << describe(seen);
        }
    }
}

TEST_F(SkyboxTest, AnyOtherChoiceShowsTheSixFaceImages) {
    for (int choice : {5, 6, -1, 42}) {
        skyChoice = choice;
        for (int face = 0; face < 6; face++) {
            PixelColour seen = seenLooking(looks[face]);
            EXPECT_TRUE(closeTo(seen, FACE_COLOURS[face]))
                << "skyChoice " << choice << ", " << looks[face].face << " face shows " << describe(seen);
        }
    }
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(SkyboxTest, BoxIsSizedAndCentredFromTheMap) {
    mapRows = 10;
    mapCols = 12;
    expectBox(measureSkybox(), 6.25f, 0, 5.75f, 63, 50, 61);

    mapRows = 7;
    mapCols = 2;
    Box small = measureSkybox();
    expectBox(small, 3, 0, 2.5f, 53, 50, 58);
    EXPECT_NEAR(small.low[1], -25, 0.01f);
    EXPECT_NEAR(small.high[1], 25, 0.01f);
}
