// tools/icon.cpp — the game's icon for the desktop's menus, painted at any size the menus ask for
#include "tools/icon.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/canvas.h"

namespace {

const Colour SLATE_TOP = rgb(0.20f, 0.24f, 0.34f);
const Colour SLATE_BOTTOM = rgb(0.07f, 0.08f, 0.13f);
const Colour PLAYER_1 = rgb(0.78f, 0.10f, 0.12f);
const Colour PLAYER_2 = rgb(0.12f, 0.30f, 0.85f);
const Colour GOLD = rgb(1.0f, 0.80f, 0.25f);
const Colour GOLD_SHADE = rgb(0.70f, 0.48f, 0.08f);

// How much of a pixel lies inside a shape whose edge is `distance` pixels
// away (negative: inside), for edges smoothed over one pixel.
float inside(float distance) { return clamp01(0.5f - distance); }

float roundedSquareDistance(float x, float y, float half, float radius) {
    const float dx = std::max(std::fabs(x) - (half - radius), 0.0f);
    const float dy = std::max(std::fabs(y) - (half - radius), 0.0f);
    return std::hypot(dx, dy) - radius;
}

bool writePng(const Canvas& canvas, const std::vector<float>& alpha, const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<png_byte> row(static_cast<size_t>(canvas.width) * 4);
    volatile bool written = false;   // read again after a longjmp from libpng
    if (info && !setjmp(png_jmpbuf(png))) {
        png_init_io(png, file);
        png_set_IHDR(png, info, canvas.width, canvas.height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        auto byte = [](float v) { return static_cast<png_byte>(std::lround(clamp01(v) * 255)); };
        for (int y = 0; y < canvas.height; y++) {
            for (int x = 0; x < canvas.width; x++) {
                const Colour c = canvas.at(x, y);
                png_byte* p = &row[static_cast<size_t>(x) * 4];
                p[0] = byte(c.r), p[1] = byte(c.g), p[2] = byte(c.b);
                p[3] = byte(alpha[static_cast<size_t>(y) * canvas.width + x]);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        written = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && written;
}

}  // namespace

bool writeIcon(int size, const std::string& path) {
    Canvas canvas(size, size);
    std::vector<float> alpha(static_cast<size_t>(size) * size);
    const float s = static_cast<float>(size);
    // The tile, lit from above, and the disc of both armies below its middle.
    const float discX = 0.5f * s, discY = 0.60f * s, discRadius = 0.29f * s, ring = std::max(1.0f, 0.035f * s);
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            const float px = x + 0.5f, py = y + 0.5f;
            alpha[static_cast<size_t>(y) * size + x] =
                inside(roundedSquareDistance(px - s / 2, py - s / 2, 0.47f * s, 0.16f * s));
            Colour c = mix(SLATE_TOP, SLATE_BOTTOM, py / s);
            const float fromDisc = std::hypot(px - discX, py - discY);
            const Colour army = mix(PLAYER_1, PLAYER_2, clamp01(px - discX + 0.5f));
            const Colour shaded = scale(army, 1.15f - 0.45f * clamp01((py - discY + discRadius) / (2 * discRadius)));
            c = mix(c, GOLD_SHADE, inside(fromDisc - discRadius - ring));
            c = mix(c, GOLD, inside(fromDisc - discRadius - ring * 0.5f));
            c = mix(c, shaded, inside(fromDisc - discRadius));
            canvas.at(x, y) = c;
        }
    }
    // The crown over the disc: a band and three points, the middle one tallest.
    const float left = 0.27f * s, right = 0.73f * s, base = 0.36f * s, band = 0.07f * s;
    const float outline = std::max(1.0f, 0.02f * s);
    fillRoundRect(canvas, left - outline, base - band - outline, right + outline, base + outline, outline * 2,
                  GOLD_SHADE);
    const float width = right - left;
    for (int point = 0; point < 3; point++) {
        const float at = left + width * (0.5f * point);
        const float tip = point == 1 ? 0.10f * s : 0.15f * s;
        const float from = std::max(left, at - width * 0.22f), to = std::min(right, at + width * 0.22f);
        fillTriangle(canvas, from, base - band + 1, to, base - band + 1, at, tip, GOLD);
        fillCircle(canvas, at, tip, std::max(1.0f, 0.03f * s), GOLD);
    }
    fillRoundRect(canvas, left, base - band, right, base, outline, GOLD);
    return writePng(canvas, alpha, path);
}
