// tests/unit/test_artwork.cpp — the generated pictures: every file the game
// loads is there, reads with our own reader, has its promised size, and
// looks the part where the game shows it
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "app/textures.h"
#include "tests/support/battle.h"

namespace {

// The size each picture is drawn at, by the way the game shows it: powers of
// two, as the GL wants, and widths a multiple of 4, as the reader wants.
std::array<uint32_t, 2> promisedSides(const std::string& path) {
    auto under = [&](const char* folder) { return path.rfind(folder, 0) == 0; };
    if (under("images/menu/")) return {256, 64};                 // 4:1 buttons
    if (under("images/attack/elect")) return {64, 256};          // the bolt runs along the height
    if (under("images/skybox/")) return {512, 512};
    if (path == "images/attack/missed.bmp" || path == "images/status.bmp") return {256, 256};
    if (path == "images/p1_choose.bmp" || path == "images/p2_choose.bmp") return {256, 256};
    if (path.find("_turn.bmp") != std::string::npos || path.find("_wins.bmp") != std::string::npos)
        return {512, 512};
    if (path == "images/Particle.bmp" || path == "images/Spark.bmp") return {64, 64};
    if (path == "images/mask1.bmp" || path == "images/image1.bmp") return {16, 16};
    return {128, 128};                                           // the six terrains
}

struct Picture {
    Image image;
    // (x, y) with y = 0 the bottom row, as texture coordinates run.
    const unsigned char* at(int x, int y) const { return &image.pixels[(static_cast<size_t>(y) * image.width + x) * 3]; }
    float luminance(int x, int y) const {
        const unsigned char* p = at(x, y);
        return 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2];
    }
    int width() const { return static_cast<int>(image.width); }
    int height() const { return static_cast<int>(image.height); }
};

const Picture& picture(const std::string& path) {
    static std::map<std::string, Picture> cache;
    auto found = cache.find(path);
    if (found != cache.end())
        return found->second;
    Picture& loaded = cache[path];
    std::string file = std::string(RUN_DIR) + "/" + path;
    std::string printed = captureOutput([&] { EXPECT_EQ(loadBitmap(file.c_str(), loaded.image), 1) << path; });
    EXPECT_EQ(printed, "") << path;
    return loaded;
}

int channelDifference(const unsigned char* a, const unsigned char* b) {
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

float meanDifference(const unsigned char* a, const unsigned char* b) {
    return (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2])) / 3.0f;
}

// Share of pixels where two same-sized pictures differ by more than 48 in a channel.
float differingShare(const Picture& a, const Picture& b) {
    int differing = 0;
    for (int y = 0; y < a.height(); y++)
        for (int x = 0; x < a.width(); x++)
            differing += channelDifference(a.at(x, y), b.at(x, y)) > 48;
    return static_cast<float>(differing) / (a.width() * a.height());
}

std::array<float, 3> meanColour(const Picture& p) {
    std::array<double, 3> sum = {0, 0, 0};
    for (int y = 0; y < p.height(); y++)
        for (int x = 0; x < p.width(); x++)
            for (int c = 0; c < 3; c++)
                sum[c] += p.at(x, y)[c];
    double n = p.width() * p.height();
    return {static_cast<float>(sum[0] / n), static_cast<float>(sum[1] / n), static_cast<float>(sum[2] / n)};
}

float meanLuminance(const Picture& p) {
    std::array<float, 3> m = meanColour(p);
    return 0.299f * m[0] + 0.587f * m[1] + 0.114f * m[2];
}

const char* TERRAINS[] = {"images/grass.bmp", "images/mountain.bmp", "images/desert.bmp",
                          "images/water.bmp", "images/electric.bmp", "images/chaos.bmp"};
const char* BANNERS[] = {"images/p1_begin_turn.bmp", "images/p1_end_turn.bmp", "images/p2_begin_turn.bmp",
                         "images/p2_end_turn.bmp", "images/p1_wins.bmp", "images/p2_wins.bmp"};
const char* MENU_ENTRIES[] = {"attack", "defend", "move", "skills", "magic", "healing"};

}  // namespace

TEST(Artwork, EveryFileOfTheTableIsDrawnAtItsPromisedSizeAndIsNotBlank) {
    for (int i = 0; i < textureCount; i++) {
        std::string path = textureTable[i].path;
        const Picture& p = picture(path);
        std::array<uint32_t, 2> sides = promisedSides(path);
        EXPECT_EQ(p.image.width, sides[0]) << path;
        EXPECT_EQ(p.image.height, sides[1]) << path;
        // Uncompressed: nothing after the pixel block the header announces.
        FILE* file = fopen((std::string(RUN_DIR) + "/" + path).c_str(), "rb");
        ASSERT_NE(file, nullptr) << path;
        fseek(file, 0, SEEK_END);
        EXPECT_EQ(ftell(file), 54 + static_cast<long>(sides[0]) * sides[1] * 3) << path;
        fclose(file);
        float darkest = 255, brightest = 0;
        for (int y = 0; y < p.height(); y++)
            for (int x = 0; x < p.width(); x++) {
                darkest = std::min(darkest, p.luminance(x, y));
                brightest = std::max(brightest, p.luminance(x, y));
            }
        EXPECT_GT(brightest - darkest, 40) << path;
    }
}

TEST(Artwork, BannersMenuButtonsAndTerrainsDifferFromEachOther) {
    auto allDiffer = [](const std::vector<std::string>& paths, float share) {
        for (size_t i = 0; i < paths.size(); i++)
            for (size_t j = i + 1; j < paths.size(); j++)
                EXPECT_GT(differingShare(picture(paths[i]), picture(paths[j])), share)
                    << paths[i] << " and " << paths[j];
    };
    allDiffer(std::vector<std::string>(std::begin(BANNERS), std::end(BANNERS)), 0.02f);
    allDiffer({"images/p1_choose.bmp", "images/p2_choose.bmp"}, 0.02f);
    std::vector<std::string> buttons;
    for (const char* entry : MENU_ENTRIES)
        for (const char* prefix : {"", "b"})
            for (const char* suffix : {".bmp", "-selected.bmp"})
                buttons.push_back(std::string("images/menu/") + prefix + entry + suffix);
    allDiffer(buttons, 0.01f);
    allDiffer(std::vector<std::string>(std::begin(TERRAINS), std::end(TERRAINS)), 0.3f);

    // Terrains also differ in their overall colour, so they tell apart at board scale.
    for (size_t i = 0; i < 6; i++)
        for (size_t j = i + 1; j < 6; j++) {
            std::array<float, 3> a = meanColour(picture(TERRAINS[i])), b = meanColour(picture(TERRAINS[j]));
            EXPECT_GT(std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]), 40) << TERRAINS[i] << " and " << TERRAINS[j];
        }
}

TEST(Artwork, TerrainsAndSingleImageSkiesTileWithoutSeams) {
    // Mean difference across the wrap-around seams against that of
    // neighbouring pixels inside the picture.
    std::vector<std::string> tiles(std::begin(TERRAINS), std::end(TERRAINS));
    for (const char* sky : {"sad_sea", "marzz", "fairyland", "quantum", "blue_blot"})
        tiles.push_back(std::string("images/skybox/") + sky + ".bmp");
    for (const std::string& path : tiles) {
        const Picture& p = picture(path);
        int w = p.width(), h = p.height();
        double seam = 0, interior = 0;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                (x == w - 1 ? seam : interior) += meanDifference(p.at(x, y), p.at((x + 1) % w, y));
                (y == h - 1 ? seam : interior) += meanDifference(p.at(x, y), p.at(x, (y + 1) % h));
            }
        EXPECT_LT(seam / (w + h), interior / (2.0 * w * h - w - h) * 1.5 + 2) << path;
    }
}

TEST(Artwork, SpaceFacesMeetAtTheirEdges) {
    // Where the borders s = 0, s = 1, t = 0 and t = 1 of each face meet another
    // face on the box: that face, which of its borders, and whether it runs the
    // other way there. Faces in the order front, back, left, right, up, down.
    struct Meeting { int face, border; bool reversed; };
    const Meeting meetings[6][4] = {
        {{3, 1, false}, {2, 0, false}, {5, 1, true}, {4, 1, false}},
        {{2, 1, false}, {3, 0, false}, {5, 0, false}, {4, 0, true}},
        {{0, 1, false}, {1, 0, false}, {5, 2, true}, {4, 3, true}},
        {{1, 1, false}, {0, 0, false}, {5, 3, false}, {4, 2, false}},
        {{1, 3, true}, {0, 3, false}, {3, 3, false}, {2, 3, true}},
        {{1, 2, false}, {0, 2, true}, {2, 2, true}, {3, 2, false}},
    };
    const char* names[6] = {"front", "back", "left", "right", "up", "down"};
    auto face = [&](int f) -> const Picture& { return picture(std::string("images/skybox/skybox_") + names[f] + ".bmp"); };
    auto onBorder = [](int border, int i, int n, int& x, int& y) {
        x = border == 0 ? 0 : border == 1 ? n - 1 : i;
        y = border == 2 ? 0 : border == 3 ? n - 1 : i;
    };
    for (int f = 0; f < 6; f++) {
        const Picture& p = face(f);
        int n = p.width();
        double seam = 0, interior = 0;
        for (int i = 0; i < n; i++)
            for (int border = 0; border < 4; border++) {
                const Meeting& m = meetings[f][border];
                int x, y, ox, oy;
                onBorder(border, i, n, x, y);
                onBorder(m.border, m.reversed ? n - 1 - i : i, n, ox, oy);
                seam += meanDifference(p.at(x, y), face(m.face).at(ox, oy));
                // The step one pixel inward, for comparison.
                int ix = x == 0 ? 1 : x == n - 1 ? n - 2 : x, iy = y == 0 ? 1 : y == n - 1 ? n - 2 : y;
                interior += meanDifference(p.at(x, y), p.at(ix, iy));
            }
        EXPECT_LT(seam / (4 * n), interior / (4 * n) * 1.5 + 2) << names[f];
    }
}

TEST(Artwork, HighlightedMenuButtonIsBrightAndTheOthersDim) {
    // The highlighted row shows the plain file tinted by its colour, the
    // other rows the "-selected" file untinted: the plain file must be
    // light enough for the tint to come through strongly.
    for (const char* entry : MENU_ENTRIES) {
        EXPECT_GT(meanLuminance(picture(std::string("images/menu/") + entry + ".bmp")), 150) << entry;
        EXPECT_LT(meanLuminance(picture(std::string("images/menu/") + entry + "-selected.bmp")), 70) << entry;
    }
}

TEST(Artwork, StatusLabelsSitLeftOfWhereTheNumbersAreDrawn) {
    // The panel covers (-1.2, -1) to (-0.6, -0.4) on the overlay plane; the
    // numbers start at x = -0.82 on baselines y = -0.6, -0.7 and -0.81, and
    // are about 14 texels high at that scale.
    const Picture& p = picture("images/status.bmp");
    int numbersStart = static_cast<int>((-0.82f + 1.2f) / 0.6f * 256);
    for (float baseline : {-0.6f, -0.7f, -0.81f}) {
        int bottom = static_cast<int>((baseline + 1.0f) / 0.6f * 256);
        int labelInk = 0, numberInk = 0;
        for (int y = bottom; y < bottom + 14; y++) {
            for (int x = numbersStart - 60; x < numbersStart - 4; x++)
                labelInk += p.luminance(x, y) < 60;
            for (int x = numbersStart; x < numbersStart + 80; x++)
                numberInk += p.luminance(x, y) < 60;
        }
        EXPECT_GT(labelInk, 20) << "label at " << baseline;
        EXPECT_EQ(numberInk, 0) << "numbers at " << baseline;
    }
}

TEST(Artwork, MultipliedOverlaysAreWhiteWhereTheSceneShows) {
    for (const char* path : {"images/status.bmp", "images/attack/missed.bmp", "images/p1_choose.bmp",
                             "images/p2_choose.bmp"}) {
        const Picture& p = picture(path);
        EXPECT_GT(p.luminance(0, 0), 250) << path;
        for (int x : {0, p.width() - 1})
            for (int y : {0, p.height() - 1})
                EXPECT_EQ(channelDifference(p.at(x, y), p.at(0, 0)), 0) << path;
        int ink = 0;
        for (int y = 0; y < p.height(); y++)
            for (int x = 0; x < p.width(); x++)
                ink += p.luminance(x, y) < 40;
        EXPECT_GT(ink, p.width() * p.height() / 200) << path << " has dark writing to multiply in";
    }
}

TEST(Artwork, SpritesAreBrightOnBlackAndBoltMasksAreTheirNegative) {
    for (const char* path : {"images/Particle.bmp", "images/Spark.bmp"}) {
        const Picture& p = picture(path);
        EXPECT_LT(std::max(p.luminance(0, 0), p.luminance(p.width() - 1, p.height() - 1)), 2) << path;
        EXPECT_GT(p.luminance(p.width() / 2, p.height() / 2), 240) << path;
    }
    for (int frame = 1; frame <= 3; frame++) {
        std::string n = std::to_string(frame);
        const Picture& bolt = picture("images/attack/elect" + n + ".bmp");
        const Picture& mask = picture("images/attack/elect" + n + "i.bmp");
        int boltPixels = 0, covered = 0;
        bool nearBottom = false, nearTop = false;
        for (int y = 0; y < bolt.height(); y++)
            for (int x = 0; x < bolt.width(); x++)
                if (bolt.luminance(x, y) > 200) {
                    boltPixels++;
                    covered += mask.luminance(x, y) < 60;
                    nearBottom |= y < 8;
                    nearTop |= y >= bolt.height() - 8;
                }
        EXPECT_GT(boltPixels, 300) << n;
        EXPECT_EQ(covered, boltPixels) << "the mask darkens every bright pixel of frame " << n;
        EXPECT_TRUE(nearBottom && nearTop) << "frame " << n << " runs the whole length";
        EXPECT_LT(bolt.luminance(0, 0), 10);
        EXPECT_GT(mask.luminance(0, 0), 245);
    }
}
