// bench/map_picture.cpp — a map's board seen from straight above, drawn by the game's own board code, as a PNG
//
//   map_picture MAP OUT.png [--square PIXELS]
//
// MAP is what the game's --map takes: a name from maps/ or a map file. Run it
// from the run folder (it needs images/) on a display; it draws into a GLX
// pixel buffer, so no window ever shows. Row 0 is at the top and column 0 on
// the left, as in the file and as the start view looks down the board. Each
// square is PIXELS across (16 by default), drawn four times as large and
// averaged down, so the terrain's texture does not break up into noise.
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/textures.h"
#include "bench/battle_setup.h"
#include "game/battle_map.h"
#include "render/board.h"

namespace {

constexpr int OVERSAMPLE = 4;

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "map_picture: %s\n", why.c_str());
    std::exit(1);
}

// A current GL context on an off-screen pixel buffer of the given size.
void makePixelBuffer(int width, int height) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) fail("cannot open the display");
    const int wanted[] = {GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT, GLX_RED_SIZE, 8,
                          GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, GLX_DEPTH_SIZE, 16, None};
    int found = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, DefaultScreen(display), wanted, &found);
    if (!configs || found == 0) fail("no pixel buffer configuration");
    const int size[] = {GLX_PBUFFER_WIDTH, width, GLX_PBUFFER_HEIGHT, height, None};
    GLXPbuffer buffer = glXCreatePbuffer(display, configs[0], size);
    GLXContext context = glXCreateNewContext(display, configs[0], GLX_RGBA_TYPE, nullptr, True);
    XFree(configs);
    if (!buffer || !context || !glXMakeContextCurrent(display, buffer, buffer, context))
        fail("cannot draw into a pixel buffer of " + std::to_string(width) + " x " + std::to_string(height));
}

// The squares cover x from 0 to the columns and z from 0 to the rows (the
// game's board list shifts them a row on, which a picture has no need of);
// seen from above with -z up the picture, row 0 is the top row.
void drawBoardFromAbove(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, mapCols, -mapRows, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(90, 1, 0, 0);   // the board's plane, y = 0, turned to face the viewer: z down the picture
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);   // the terrain as painted, not as one light falls on it
    glColor3f(1, 1, 1);
    drawBoardSquares();
    glFinish();
}

// Read back and averaged OVERSAMPLE × OVERSAMPLE into one pixel, top row first.
std::vector<unsigned char> shrunkPixels(int width, int height) {
    std::vector<unsigned char> big(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, big.data());
    const int w = width / OVERSAMPLE, h = height / OVERSAMPLE;
    std::vector<unsigned char> small(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            for (int channel = 0; channel < 3; channel++) {
                int sum = 0;
                for (int dy = 0; dy < OVERSAMPLE; dy++)
                    for (int dx = 0; dx < OVERSAMPLE; dx++)
                        sum += big[((height - 1 - (y * OVERSAMPLE + dy)) * static_cast<size_t>(width) +
                                    x * OVERSAMPLE + dx) * 3 + channel];
                small[(static_cast<size_t>(y) * w + x) * 3 + channel] =
                    static_cast<unsigned char>((sum + OVERSAMPLE * OVERSAMPLE / 2) / (OVERSAMPLE * OVERSAMPLE));
            }
    return small;
}

bool writePng(const char* path, const std::vector<unsigned char>& pixels, int width, int height) {
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    for (int y = 0; y < height; y++)
        png_write_row(png, const_cast<png_bytep>(&pixels[static_cast<size_t>(y) * width * 3]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 5 && std::strcmp(argv[3], "--square") == 0)) {
        std::fprintf(stderr, "usage: map_picture MAP OUT.png [--square PIXELS]\n");
        return 2;
    }
    const int square = argc == 5 ? std::atoi(argv[4]) : 16;
    if (square < 1 || square > 64) fail("a square is 1 to 64 pixels");
    const std::string path = mapFileFor(argv[1]);
    const std::string text = bench::readTextFile(path);
    if (!bench::readsAsMap(text)) fail(path + " does not read as a map");
    {
        bench::SilencedOutput silenced;   // the readers' console lines
        bench::loadMapText(text);
        const int width = mapCols * square * OVERSAMPLE, height = mapRows * square * OVERSAMPLE;
        makePixelBuffer(width, height);
        loadAllTextures();
        drawBoardFromAbove(width, height);
        if (!writePng(argv[2], shrunkPixels(width, height), width / OVERSAMPLE, height / OVERSAMPLE))
            fail(std::string("cannot write ") + argv[2]);
    }
    return 0;
}
