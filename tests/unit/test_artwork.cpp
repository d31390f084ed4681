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

struct Sides {
    uint32_t width, height;
};

// The size each picture is drawn at, by the way the game shows it.
Sides promisedSides(const std::string& path) {
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

float meanLuminance(const Picture& p) {
    double sum = 0;
    for (int y = 0; y < p.height(); y++)
        for (int x = 0; x < p.width(); x++)
            sum += p.luminance(x, y);
    return static_cast<float>(sum / (p.width() * p.height()));
}

// Mean difference across the wrap-around seams against the mean difference
// of neighbouring pixels inside the picture.
void seamAndInterior(const Picture& p, float& seam, float& interior) {
    double seamSum = 0, interiorSum = 0;
    int seamCount = 0, interiorCount = 0;
    int w = p.width(), h = p.height();
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            float right = meanDifference(p.at(x, y), p.at((x + 1) % w, y));
            float up = meanDifference(p.at(x, y), p.at(x, (y + 1) % h));
            if (x == w - 1) { seamSum += right; seamCount++; } else { interiorSum += right; interiorCount++; }
            if (y == h - 1) { seamSum += up; seamCount++; } else { interiorSum += up; interiorCount++; }
        }
    }
    seam = static_cast<float>(seamSum / seamCount);
    interior = static_cast<float>(interiorSum / interiorCount);
}

const char* TERRAINS[] = {"images/grass.bmp", "images/mountain.bmp", "images/desert.bmp",
                          "images/water.bmp", "images/electric.bmp", "images/chaos.bmp"};
const char* BANNERS[] = {"images/p1_begin_turn.bmp", "images/p1_end_turn.bmp", "images/p2_begin_turn.bmp",
                         "images/p2_end_turn.bmp", "images/p1_wins.bmp", "images/p2_wins.bmp"};
const char* MENU_ENTRIES[] = {"attack", "defend", "move", "skills", "magic", "healing"};

}  // namespace

TEST(Artwork, EveryFileOfTheTableIsDrawnAtItsPromisedSize) {
    for (int i = 0; i < textureCount; i++) {
        std::string path = textureTable[i].path;
        const Picture& p = picture(path);
        Sides sides = promisedSides(path);
        EXPECT_EQ(p.image.width, sides.width) << path;
        EXPECT_EQ(p.image.height, sides.height) << path;
        // The reader takes rows unpadded and the GL wants powers of two.
        EXPECT_EQ(p.image.width % 4, 0u) << path;
        EXPECT_EQ(p.image.width & (p.image.width - 1), 0u) << path;
        EXPECT_EQ(p.image.height & (p.image.height - 1), 0u) << path;
        // Uncompressed: nothing after the pixel block the header announces.
        FILE* file = fopen((std::string(RUN_DIR) + "/" + path).c_str(), "rb");
        ASSERT_NE(file, nullptr) << path;
        fseek(file, 0, SEEK_END);
        EXPECT_EQ(ftell(file), 54 + static_cast<long>(sides.width) * sides.height * 3) << path;
        fclose(file);
    }
}

TEST(Artwork, NoPictureIsBlank) {
    for (int i = 0; i < textureCount; i++) {
        const Picture& p = picture(textureTable[i].path);
        float darkest = 255, brightest = 0;
        for (int y = 0; y < p.height(); y++)
            for (int x = 0; x < p.width(); x++) {
                darkest = std::min(darkest, p.luminance(x, y));
                brightest = std::max(brightest, p.luminance(x, y));
            }
        EXPECT_GT(brightest - darkest, 40) << textureTable[i].path;
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
}

TEST(Artwork, TerrainsAreClearlyDifferentInColour) {
    std::vector<std::array<float, 3>> means;
    for (const char* path : TERRAINS) {
        const Picture& p = picture(path);
        std::array<float, 3> sum = {0, 0, 0};
        for (int y = 0; y < p.height(); y++)
            for (int x = 0; x < p.width(); x++)
                for (int c = 0; c < 3; c++)
                    sum[c] += p.at(x, y)[c];
        for (float& s : sum)
            s /= p.width() * p.height();
        means.push_back(sum);
    }
    for (size_t i = 0; i < means.size(); i++)
        for (size_t j = i + 1; j < means.size(); j++) {
            float distance = std::hypot(means[i][0] - means[j][0], means[i][1] - means[j][1], means[i][2] - means[j][2]);
            EXPECT_GT(distance, 40) << TERRAINS[i] << " and " << TERRAINS[j];
        }
}

TEST(Artwork, TerrainsAndSingleImageSkiesTileWithoutSeams) {
    std::vector<std::string> tiles(std::begin(TERRAINS), std::end(TERRAINS));
    for (const char* sky : {"sad_sea", "marzz", "fairyland", "quantum", "blue_blot"})
        tiles.push_back(std::string("images/skybox/") + sky + ".bmp");
    for (const std::string& path : tiles) {
        float seam, interior;
        seamAndInterior(picture(path), seam, interior);
        EXPECT_LT(seam, interior * 1.5f + 2) << path;
    }
}

TEST(Artwork, SpaceFacesMeetAtTheirEdges) {
    // The corners of each face on a cube from -1 to 1, with the texture
    // coordinate the skybox gives each: front, back, left, right, up, down.
    struct Corner { float s, t, x, y, z; };
    const Corner faces[6][4] = {
        {{1, 0, -1, -1, 1}, {1, 1, -1, 1, 1}, {0, 1, 1, 1, 1}, {0, 0, 1, -1, 1}},
        {{1, 0, 1, -1, -1}, {1, 1, 1, 1, -1}, {0, 1, -1, 1, -1}, {0, 0, -1, -1, -1}},
        {{1, 1, -1, 1, -1}, {0, 1, -1, 1, 1}, {0, 0, -1, -1, 1}, {1, 0, -1, -1, -1}},
        {{0, 0, 1, -1, -1}, {1, 0, 1, -1, 1}, {1, 1, 1, 1, 1}, {0, 1, 1, 1, -1}},
        {{0, 0, 1, 1, -1}, {1, 0, 1, 1, 1}, {1, 1, -1, 1, 1}, {0, 1, -1, 1, -1}},
        {{0, 0, -1, -1, -1}, {1, 0, -1, -1, 1}, {1, 1, 1, -1, 1}, {0, 1, 1, -1, -1}},
    };
    struct Frame { float origin[3], alongS[3], alongT[3]; };
    Frame frames[6];
    for (int f = 0; f < 6; f++) {
        const Corner* at[2][2] = {};
        for (const Corner& c : faces[f])
            at[static_cast<int>(c.s)][static_cast<int>(c.t)] = &c;
        const Corner *o = at[0][0], *s = at[1][0], *t = at[0][1];
        frames[f] = {{o->x, o->y, o->z}, {s->x - o->x, s->y - o->y, s->z - o->z}, {t->x - o->x, t->y - o->y, t->z - o->z}};
    }
    auto point = [&](int f, float s, float t, float out[3]) {
        for (int k = 0; k < 3; k++)
            out[k] = frames[f].origin[k] + s * frames[f].alongS[k] + t * frames[f].alongT[k];
    };
    // The face other than f whose square holds q, and q's texture coordinate there.
    auto locate = [&](int f, const float q[3], int& g, float& s, float& t) {
        for (g = 0; g < 6; g++) {
            if (g == f)
                continue;
            float d[3], ss = 0, st = 0, ls = 0, lt = 0;
            for (int k = 0; k < 3; k++) {
                d[k] = q[k] - frames[g].origin[k];
                ss += d[k] * frames[g].alongS[k];
                st += d[k] * frames[g].alongT[k];
                ls += frames[g].alongS[k] * frames[g].alongS[k];
                lt += frames[g].alongT[k] * frames[g].alongT[k];
            }
            s = ss / ls;
            t = st / lt;
            float back[3];
            point(g, s, t, back);
            if (std::fabs(back[0] - q[0]) + std::fabs(back[1] - q[1]) + std::fabs(back[2] - q[2]) < 1e-4f)
                return;
        }
        FAIL() << "no face holds the edge point";
    };
    const char* names[6] = {"front", "back", "left", "right", "up", "down"};
    for (int f = 0; f < 6; f++) {
        const Picture& p = picture(std::string("images/skybox/skybox_") + names[f] + ".bmp");
        int n = p.width();
        double seam = 0, interior = 0;
        int count = 0;
        for (int i = 0; i < n; i++) {
            float along = (i + 0.5f) / n;
            // The four borders: s = 0, s = 1, t = 0, t = 1.
            const float edges[4][2] = {{0, along}, {1, along}, {along, 0}, {along, 1}};
            for (const auto& e : edges) {
                int x = std::min(static_cast<int>(e[0] * n), n - 1), y = std::min(static_cast<int>(e[1] * n), n - 1);
                float q[3];
                point(f, e[0], e[1], q);
                int g = 0;
                float s = 0, t = 0;
                locate(f, q, g, s, t);
                const Picture& other = picture(std::string("images/skybox/skybox_") + names[g] + ".bmp");
                int ox = std::min(std::max(static_cast<int>(s * n), 0), n - 1);
                int oy = std::min(std::max(static_cast<int>(t * n), 0), n - 1);
                seam += meanDifference(p.at(x, y), other.at(ox, oy));
                // The step one pixel inward, for comparison.
                int ix = x == 0 ? 1 : x == n - 1 ? n - 2 : x, iy = y == 0 ? 1 : y == n - 1 ? n - 2 : y;
                interior += meanDifference(p.at(x, y), p.at(ix, iy));
                count++;
            }
        }
        EXPECT_LT(seam / count, interior / count * 1.5 + 2) << names[f];
    }
}

TEST(Artwork, HighlightedMenuButtonIsBrightAndTheOthersDim) {
    // The highlighted row shows the plain file tinted by its colour, the
    // other rows the "-selected" file untinted: the plain file must be
    // light enough for the tint to come through strongly.
    for (const char* entry : MENU_ENTRIES) {
        float plain = meanLuminance(picture(std::string("images/menu/") + entry + ".bmp"));
        float dim = meanLuminance(picture(std::string("images/menu/") + entry + "-selected.bmp"));
        EXPECT_GT(plain, 150) << entry;
        EXPECT_LT(dim, 70) << entry;
    }
}

TEST(Artwork, StatusLabelsSitLeftOfWhereTheNumbersAreDrawn) {
    // The panel covers (-1.2, -1) to (-0.6, -0.4) on the overlay plane; the
    // numbers start at x = -0.82 on baselines y = -0.6, -0.7 and -0.81, and
    // are about 14 texels high at that scale.
    const Picture& p = picture("images/status.bmp");
    auto column = [](float x) { return static_cast<int>((x + 1.2f) / 0.6f * 256); };
    auto row = [](float y) { return static_cast<int>((y + 1.0f) / 0.6f * 256); };
    for (float baseline : {-0.6f, -0.7f, -0.81f}) {
        int bottom = row(baseline), top = bottom + 14;
        int labelInk = 0, numberInk = 0;
        for (int y = bottom; y < top; y++) {
            for (int x = column(-0.82f) - 60; x < column(-0.82f) - 4; x++)
                labelInk += p.luminance(x, y) < 60;
            for (int x = column(-0.82f); x < column(-0.82f) + 80; x++)
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
        for (int x : {0, p.width() - 1})
            for (int y : {0, p.height() - 1})
                EXPECT_EQ(channelDifference(p.at(x, y), p.at(0, 0)), 0) << path;
        EXPECT_GT(p.luminance(0, 0), 250) << path;
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
        EXPECT_LT(p.luminance(0, 0), 2) << path;
        EXPECT_LT(p.luminance(p.width() - 1, p.height() - 1), 2) << path;
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
