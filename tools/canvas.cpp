// tools/canvas.cpp — painting primitives, noises and the bitmap writer of the artwork
#include "tools/canvas.h"
#include <algorithm>
#include <cmath>
#include <cstdio>

Colour rgb(float r, float g, float b) {
    Colour c;
    c.r = r;
    c.g = g;
    c.b = b;
    return c;
}

Colour mix(Colour a, Colour b, float t) {
    return rgb(a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t);
}

Colour scale(Colour c, float s) { return rgb(c.r * s, c.g * s, c.b * s); }

Colour add(Colour a, Colour b) { return rgb(a.r + b.r, a.g + b.g, a.b + b.b); }

Colour hsv(float hue, float saturation, float value) {
    float h = (hue - std::floor(hue)) * 6.0f;
    int sector = static_cast<int>(h) % 6;
    float f = h - std::floor(h);
    float p = value * (1 - saturation), q = value * (1 - saturation * f),
          t = value * (1 - saturation * (1 - f));
    switch (sector) {
    case 0: return rgb(value, t, p);
    case 1: return rgb(q, value, p);
    case 2: return rgb(p, value, t);
    case 3: return rgb(p, q, value);
    case 4: return rgb(t, p, value);
    default: return rgb(value, p, q);
    }
}

float clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }

float smoothstep(float edge0, float edge1, float v) {
    float t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

Canvas::Canvas(int w, int h, Colour fill) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}

void Canvas::blend(int x, int y, Colour c, float coverage) {
    if (x < 0 || y < 0 || x >= width || y >= height || coverage <= 0)
        return;
    Colour& p = at(x, y);
    p = mix(p, c, std::min(coverage, 1.0f));
}

namespace {

void putLE(std::vector<unsigned char>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; i++)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

unsigned char toByte(float v) { return static_cast<unsigned char>(std::lround(clamp01(v) * 255.0f)); }

// Coverage of a pixel by a shape given the signed distance of its centre
// (negative inside): one pixel of anti-aliasing.
float coverage(float signedDistance) { return clamp01(0.5f - signedDistance); }

}  // namespace

bool writeBitmap(const Canvas& canvas, const std::string& path) {
    uint32_t dataSize = static_cast<uint32_t>(canvas.width) * canvas.height * 3;
    std::vector<unsigned char> out;
    out.reserve(54 + dataSize);
    out.push_back('B');
    out.push_back('M');
    putLE(out, 54 + dataSize, 4);
    putLE(out, 0, 4);              // reserved
    putLE(out, 54, 4);             // pixel data offset
    putLE(out, 40, 4);             // info header size
    putLE(out, canvas.width, 4);
    putLE(out, canvas.height, 4);  // positive: bottom row first
    putLE(out, 1, 2);              // planes
    putLE(out, 24, 2);             // bits per pixel
    putLE(out, 0, 4);              // no compression
    putLE(out, dataSize, 4);
    putLE(out, 2835, 4);           // 72 dots per inch, both ways
    putLE(out, 2835, 4);
    putLE(out, 0, 4);
    putLE(out, 0, 4);
    for (int y = canvas.height - 1; y >= 0; y--) {
        for (int x = 0; x < canvas.width; x++) {
            Colour c = canvas.at(x, y);
            out.push_back(toByte(c.b));
            out.push_back(toByte(c.g));
            out.push_back(toByte(c.r));
        }
    }
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = fwrite(out.data(), 1, out.size(), file) == out.size();
    return fclose(file) == 0 && written;
}

void fillRect(Canvas& canvas, int x0, int y0, int x1, int y1, Colour c) {
    for (int y = std::max(y0, 0); y < std::min(y1, canvas.height); y++)
        for (int x = std::max(x0, 0); x < std::min(x1, canvas.width); x++)
            canvas.at(x, y) = c;
}

void fillRoundRect(Canvas& canvas, float x0, float y0, float x1, float y1, float radius, Colour c) {
    float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    float hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    for (int y = std::max(0, static_cast<int>(y0) - 1); y < std::min(canvas.height, static_cast<int>(y1) + 2); y++) {
        for (int x = std::max(0, static_cast<int>(x0) - 1); x < std::min(canvas.width, static_cast<int>(x1) + 2); x++) {
            float dx = std::max(std::fabs(x + 0.5f - cx) - hx, 0.0f);
            float dy = std::max(std::fabs(y + 0.5f - cy) - hy, 0.0f);
            canvas.blend(x, y, c, coverage(std::sqrt(dx * dx + dy * dy) - radius));
        }
    }
}

void fillCircle(Canvas& canvas, float cx, float cy, float radius, Colour c) {
    for (int y = static_cast<int>(cy - radius) - 1; y <= static_cast<int>(cy + radius) + 1; y++)
        for (int x = static_cast<int>(cx - radius) - 1; x <= static_cast<int>(cx + radius) + 1; x++)
            canvas.blend(x, y, c, coverage(std::hypot(x + 0.5f - cx, y + 0.5f - cy) - radius));
}

void fillTriangle(Canvas& canvas, float ax, float ay, float bx, float by, float cx, float cy, Colour c) {
    int left = static_cast<int>(std::min({ax, bx, cx})), right = static_cast<int>(std::max({ax, bx, cx})) + 1;
    int top = static_cast<int>(std::min({ay, by, cy})), bottom = static_cast<int>(std::max({ay, by, cy})) + 1;
    float area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
    for (int y = top; y <= bottom; y++) {
        for (int x = left; x <= right; x++) {
            float px = x + 0.5f, py = y + 0.5f;
            float w0 = ((bx - px) * (cy - py) - (by - py) * (cx - px)) / area;
            float w1 = ((cx - px) * (ay - py) - (cy - py) * (ax - px)) / area;
            float w2 = 1 - w0 - w1;
            if (w0 >= 0 && w1 >= 0 && w2 >= 0)
                canvas.blend(x, y, c, 1);
        }
    }
}

float hash01(int x, int y, int z, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE3Du;
    h = (h << 17) | (h >> 15);
    h ^= static_cast<uint32_t>(z) * 0x27D4EB2Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return (h >> 8) * (1.0f / 16777216.0f);
}

namespace {

float fade(float t) { return t * t * (3 - 2 * t); }

int wrap(int v, int period) { return ((v % period) + period) % period; }

}  // namespace

float periodicNoise(float x, float y, int period, uint32_t seed) {
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    float fx = fade(x - ix), fy = fade(y - iy);
    int x0 = wrap(ix, period), x1 = wrap(ix + 1, period);
    int y0 = wrap(iy, period), y1 = wrap(iy + 1, period);
    float top = hash01(x0, y0, 0, seed) + (hash01(x1, y0, 0, seed) - hash01(x0, y0, 0, seed)) * fx;
    float low = hash01(x0, y1, 0, seed) + (hash01(x1, y1, 0, seed) - hash01(x0, y1, 0, seed)) * fx;
    return top + (low - top) * fy;
}

float periodicFbm(float x, float y, int period, int octaves, uint32_t seed) {
    float sum = 0, amplitude = 0.5f, total = 0;
    for (int o = 0; o < octaves; o++) {
        sum += periodicNoise(x, y, period, seed + o) * amplitude;
        total += amplitude;
        x *= 2;
        y *= 2;
        period *= 2;
        amplitude *= 0.5f;
    }
    return sum / total;
}

float noise3(float x, float y, float z, uint32_t seed) {
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y)),
        iz = static_cast<int>(std::floor(z));
    float fx = fade(x - ix), fy = fade(y - iy), fz = fade(z - iz);
    float corner[2][2][2];
    for (int a = 0; a < 2; a++)
        for (int b = 0; b < 2; b++)
            for (int c = 0; c < 2; c++)
                corner[a][b][c] = hash01(ix + a, iy + b, iz + c, seed);
    float layer[2];
    for (int c = 0; c < 2; c++) {
        float near = corner[0][0][c] + (corner[1][0][c] - corner[0][0][c]) * fx;
        float far = corner[0][1][c] + (corner[1][1][c] - corner[0][1][c]) * fx;
        layer[c] = near + (far - near) * fy;
    }
    return layer[0] + (layer[1] - layer[0]) * fz;
}

float fbm3(float x, float y, float z, int octaves, uint32_t seed) {
    float sum = 0, amplitude = 0.5f, total = 0;
    for (int o = 0; o < octaves; o++) {
        sum += noise3(x, y, z, seed + o) * amplitude;
        total += amplitude;
        x *= 2.03f;
        y *= 2.03f;
        z *= 2.03f;
        amplitude *= 0.5f;
    }
    return sum / total;
}

void periodicCells(float x, float y, int period, uint32_t seed, float& nearest, float& second) {
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    nearest = second = 1e9f;
    for (int dy = -1; dy <= 1; dy++) {
        for (int dx = -1; dx <= 1; dx++) {
            int cx = ix + dx, cy = iy + dy;
            int wx = wrap(cx, period), wy = wrap(cy, period);
            float px = cx + 0.15f + 0.7f * hash01(wx, wy, 1, seed);
            float py = cy + 0.15f + 0.7f * hash01(wx, wy, 2, seed);
            float d = std::hypot(px - x, py - y);
            if (d < nearest) {
                second = nearest;
                nearest = d;
            } else if (d < second) {
                second = d;
            }
        }
    }
}

float segmentDistance(float px, float py, float ax, float ay, float bx, float by) {
    float vx = bx - ax, vy = by - ay;
    float lengthSquared = vx * vx + vy * vy;
    float t = lengthSquared > 0 ? clamp01(((px - ax) * vx + (py - ay) * vy) / lengthSquared) : 0;
    return std::hypot(px - ax - t * vx, py - ay - t * vy);
}
