// tests/render/gl_harness.cpp — the game's real window for the render tests, and ways to look at what it drew
#include "tests/render/gl_harness.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include "app/camera.h"
#include "app/window.h"
#include "render/frame_clock.h"
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

void clearWindow(PixelColour background) {
    glViewport(0, 0, glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    glClearColor(background.r / 255.0f, background.g / 255.0f, background.b / 255.0f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
}

void useOverlayProjection() {
    bool saved = perspectiveView;
    perspectiveView = false;
    onReshape(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    perspectiveView = saved;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void pixelOf(float x, float y, float z, int& px, int& py) {
    GLdouble modelView[16], projection[16], wx, wy, wz;
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluProject(x, y, z, modelView, projection, viewport, &wx, &wy, &wz);
    px = static_cast<int>(wx);
    py = static_cast<int>(wy);
}

PixelColour WindowPicture::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is outside the " << width << " × " << height << " window";
        return {-1, -1, -1};
    }
    const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return {p[0], p[1], p[2]};
}

PixelColour WindowPicture::atWorld(float x, float y, float z) const {
    int px, py;
    pixelOf(x, y, z, px, py);
    return at(px, py);
}

int WindowPicture::count(PixelColour colour, int tolerance) const {
    return countIn(0, 0, width - 1, height - 1, colour, tolerance);
}

int WindowPicture::countIn(int left, int bottom, int right, int top, PixelColour colour, int tolerance) const {
    int found = 0;
    for (int y = std::max(bottom, 0); y <= std::min(top, height - 1); y++)
        for (int x = std::max(left, 0); x <= std::min(right, width - 1); x++) {
            const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            found += closeTo({p[0], p[1], p[2]}, colour, tolerance);
        }
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

std::string saveArtifact(const WindowPicture& picture, const std::string& name) {
    std::string folder = RUN_DIR "/../artifacts";
    mkdir(folder.c_str(), 0755);
    std::string path = folder + "/" + name + ".ppm";
    std::ofstream file(path, std::ios::binary);
    file << "P6\n" << picture.width << " " << picture.height << "\n255\n";
    for (int y = picture.height - 1; y >= 0; y--)   // PPM runs top row first
        file.write(reinterpret_cast<const char*>(&picture.rgb[static_cast<size_t>(y) * picture.width * 3]),
                   picture.width * 3);
    return path;
}

SolidTextures::SolidTextures(std::initializer_list<std::pair<int, PixelColour>> textures) {
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
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (const Saved& original : saved) {
        glBindTexture(GL_TEXTURE_2D, original.number);
        glTexImage2D(GL_TEXTURE_2D, 0, 3, original.width, original.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     original.rgb.data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

void fixTicks(uint32_t milliseconds) {
    fixedMilliseconds = milliseconds;
    tickSource = fixedTicks;
}

unsigned emptyList() {
    static const unsigned list = [] {
        const unsigned name = glGenLists(1);
        glNewList(name, GL_COMPILE);
        glEndList();
        return name;
    }();
    return list;
}
