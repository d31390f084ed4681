// tests/unit/test_artwork.cpp — the generated pictures: every file the game loads is there at the size it
// is drawn at, reads with our own reader, and works the way the game blends it
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

// Panels that multiply the scene by their picture are white where the scene
// shows through; sprites added onto it are black where nothing shows; each
// bolt frame's mask is dark wherever the bolt is bright.
TEST(Artwork, BlendedPicturesAreWhiteOrBlackWhereTheSceneShows) {
    const std::pair<const char*, float> corners[] = {
        {"images/status.bmp", 255}, {"images/attack/missed.bmp", 255}, {"images/p1_choose.bmp", 255},
        {"images/p2_choose.bmp", 255}, {"images/Particle.bmp", 0}, {"images/Spark.bmp", 0}};
    for (const auto& [path, background] : corners) {
        const Picture& p = picture(path);
        for (int x : {0, p.width() - 1})
            for (int y : {0, p.height() - 1}) EXPECT_NEAR(p.luminance(x, y), background, 2) << path;
    }
    for (const char* frame : {"1", "2", "3"}) {
        const Picture& bolt = picture(std::string("images/attack/elect") + frame + ".bmp");
        const Picture& mask = picture(std::string("images/attack/elect") + frame + "i.bmp");
        int bright = 0, covered = 0;
        for (int y = 0; y < bolt.height(); y++)
            for (int x = 0; x < bolt.width(); x++)
                if (bolt.luminance(x, y) > 200) {
                    bright++;
                    covered += mask.luminance(x, y) < 60;
                }
        EXPECT_GT(bright, 300) << frame;
        EXPECT_EQ(covered, bright) << "the mask darkens every bright pixel of frame " << frame;
    }
}
