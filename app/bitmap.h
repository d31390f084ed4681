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

// No limit of its own: loadTexture passes the GL maximum texture size once
// the context exists.
constexpr uint32_t ANY_SIDE = UINT32_MAX;

uint32_t readLE32(FILE* file);
uint32_t readLE16(FILE* file);
// 1 on success; 0 after printing why. A side above maxSide, or pixel data
// shorter than the header's width × height × 3, is refused as a read error.
int loadBitmap(const char* name, Image& image, uint32_t maxSide = ANY_SIDE);

extern unsigned char* checkerPixels;   // the generated 64 × 64 checkerboard, kept for the run

void makeCheckerboard(int width, int height);

struct TextureFile {
    const char* path;
    int number;
};
extern const TextureFile textureTable[];   // the 67 uploads (61 files), in load order
extern const int textureCount;
