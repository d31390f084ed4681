// tools/terrain.cpp — the six board textures and the two unused small images
//
// A board square shows one whole texture and its neighbours repeat it, so
// every pattern here is periodic over the picture: the noises wrap, stripes
// use whole numbers of waves, and strokes wrap round the edges.
#include <cmath>
#include "tools/pictures.h"

namespace {

const int SIDE = 128;

// Calls shade(u, v) for every pixel, u and v in [0, 1) across the picture.
template <class F> Canvas paintEach(int w, int h, F shade) {
    Canvas canvas(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            canvas.at(x, y) = shade((x + 0.5f) / w, (y + 0.5f) / h);
    return canvas;
}

// A short line blended in, wrapped round the picture's edges.
void wrappedStroke(Canvas& canvas, float ax, float ay, float bx, float by, float width, Colour c) {
    int left = static_cast<int>(std::floor(std::fmin(ax, bx) - width)) - 1;
    int right = static_cast<int>(std::ceil(std::fmax(ax, bx) + width)) + 1;
    int top = static_cast<int>(std::floor(std::fmin(ay, by) - width)) - 1;
    int bottom = static_cast<int>(std::ceil(std::fmax(ay, by) + width)) + 1;
    for (int y = top; y <= bottom; y++) {
        for (int x = left; x <= right; x++) {
            float d = segmentDistance(x + 0.5f, y + 0.5f, ax, ay, bx, by);
            int wx = ((x % canvas.width) + canvas.width) % canvas.width;
            int wy = ((y % canvas.height) + canvas.height) % canvas.height;
            canvas.blend(wx, wy, c, clamp01(width - d + 0.5f));
        }
    }
}

}  // namespace

Canvas paintGrass() {
    Canvas canvas = paintEach(SIDE, SIDE, [](float u, float v) {
        float patches = periodicFbm(u * 4, v * 4, 4, 4, 11);
        return mix(rgb(0.16f, 0.40f, 0.10f), rgb(0.38f, 0.66f, 0.20f), patches);
    });
    // Blades: short strokes leaning a little, dark ones first, light ones on top.
    for (int i = 0; i < 900; i++) {
        float x = hash01(i, 0, 0, 12) * SIDE, y = hash01(i, 1, 0, 12) * SIDE;
        float lean = (hash01(i, 2, 0, 12) - 0.5f) * 5;
        float length = 4 + hash01(i, 3, 0, 12) * 5;
        float tone = hash01(i, 4, 0, 12);
        Colour blade = i < 450 ? mix(rgb(0.08f, 0.26f, 0.05f), rgb(0.14f, 0.34f, 0.08f), tone)
                               : mix(rgb(0.42f, 0.74f, 0.24f), rgb(0.60f, 0.86f, 0.34f), tone);
        wrappedStroke(canvas, x, y, x + lean, y - length, 0.6f, blade);
    }
    for (int i = 0; i < 6; i++) {
        float x = hash01(i, 0, 1, 13) * SIDE, y = hash01(i, 1, 1, 13) * SIDE;
        for (int petal = 0; petal < 4; petal++) {
            float a = petal * TAU / 4;
            wrappedStroke(canvas, x, y, x + std::cos(a) * 1.6f, y + std::sin(a) * 1.6f, 0.9f, rgb(0.98f, 0.90f, 0.30f));
        }
    }
    return canvas;
}

Canvas paintMountain() {
    // A ridged height field lit from the top left: grey crags, dark clefts
    // and snow on the high ground.
    auto height = [](float u, float v) {
        float ridge = 1 - std::fabs(periodicFbm(u * 3, v * 3, 3, 5, 21) * 2 - 1);
        return ridge * ridge;
    };
    const float step = 1.0f / SIDE;
    return paintEach(SIDE, SIDE, [&](float u, float v) {
        float h = height(u, v);
        float dx = height(u + step, v) - height(u - step, v);
        float dy = height(u, v + step) - height(u, v - step);
        float light = clamp01(0.65f - (dx + dy) * 9);
        Colour rock = mix(rgb(0.30f, 0.27f, 0.25f), rgb(0.62f, 0.60f, 0.58f), light);
        rock = mix(scale(rock, 0.55f), rock, smoothstep(0.05f, 0.3f, h));
        float snow = smoothstep(0.78f, 0.86f, h);
        return mix(rock, mix(rgb(0.78f, 0.82f, 0.90f), rgb(1.0f, 1.0f, 1.0f), light), snow);
    });
}

Canvas paintDesert() {
    // Wind ripples: diagonal waves (whole numbers of them, so they tile),
    // bent by noise, over warm sand with a fine grain.
    return paintEach(SIDE, SIDE, [](float u, float v) {
        float bend = periodicFbm(u * 3, v * 3, 3, 3, 31);
        float wave = std::sin(TAU * (3 * u + 2 * v) + bend * 7);
        float ripple = smoothstep(-0.2f, 1.0f, wave);
        Colour sand = mix(rgb(0.80f, 0.62f, 0.34f), rgb(0.96f, 0.84f, 0.56f), ripple);
        sand = mix(sand, rgb(0.66f, 0.48f, 0.26f), smoothstep(0.6f, 0.95f, -wave) * 0.5f);
        float grain = hash01(static_cast<int>(u * SIDE), static_cast<int>(v * SIDE), 0, 32);
        return scale(sand, 0.93f + grain * 0.1f);
    });
}

Canvas paintWater() {
    // Deep blue with lighter swell and white wave crests.
    return paintEach(SIDE, SIDE, [](float u, float v) {
        float bend = periodicFbm(u * 4, v * 4, 4, 3, 41);
        float a = std::sin(TAU * (2 * u + 1 * v) + bend * 5);
        float b = std::sin(TAU * (-1 * u + 3 * v) + bend * 4);
        float swell = (a + b) * 0.25f + 0.5f;
        Colour water = mix(rgb(0.04f, 0.16f, 0.45f), rgb(0.12f, 0.42f, 0.80f), swell);
        // Short white crests along a third, finer wave train, broken up by noise.
        float crest = smoothstep(0.85f, 0.97f, std::sin(TAU * (4 * u + 2 * v) + bend * 6));
        crest *= smoothstep(0.45f, 0.6f, periodicFbm(u * 8, v * 8, 8, 2, 42));
        return mix(water, rgb(0.90f, 0.96f, 1.0f), clamp01(crest + smoothstep(0.9f, 0.99f, swell)));
    });
}

Canvas paintElectric() {
    // Glowing yellow-white veins with a cyan halo on a dark violet plate.
    return paintEach(SIDE, SIDE, [](float u, float v) {
        float nearest, second;
        periodicCells(u * 5, v * 5, 5, 51, nearest, second);
        float warp = periodicFbm(u * 8, v * 8, 8, 3, 52);
        float edge = second - nearest + (warp - 0.5f) * 0.25f;
        float core = 1 - smoothstep(0.02f, 0.07f, edge);
        float halo = 1 - smoothstep(0.0f, 0.35f, edge);
        Colour plate = mix(rgb(0.06f, 0.02f, 0.16f), rgb(0.18f, 0.06f, 0.34f), warp);
        plate = mix(plate, rgb(0.10f, 0.75f, 1.0f), halo * 0.6f);
        return mix(plate, rgb(1.0f, 0.98f, 0.55f), core);
    });
}

Canvas paintChaos() {
    // Saturated colours swirled by noise and split by black cracks: nothing
    // else on the board looks like it.
    return paintEach(SIDE, SIDE, [](float u, float v) {
        float warpX = periodicFbm(u * 3, v * 3, 3, 4, 61), warpY = periodicFbm(u * 3, v * 3, 3, 4, 62);
        float hue = periodicFbm(u * 2 + warpX * 2, v * 2 + warpY * 2, 2, 3, 63) * 3;
        float nearest, second;
        periodicCells(u * 4 + warpX, v * 4 + warpY, 4, 64, nearest, second);
        float crack = 1 - smoothstep(0.03f, 0.09f, second - nearest);
        return mix(hsv(hue, 0.9f, 0.95f), rgb(0.05f, 0.0f, 0.05f), crack);
    });
}

Canvas paintMask1() {
    // A white disc on black, the plain shape a mask would be.
    Canvas canvas(16, 16, rgb(0, 0, 0));
    fillCircle(canvas, 8, 8, 6, rgb(1, 1, 1));
    return canvas;
}

Canvas paintImage1() {
    return paintEach(16, 16, [](float u, float v) { return rgb(u, 0.4f, 1 - v); });
}
