// tests/render/gl_harness.cpp — the game's real window for the render tests, and ways to look at what it drew
#include "tests/render/gl_harness.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include "app/camera.h"
#include "app/window.h"
#include "render/frame_clock.h"
#include "render/skybox.h"
#include "rules/game_state.h"
#include "save/battle_save.h"
#include "tests/support/battle.h"

namespace {
bool windowOpen = false;
uint32_t fixedMilliseconds = 0;

uint32_t fixedTicks() { return fixedMilliseconds; }

// GL unloads its driver at exit, before the leak check runs; the driver's own
// allocations would then be reported from an unnamed module that the
// suppressions cannot match. Keeping the driver loaded keeps them named.
int keepDriverLoaded(dl_phdr_info* module, size_t, void*) {
    if (std::strstr(module->dlpi_name, "_dri.so") || std::strstr(module->dlpi_name, "libLLVM"))
        dlopen(module->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

std::string fixtureText() {
    std::ifstream file(TEST_DATA_DIR "/maps/every_terrain_8x10.txt", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}
}

void ensureGlWindow() {
    if (windowOpen) return;
    windowOpen = true;
    // The window's first frames run the whole scene, which needs a sane battle.
    resetBattleState();
    reloadFixtureMap();
    if (chdir(RUN_DIR) != 0) ADD_FAILURE() << "cannot enter the run folder " << RUN_DIR;
    char name[] = "render_tests";
    char* argv[] = {name, nullptr};
    setUpWindow(1, argv);
    dl_iterate_phdr(keepDriverLoaded, nullptr);
    // Full screen arrives as a reshape; wait for it, with a generous bound.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while ((windowWidth != glutGet(GLUT_SCREEN_WIDTH) || windowHeight != glutGet(GLUT_SCREEN_HEIGHT)) &&
           std::chrono::steady_clock::now() < deadline)
        glutMainLoopEvent();
}

void reloadFixtureMap() {
    loadMap(fixtureText());
}

bool closeTo(PixelColour a, PixelColour b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

std::string describe(PixelColour c) {
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}

void clearWindow() {
    glViewport(0, 0, glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void lookThrough(int left, int bottom, int width, int height, double degrees) {
    glViewport(left, bottom, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(degrees, static_cast<double>(width) / height, 0.1, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

PixelColour WindowPicture::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is outside the " << width << " × " << height << " window";
        return {-1, -1, -1};
    }
    const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return {p[0], p[1], p[2]};
}

int WindowPicture::count(PixelColour colour, int tolerance) const {
    int found = 0;
    for (size_t i = 0; i < rgb.size(); i += 3) found += closeTo({rgb[i], rgb[i + 1], rgb[i + 2]}, colour, tolerance);
    return found;
}

WindowPicture readBackBuffer() {
    WindowPicture picture;
    picture.width = glutGet(GLUT_WINDOW_WIDTH);
    picture.height = glutGet(GLUT_WINDOW_HEIGHT);
    picture.rgb.resize(static_cast<size_t>(picture.width) * picture.height * 3);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, picture.width, picture.height, GL_RGB, GL_UNSIGNED_BYTE, picture.rgb.data());
    return picture;
}

SolidTextures::SolidTextures(std::initializer_list<std::pair<int, PixelColour>> textures) {
    forgetKeptSky();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (const auto& [number, colour] : textures) {
        Saved original;
        original.number = number;
        glBindTexture(GL_TEXTURE_2D, number);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &original.width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &original.height);
        original.rgb.resize(static_cast<size_t>(original.width) * original.height * 3);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, original.rgb.data());
        saved.push_back(std::move(original));

        std::vector<unsigned char> solid;
        for (int i = 0; i < 16; i++) solid.insert(solid.end(), {static_cast<unsigned char>(colour.r),
                                                               static_cast<unsigned char>(colour.g),
                                                               static_cast<unsigned char>(colour.b)});
        glTexImage2D(GL_TEXTURE_2D, 0, 3, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, solid.data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

SolidTextures::~SolidTextures() {
    forgetKeptSky();
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (const Saved& original : saved) {
        glBindTexture(GL_TEXTURE_2D, original.number);
        glTexImage2D(GL_TEXTURE_2D, 0, 3, original.width, original.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     original.rgb.data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

void expectGlStateRestored() {
    GLint modelView = 0, projection = 0, mode = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelView);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projection);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_TRUE(modelView == 1 && projection == 1 && mode == GL_MODELVIEW && glIsEnabled(GL_LIGHTING) && perspectiveView)
        << "stack depths " << modelView << " and " << projection << ", matrix mode " << mode;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

void fixTicks(uint32_t milliseconds) {
    fixedMilliseconds = milliseconds;
    tickSource = fixedTicks;
}

void drawWindowFrame(double now) {
    fixTicks(101500);
    nowSeconds = now;
    lastSecondMark = 100;
    keptRevision = battleRevision;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    onDisplay();
}

