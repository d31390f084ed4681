// tools/effects.cpp — the sprites of the attack effects
//
// Particles and sparks are added over the scene, so black is see-through and
// white takes the game's tint. The lightning is drawn in two passes: its
// mask (white ground, black bolt) darkens the scene, then the bolt is added.
#include <cmath>
#include <vector>
#include "tools/pictures.h"

Canvas paintParticle() {
    const int SIDE = 64;
    Canvas canvas(SIDE, SIDE);
    for (int y = 0; y < SIDE; y++) {
        for (int x = 0; x < SIDE; x++) {
            float r = std::hypot(x + 0.5f - SIDE / 2.0f, y + 0.5f - SIDE / 2.0f) / (SIDE / 2.0f);
            float glow = std::exp(-r * r * 5) * (1 - smoothstep(0.8f, 1.0f, r));
            canvas.at(x, y) = rgb(glow, glow, glow);
        }
    }
    return canvas;
}

Canvas paintSpark() {
    // A hot core with four long rays and four short ones.
    const int SIDE = 64;
    const float C = SIDE / 2.0f;
    Canvas canvas(SIDE, SIDE);
    for (int y = 0; y < SIDE; y++) {
        for (int x = 0; x < SIDE; x++) {
            float dx = (x + 0.5f - C) / C, dy = (y + 0.5f - C) / C;
            float r = std::hypot(dx, dy);
            float core = std::exp(-r * r * 40);
            float straight = std::exp(-std::fabs(dx) * 30) * std::exp(-std::fabs(dy) * 2.5f) +
                             std::exp(-std::fabs(dy) * 30) * std::exp(-std::fabs(dx) * 2.5f);
            float u = (dx + dy) * 0.7071f, v = (dx - dy) * 0.7071f;
            float diagonal = 0.5f * (std::exp(-std::fabs(u) * 30) * std::exp(-std::fabs(v) * 6) +
                                     std::exp(-std::fabs(v) * 30) * std::exp(-std::fabs(u) * 6));
            float light = clamp01(core + straight + diagonal) * (1 - smoothstep(0.85f, 1.0f, r));
            canvas.at(x, y) = rgb(light, light, clamp01(light * 1.1f));
        }
    }
    return canvas;
}

namespace {

struct Point {
    float x, y;
};

// A zigzag from `from` along +y for `length` pixels: a corner every 10 to 22
// pixels, each thrown sideways within `swing` of the line from `from` to the
// end, with small kinks in between.
std::vector<Point> zigzag(Point from, float length, float drift, float swing, float minX, float maxX, uint32_t seed) {
    std::vector<Point> path = {from};
    float y = from.y;
    for (int i = 0; y < from.y + length; i++) {
        float step = 10 + 12 * hash01(i, 0, 0, seed);
        float previousY = y;
        y = std::fmin(y + step, from.y + length);
        float along = (y - from.y) / length;
        float x = from.x + drift * along + (hash01(i, 1, 0, seed) * 2 - 1) * swing;
        x = std::fmin(std::fmax(x, minX), maxX);
        Point last = path.back();
        float kinkY = (previousY + y) / 2;
        path.push_back({(last.x + x) / 2 + (hash01(i, 2, 0, seed) * 2 - 1) * 3, kinkY});
        path.push_back({x, y});
    }
    return path;
}

float pathDistance(const std::vector<Point>& path, float x, float y) {
    float best = 1e9f;
    for (size_t i = 0; i + 1 < path.size(); i++)
        best = std::fmin(best, segmentDistance(x, y, path[i].x, path[i].y, path[i + 1].x, path[i + 1].y));
    return best;
}

}  // namespace

Canvas paintBolt(int frame, bool mask) {
    // Tall: the game lays the picture's height along the Flier's strike.
    const int W = 64, H = 256;
    uint32_t seed = 700 + frame * 17;
    std::vector<Point> trunk = zigzag({W / 2.0f, 0}, H, 0, 14, 12, W - 12.0f, seed);
    // One branch leaving the trunk a third of the way along.
    Point fork = trunk[trunk.size() / 3];
    float side = hash01(frame, 0, 0, seed) < 0.5f ? -1.0f : 1.0f;
    std::vector<Point> branch = zigzag(fork, 70, side * 16, 5, 8, W - 8.0f, seed + 5);
    Canvas canvas(W, H);
    for (int y = 0; y < H; y++) {
        for (int x = 0; x < W; x++) {
            float d = std::fmin(pathDistance(trunk, x + 0.5f, y + 0.5f),
                                pathDistance(branch, x + 0.5f, y + 0.5f) + 0.8f);
            float core = 1 - smoothstep(1.0f, 2.2f, d);
            float glow = std::exp(-d * d / 40);
            if (mask) {
                float dark = clamp01(core + glow * 0.7f);
                canvas.at(x, y) = rgb(1 - dark, 1 - dark, 1 - dark);
            } else {
                Colour c = add(scale(rgb(0.35f, 0.55f, 1.0f), glow), scale(rgb(1, 1, 1), core));
                canvas.at(x, y) = rgb(clamp01(c.r), clamp01(c.g), clamp01(c.b));
            }
        }
    }
    return canvas;
}
