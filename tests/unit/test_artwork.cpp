// tests/unit/test_artwork.cpp — the generated pictures: every file the game loads is there at the size it
// is drawn at, reads with our own reader, and the pictures that repeat tile without seams (how they look
// where the game shows them is in the reference frames)
#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/textures.h"
#include "tests/support/battle.h"

namespace {

// Powers of two, as the GL wants, and widths a multiple of 4, as the reader wants.
std::array<uint32_t, 2> promisedSides(const std::string& path) {
    auto has = [&](const char* part) { return path.find(part) != std::string::npos; };
    if (has("/menu/")) return {256, 64};                 // 4:1 buttons
    if (has("attack/elect")) return {64, 256};                 // the bolt runs along the height
    if (has("/skybox/") || has("_turn") || has("_wins")) return {512, 512};
    if (has("missed") || has("status") || has("choose")) return {256, 256};
    if (has("Particle") || has("Spark")) return {64, 64};
    if (has("mask1") || has("image1")) return {16, 16};
    return {128, 128};                                   // the six terrains
}

struct Picture {
    Image image;
    int width() const { return static_cast<int>(image.width); }
    int height() const { return static_cast<int>(image.height); }
    // (x, y) with y = 0 the bottom row, as texture coordinates run.
    const unsigned char* at(int x, int y) const { return &image.pixels[(static_cast<size_t>(y) * image.width + x) * 3]; }
    float luminance(int x, int y) const { return 0.299f * at(x, y)[0] + 0.587f * at(x, y)[1] + 0.114f * at(x, y)[2]; }
};

const Picture& picture(const std::string& path) {
    static std::map<std::string, Picture> cache;
    if (!cache.count(path)) {
        std::string file = std::string(RUN_DIR) + "/" + path;
        EXPECT_EQ(captureOutput([&] { EXPECT_EQ(loadBitmap(file.c_str(), cache[path].image), 1) << path; }), "");
    }
    return cache[path];
}

float meanDifference(const unsigned char* a, const unsigned char* b) {
    return (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2])) / 3.0f;
}

}  // namespace

TEST(Artwork, EveryFileOfTheTableIsDrawnAtItsPromisedSizeAndIsNotBlank) {
    for (int i = 0; i < textureCount; i++) {
        const std::string path = textureTable[i].path;
        const Picture& p = picture(path);
        EXPECT_EQ(p.image.width, promisedSides(path)[0]) << path;
        EXPECT_EQ(p.image.height, promisedSides(path)[1]) << path;
        EXPECT_EQ(std::filesystem::file_size(std::string(RUN_DIR) + "/" + path), 54 + p.image.pixels.size()) << path;
        float darkest = 255, brightest = 0;
        for (int y = 0; y < p.height(); y++)
            for (int x = 0; x < p.width(); x++) {
                darkest = std::min(darkest, p.luminance(x, y));
                brightest = std::max(brightest, p.luminance(x, y));
            }
        EXPECT_GT(brightest - darkest, 40) << path;
    }
}

// The board repeats a terrain on every square of its kind, and a one-image
// sky on every face: the step across the wrap-around seam is no larger than
// the steps between neighbouring pixels inside the picture.
TEST(Artwork, TerrainsAndOneImageSkiesTileWithoutSeams) {
    for (const char* name : {"grass", "mountain", "desert", "water", "electric", "chaos", "skybox/sad_sea",
                             "skybox/marzz", "skybox/fairyland", "skybox/quantum", "skybox/blue_blot"}) {
        const Picture& p = picture(std::string("images/") + name + ".bmp");
        const int w = p.width(), h = p.height();
        double seam = 0, interior = 0;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                (x == w - 1 ? seam : interior) += meanDifference(p.at(x, y), p.at((x + 1) % w, y));
                (y == h - 1 ? seam : interior) += meanDifference(p.at(x, y), p.at(x, (y + 1) % h));
            }
        EXPECT_LT(seam / (w + h), interior / (2.0 * w * h - w - h) * 1.5 + 2) << name;
    }
}
