// app/bitmap.h — the 24-bit bitmap reader
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

struct Image {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<unsigned char> pixels;   // R, G, B per pixel, bottom row first, no row padding
};

uint32_t readLE32(FILE* file);
uint32_t readLE16(FILE* file);
int loadBitmap(const char* name, Image& image);   // 1 on success; 0 after printing why
