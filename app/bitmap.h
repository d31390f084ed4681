// app/bitmap.h — the 24-bit bitmap reader, the checkerboard and the table of
// image files; no GL here, so the tests, the fuzzer and the tools share them
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

struct Image {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<unsigned char> pixels;   // R, G, B per pixel, bottom row first, no row padding
};

// The longest side of a picture the game takes, eight times its own largest
// (512): 48 MiB of pixels at most. loadTexture passes the GL's own maximum
// texture size too, once the context exists.
constexpr uint32_t MOST_BITMAP_SIDE = 4096;
constexpr uint32_t ANY_SIDE = UINT32_MAX;   // no limit but MOST_BITMAP_SIDE

uint32_t readLE32(FILE* file);
uint32_t readLE16(FILE* file);
// 1 on success; 0 after printing why. Only a regular file is read (a pipe
// or a device is refused in one line, never waited on), and none larger
// than the largest picture could be. A side above maxSide or
// MOST_BITMAP_SIDE, or pixel data shorter than the header's width × height
// × 3, is refused as a read error.
int loadBitmap(const char* name, Image& image, uint32_t maxSide = ANY_SIDE);

extern unsigned char* checkerPixels;   // the generated 64 × 64 checkerboard, kept for the run

void makeCheckerboard(int width, int height);

struct TextureFile {
    const char* path;
    int number;
};
extern const TextureFile textureTable[];   // the 67 uploads (61 files), in load order
extern const int textureCount;
