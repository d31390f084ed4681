// tools/canvas.h — a floating-point picture, the shapes and noises the
// artwork is painted with, and the 24-bit bitmap writer
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Colour {
    float r = 0, g = 0, b = 0;
};

Colour rgb(float r, float g, float b);
Colour mix(Colour a, Colour b, float t);   // t = 0 gives a, 1 gives b
Colour scale(Colour c, float s);
Colour add(Colour a, Colour b);
Colour hsv(float hue, float saturation, float value);   // hue in turns, wraps

float clamp01(float v);
float smoothstep(float edge0, float edge1, float v);

// Row 0 is the top of the picture as seen on screen; the writer flips it
// into the file's bottom-up order, so texture coordinate t = 0 is the last row.
struct Canvas {
    int width, height;
    std::vector<Colour> pixels;
    Canvas(int w, int h, Colour fill = Colour());
    Colour& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    Colour at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    void blend(int x, int y, Colour c, float coverage);   // skipped outside the picture
};

// Uncompressed 24-bit, bottom-up, 54-byte header; false when the file cannot be written.
bool writeBitmap(const Canvas& canvas, const std::string& path);

void fillRect(Canvas& canvas, int x0, int y0, int x1, int y1, Colour c);   // x1, y1 exclusive
// A rectangle with rounded corners of the given radius, edges anti-aliased.
void fillRoundRect(Canvas& canvas, float x0, float y0, float x1, float y1, float radius, Colour c);
void fillCircle(Canvas& canvas, float cx, float cy, float radius, Colour c);
void fillTriangle(Canvas& canvas, float ax, float ay, float bx, float by, float cx, float cy, Colour c);

// Integer hash to [0, 1); the same arguments give the same value on every build.
float hash01(int x, int y, int z, uint32_t seed);

// Value noise in [0, 1). The periodic form repeats every `period` lattice
// cells in x and y, which is what makes a picture tile without a seam.
float periodicNoise(float x, float y, int period, uint32_t seed);
float periodicFbm(float x, float y, int period, int octaves, uint32_t seed);
float noise3(float x, float y, float z, uint32_t seed);
float fbm3(float x, float y, float z, int octaves, uint32_t seed);

// Distance to the nearest and second-nearest of one jittered point per cell,
// on a grid of period × period cells wrapping around; in cell units.
void periodicCells(float x, float y, int period, uint32_t seed, float& nearest, float& second);

// Distance from (px, py) to the segment a–b.
float segmentDistance(float px, float py, float ax, float ay, float bx, float by);
