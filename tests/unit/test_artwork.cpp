// tests/unit/test_artwork.cpp — the generated pictures that repeat tile without seams (how every picture
// looks where the game shows it is in the reference frames)
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "app/textures.h"
#include "render/sky_faces.h"
#include "tests/support/battle.h"

namespace {

float meanDifference(const unsigned char* a, const unsigned char* b) {
    return (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2])) / 3.0f;
}

}  // namespace

// The step across a terrain picture's wrap-around seam is no larger than those inside it.
TEST(Artwork, TerrainsTileWithoutSeams) {
    for (const char* name : {"grass", "mountain", "desert", "water", "electric", "chaos"}) {
        const std::string file = std::string(RUN_DIR) + "/images/" + name + ".bmp";
        Image p;
        EXPECT_EQ(captureOutput([&] { EXPECT_EQ(loadBitmap(file.c_str(), p), 1) << name; }), "");
        const int w = static_cast<int>(p.width), h = static_cast<int>(p.height);
        auto at = [&](int x, int y) { return &p.pixels[(static_cast<size_t>(y) * w + x) * 3]; };
        double seam = 0, interior = 0;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                (x == w - 1 ? seam : interior) += meanDifference(at(x, y), at((x + 1) % w, y));
                (y == h - 1 ? seam : interior) += meanDifference(at(x, y), at(x, (y + 1) % h));
            }
        EXPECT_LT(seam / (w + h), interior / (2.0 * w * h - w - h) * 1.5 + 2) << name;
    }
}

namespace {

// The face of the cube the point lies on, and where on its picture, as the
// sky box lays it (render/sky_faces.h); the point pushed out onto the cube first.
void onCube(const float point[3], int& face, float& s, float& t) {
    const float m = std::fmax(std::fabs(point[0]), std::fmax(std::fabs(point[1]), std::fabs(point[2])));
    const float q[3] = {point[0] / m, point[1] / m, point[2] / m};
    for (face = 0; face < 6; face++) {
        float origin[3], alongS[3], alongT[3];
        skyFacePoint(face, 0, 0, origin);
        skyFacePoint(face, 1, 0, alongS);
        skyFacePoint(face, 0, 1, alongT);
        int fixedAxis = 0;
        while (alongS[fixedAxis] != origin[fixedAxis] || alongT[fixedAxis] != origin[fixedAxis]) fixedAxis++;
        if (std::fabs(q[fixedAxis] - origin[fixedAxis]) > 1e-5f) continue;
        s = t = 0;
        for (int i = 0; i < 3; i++) {
            s += (q[i] - origin[i]) * (alongS[i] - origin[i]) / 4;
            t += (q[i] - origin[i]) * (alongT[i] - origin[i]) / 4;
        }
        return;
    }
}

}  // namespace

// Across each of a sky box's twelve edges, the step from one face to the next is no larger
// than the steps between neighbouring pixels inside the faces: for the six-face look, and
// for each backdrop, whose one picture the box lays on every face.
TEST(Artwork, EveryBackdropsFacesMeetWithoutSeams) {
    const char* const faceNames[6] = {"front", "back", "left", "right", "up", "down"};
    for (const std::string sky : {"skybox", "sad_sea", "marzz", "fairyland", "quantum", "blue_blot"}) {
        Image faces[6];
        for (int f = 0; f < 6; f++) {
            const std::string file = std::string(RUN_DIR) + "/images/skybox/" + sky +
                                     (sky == "skybox" ? std::string("_") + faceNames[f] : "") + ".bmp";
            EXPECT_EQ(captureOutput([&] { ASSERT_EQ(loadBitmap(file.c_str(), faces[f]), 1) << file; }), "");
        }
        const int n = static_cast<int>(faces[0].width);
        auto at = [&](int f, int x, int y) { return &faces[f].pixels[(static_cast<size_t>(y) * n + x) * 3]; };
        double seam = 0, interior = 0;
        long seamPairs = 0, interiorPairs = 0;
        for (int f = 0; f < 6; f++)
            for (int y = 0; y < n; y++)
                for (int x = 0; x < n; x++) {
                    if (x + 1 < n) interior += meanDifference(at(f, x, y), at(f, x + 1, y)), interiorPairs++;
                    if (y + 1 < n) interior += meanDifference(at(f, x, y), at(f, x, y + 1)), interiorPairs++;
                    // Across the edge beside a border pixel: a pixel further on, in the face's plane.
                    const int steps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
                    for (const auto& step : steps) {
                        const int nx = x + step[0], ny = y + step[1];
                        if (nx >= 0 && nx < n && ny >= 0 && ny < n) continue;
                        float point[3], s = 0, t = 0;
                        int other;
                        skyFacePoint(f, (nx + 0.5f) / n, (ny + 0.5f) / n, point);
                        onCube(point, other, s, t);
                        ASSERT_LT(other, 6) << sky;
                        const int ox = std::clamp(static_cast<int>(s * n), 0, n - 1);
                        const int oy = std::clamp(static_cast<int>(t * n), 0, n - 1);
                        seam += meanDifference(at(f, x, y), at(other, ox, oy));
                        seamPairs++;
                    }
                }
        EXPECT_LT(seam / seamPairs, interior / interiorPairs * 1.5 + 2) << sky;
    }
}
