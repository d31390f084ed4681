// tests/unit/test_artwork.cpp — the generated pictures that repeat tile without seams (how every picture
// looks where the game shows it is in the reference frames)
#include <cmath>
#include <cstdlib>
#include <string>

#include "app/textures.h"
#include "tests/support/battle.h"

namespace {

float meanDifference(const unsigned char* a, const unsigned char* b) {
    return (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2])) / 3.0f;
}

}  // namespace

// The board repeats a terrain on every square of its kind, and a one-image
// sky on every face: the step across the wrap-around seam is no larger than
// the steps between neighbouring pixels inside the picture.
TEST(Artwork, TerrainsAndOneImageSkiesTileWithoutSeams) {
    for (const char* name : {"grass", "mountain", "desert", "water", "electric", "chaos", "skybox/sad_sea",
                             "skybox/marzz", "skybox/fairyland", "skybox/quantum", "skybox/blue_blot"}) {
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
