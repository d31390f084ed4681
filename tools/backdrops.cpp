// tools/backdrops.cpp — the skies around the board
//
// "Space Endeavors" gives each face of the box its own picture, every pixel
// painted from the direction it shows out of the box's centre, so the faces
// meet without seams. The other five skies are one picture each, which the
// box lays on all six faces, each face turned or mirrored its own way
// (render/sky_faces.h): see paintBackdrop for how such a picture meets itself.
#include <cmath>

#include "render/sky_faces.h"
#include "tools/pictures.h"

namespace {

const int SKY_SIDE = 512;

struct Direction {
    float x, y, z;
};

Direction normalised(float x, float y, float z) {
    float length = std::sqrt(x * x + y * y + z * z);
    return {x / length, y / length, z / length};
}

float dot(Direction a, Direction b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The direction a face's texture coordinate (s, t) shows, as the sky box lays it.
Direction faceDirection(SkyFace face, float s, float t) {
    float point[3];
    skyFacePoint(face, s, t, point);
    return normalised(point[0], point[1], point[2]);
}

// Stars on a jittered 3D grid: cells holds the grid's density along each
// axis, radius the star's size in direction units (about a pixel at 0.004).
float starLayer(Direction d, float cells, float chance, float radius, uint32_t seed) {
    float px = d.x * cells, py = d.y * cells, pz = d.z * cells;
    int cx = static_cast<int>(std::floor(px)), cy = static_cast<int>(std::floor(py)),
        cz = static_cast<int>(std::floor(pz));
    if (hash01(cx, cy, cz, seed) > chance)
        return 0;
    float sx = cx + 0.2f + 0.6f * hash01(cx, cy, cz, seed + 1);
    float sy = cy + 0.2f + 0.6f * hash01(cx, cy, cz, seed + 2);
    float sz = cz + 0.2f + 0.6f * hash01(cx, cy, cz, seed + 3);
    float distance = std::sqrt((px - sx) * (px - sx) + (py - sy) * (py - sy) + (pz - sz) * (pz - sz)) / cells;
    float brightness = 0.4f + 0.6f * hash01(cx, cy, cz, seed + 4);
    return brightness * std::exp(-(distance * distance) / (radius * radius));
}

Colour space(Direction d) {
    Colour c = rgb(0.006f, 0.008f, 0.025f);
    // Nebula clouds, violet shading to teal.
    float cloud = fbm3(d.x * 2.2f, d.y * 2.2f, d.z * 2.2f, 5, 901);
    float tint = fbm3(d.x * 3.5f + 7, d.y * 3.5f, d.z * 3.5f, 3, 902);
    float density = smoothstep(0.48f, 0.78f, cloud);
    c = add(c, scale(mix(rgb(0.45f, 0.10f, 0.55f), rgb(0.05f, 0.40f, 0.55f), tint), density * 0.75f));
    // The galaxy's band across the sky.
    Direction bandAxis = normalised(0.3f, 0.8f, -0.5f);
    float across = dot(d, bandAxis);
    float band = std::exp(-across * across / 0.03f) * (0.3f + 0.7f * fbm3(d.x * 6, d.y * 6, d.z * 6, 4, 903));
    c = add(c, scale(rgb(0.55f, 0.55f, 0.75f), band * 0.5f));
    float stars = starLayer(d, 150, 0.05f, 0.0035f, 910) + starLayer(d, 70, 0.10f, 0.0045f, 920) +
                  starLayer(d, 25, 0.30f, 0.007f, 930) + band * starLayer(d, 260, 0.12f, 0.003f, 940);
    c = add(c, scale(rgb(0.95f, 0.95f, 1.0f), stars));

    // A banded planet low in the view, lit from the left, and a small moon.
    Direction planet = normalised(0.3f, -0.42f, -0.86f);
    float planetRadius = 0.2f;
    float away = std::acos(std::fmin(1.0f, dot(d, planet)));
    if (away < planetRadius) {
        float ex = d.x - planet.x, ey = d.y - planet.y, ez = d.z - planet.z;
        float nx = ex / planetRadius, ny = ey / planetRadius;
        float depth = std::sqrt(std::fmax(0.0f, 1 - (nx * nx + ny * ny + ez * ez / (planetRadius * planetRadius))));
        float lit = clamp01(0.15f + 0.85f * (-nx * 0.8f + ny * 0.3f + depth * 0.5f));
        float stripes = 0.5f + 0.5f * std::sin(ey / planetRadius * 14 + fbm3(d.x * 20, d.y * 20, d.z * 20, 3, 950) * 3);
        Colour surface = mix(rgb(0.75f, 0.45f, 0.22f), rgb(0.95f, 0.80f, 0.55f), stripes);
        c = mix(c, scale(surface, lit), smoothstep(planetRadius, planetRadius - 0.004f, away));
    } else if (away < planetRadius * 1.25f) {
        c = add(c, scale(rgb(0.5f, 0.35f, 0.25f), 0.25f * smoothstep(planetRadius * 1.25f, planetRadius, away)));
    }
    Direction moon = normalised(-0.12f, -0.3f, -0.95f);
    float moonAway = std::acos(std::fmin(1.0f, dot(d, moon)));
    c = mix(c, rgb(0.70f, 0.72f, 0.78f), smoothstep(0.045f, 0.04f, moonAway));
    return rgb(clamp01(c.r), clamp01(c.g), clamp01(c.b));
}

// A face of the sky: each pixel from its direction. The canvas's rows run
// down the picture, the texture's t up it.
template <class F> Canvas paintFace(SkyFace face, F shade) {
    Canvas canvas(SKY_SIDE, SKY_SIDE);
    for (int y = 0; y < SKY_SIDE; y++)
        for (int x = 0; x < SKY_SIDE; x++)
            canvas.at(x, y) = shade(faceDirection(face, (x + 0.5f) / SKY_SIDE, 1 - (y + 0.5f) / SKY_SIDE));
    return canvas;
}

// How a backdrop's picture gives way to its folded self towards its border,
// in shares of its side from the border in: folded whole up to `folded`, the
// tiling picture whole from `tiled` on, the one fading into the other
// between. Where both show, each at part strength, features show twice and
// faintly: pictures of small sharp features fade over a short way, pictures
// of large soft shapes over a long one, so that no shape ends in a line.
struct BorderBand {
    float folded, tiled;
};
constexpr BorderBand SOFT_SHAPES = {0, 0.15f}, SHARP_FEATURES = {0.04f, 0.1f};

// A backdrop from a picture that tiles. At every edge of the box the
// picture's border meets its own border turned or mirrored: the sides meet
// left border to right border, the top and bottom faces meet each side's top
// or bottom border along any of their four, both ways round. So the border
// band is painted alike under all eight of the square's turns and mirrorings:
// it shows the picture folded into one eighth of the square (between a
// corner, the middle of an edge and the centre). Across an edge of the box
// the sky then goes on as its own mirror image.
template <class F> Canvas paintBackdrop(BorderBand band, F shade) {
    Canvas canvas(SKY_SIDE, SKY_SIDE);
    for (int y = 0; y < SKY_SIDE; y++)
        for (int x = 0; x < SKY_SIDE; x++) {
            const float u = (x + 0.5f) / SKY_SIDE, v = (y + 0.5f) / SKY_SIDE;
            const float a = std::fmin(u, 1 - u), b = std::fmin(v, 1 - v);
            const float fromBorder = std::fmin(a, b), along = std::fmax(a, b);
            const float folded = 1 - smoothstep(band.folded, band.tiled, fromBorder);
            canvas.at(x, y) = folded > 0 ? mix(shade(u, v), shade(fromBorder, along), folded) : shade(u, v);
        }
    return canvas;
}

// Scattered soft points, wrapping, for the skies that have stars or bubbles.
float scatteredDots(float u, float v, int grid, float chance, float radiusCells, uint32_t seed) {
    float gx = u * grid, gy = v * grid;
    int cx = static_cast<int>(std::floor(gx)), cy = static_cast<int>(std::floor(gy));
    float best = 0;
    for (int dy = -1; dy <= 1; dy++) {
        for (int dx = -1; dx <= 1; dx++) {
            int nx = cx + dx, ny = cy + dy;
            int wx = ((nx % grid) + grid) % grid, wy = ((ny % grid) + grid) % grid;
            if (hash01(wx, wy, 0, seed) > chance)
                continue;
            float px = nx + 0.2f + 0.6f * hash01(wx, wy, 1, seed);
            float py = ny + 0.2f + 0.6f * hash01(wx, wy, 2, seed);
            float size = radiusCells * (0.5f + hash01(wx, wy, 3, seed));
            float d = std::hypot(gx - px, gy - py) / size;
            best = std::fmax(best, std::exp(-d * d));
        }
    }
    return best;
}

}  // namespace

Canvas paintSpaceFace(SkyFace face) { return paintFace(face, space); }

Canvas paintCelestialCalm() {
    // Slow bands of indigo and teal, a lavender haze, a few quiet stars.
    return paintBackdrop(SOFT_SHAPES, [](float u, float v) {
        float drift = periodicFbm(u * 3, v * 3, 3, 4, 1001);
        float wave = 0.5f + 0.5f * std::sin(TAU * (2 * v + 0.12f * std::sin(TAU * u)) + drift * 3);
        Colour c = mix(rgb(0.05f, 0.06f, 0.22f), rgb(0.10f, 0.32f, 0.45f), wave);
        float haze = smoothstep(0.5f, 0.75f, periodicFbm(u * 2, v * 2, 2, 4, 1002));
        c = mix(c, rgb(0.55f, 0.48f, 0.75f), haze * 0.45f);
        float stars = scatteredDots(u, v, 24, 0.45f, 0.05f, 1003);
        return mix(c, rgb(1.0f, 0.97f, 0.90f), stars);
    });
}

Canvas paintMagmaLake() {
    // Black crust broken into plates over glowing rock, with molten pools.
    return paintBackdrop(SHARP_FEATURES, [](float u, float v) {
        float warp = periodicFbm(u * 4, v * 4, 4, 4, 1101);
        float nearest, second;
        periodicCells(u * 7 + warp * 0.8f, v * 7 + warp * 0.8f, 7, 1102, nearest, second);
        float crack = 1 - smoothstep(0.0f, 0.22f, second - nearest);
        float pool = smoothstep(0.58f, 0.68f, periodicFbm(u * 3, v * 3, 3, 5, 1103));
        float heat = clamp01(crack + pool);
        float grit = periodicFbm(u * 32, v * 32, 32, 2, 1104);
        Colour crust = mix(rgb(0.06f, 0.03f, 0.03f), rgb(0.20f, 0.10f, 0.07f), grit);
        Colour glow = heat < 0.5f ? mix(rgb(0.55f, 0.04f, 0.0f), rgb(1.0f, 0.45f, 0.0f), heat * 2)
                                  : mix(rgb(1.0f, 0.45f, 0.0f), rgb(1.0f, 0.92f, 0.45f), heat * 2 - 1);
        return mix(crust, glow, smoothstep(0.05f, 0.5f, heat));
    });
}

Canvas paintFishtank() {
    // Green-blue water, caustic ripples, shafts of light, rising bubbles.
    return paintBackdrop(SHARP_FEATURES, [](float u, float v) {
        float depth = 0.5f + 0.5f * std::cos(TAU * v);
        Colour c = mix(rgb(0.02f, 0.22f, 0.25f), rgb(0.08f, 0.52f, 0.50f), depth);
        float warp = periodicFbm(u * 4, v * 4, 4, 3, 1201);
        float nearest, second;
        periodicCells(u * 8 + warp, v * 8 + warp, 8, 1202, nearest, second);
        float caustic = 1 - smoothstep(0.0f, 0.16f, second - nearest);
        c = mix(c, rgb(0.70f, 1.0f, 0.90f), caustic * 0.55f);
        // Shafts of light slanting down through the water.
        float shaft = std::pow(0.5f + 0.5f * std::sin(TAU * (5 * u + v) + warp * 4), 6.0f);
        c = mix(c, rgb(0.55f, 0.90f, 0.80f), shaft * 0.35f);
        // Bubbles: a bright rim and a highlight, clear inside.
        float gx = u * 10, gy = v * 10;
        int cx = static_cast<int>(std::floor(gx)), cy = static_cast<int>(std::floor(gy));
        for (int dy = -1; dy <= 1; dy++) {
            for (int dx = -1; dx <= 1; dx++) {
                int wx = ((cx + dx) % 10 + 10) % 10, wy = ((cy + dy) % 10 + 10) % 10;
                if (hash01(wx, wy, 0, 1204) > 0.4f)
                    continue;
                float radius = 0.12f + 0.2f * hash01(wx, wy, 3, 1204);
                float bx = cx + dx + 0.3f + 0.4f * hash01(wx, wy, 1, 1204);
                float by = cy + dy + 0.3f + 0.4f * hash01(wx, wy, 2, 1204);
                float d = std::hypot(gx - bx, gy - by) / radius;
                float rim = std::exp(-(d - 1) * (d - 1) * 90);
                float shine = std::exp(-(std::pow(gx - bx + radius * 0.4f, 2) + std::pow(gy - by + radius * 0.4f, 2)) /
                                       (radius * radius * 0.02f));
                c = mix(c, rgb(0.90f, 1.0f, 1.0f), clamp01(rim * 0.8f + shine));
            }
        }
        return c;
    });
}

Canvas paintVoodooLounge() {
    // Warped plasma through a purple, magenta and gold palette.
    return paintBackdrop(SOFT_SHAPES, [](float u, float v) {
        float wx = periodicFbm(u * 3, v * 3, 3, 4, 1301), wy = periodicFbm(u * 3, v * 3, 3, 4, 1302);
        float swirl = std::sin(TAU * (2 * u + wx * 1.5f)) + std::sin(TAU * (3 * v + wy * 1.5f)) +
                      std::sin(TAU * (u + v + wx));
        float t = swirl / 6 + 0.5f;
        Colour c = rgb(0.5f + 0.5f * std::cos(TAU * (t + 0.80f)), 0.25f + 0.25f * std::cos(TAU * (1.6f * t + 0.45f)),
                       0.5f + 0.5f * std::cos(TAU * (t + 0.60f)));
        float ring = std::fabs(std::sin(TAU * t * 3));
        return mix(rgb(0.15f, 0.0f, 0.18f), c, smoothstep(0.08f, 0.3f, ring));
    });
}

Canvas paintBlueBlot() {
    // Ink blots folded like a Rorschach card: the noise is mirrored about the
    // picture's middle column, which also keeps the left and right edges equal.
    return paintBackdrop(SOFT_SHAPES, [](float u, float v) {
        float folded = std::fabs(u - 0.5f);
        float blot = periodicFbm(folded * 8, v * 8, 8, 5, 1401);
        float fibre = periodicFbm(u * 64, v * 64, 64, 2, 1402);
        Colour paper = mix(rgb(0.86f, 0.85f, 0.80f), rgb(0.96f, 0.95f, 0.90f), fibre);
        float ink = smoothstep(0.53f, 0.55f, blot);
        float pooled = smoothstep(0.58f, 0.66f, blot);
        Colour blue = mix(rgb(0.10f, 0.25f, 0.78f), rgb(0.02f, 0.06f, 0.35f), pooled);
        return mix(paper, blue, ink);
    });
}
