// tests/unit/test_bitmap.cpp — the bitmap reader on hand-made files, and the checkerboard
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/textures.h"
#include "tests/support/battle.h"

namespace {

using Bytes = std::vector<unsigned char>;

// A bitmap header as the game's files have it, followed by count pixel bytes
// that count up in steps of 7.
Bytes bitmap(uint32_t width, uint32_t height, size_t count, uint32_t planes = 1, uint32_t bpp = 24) {
    Bytes out = {'B', 'M'};
    auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; i++) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    };
    for (uint32_t field : {54 + static_cast<uint32_t>(count), 0u, 54u, 40u, width, height}) put(field, 4);
    put(planes, 2);
    put(bpp, 2);
    out.resize(54, 0);
    for (size_t i = 0; i < count; i++) out.push_back(static_cast<unsigned char>(i * 7 + 1));
    return out;
}

}  // namespace

class BitmapTest : public ::testing::Test {
protected:
    std::string folder = [] {
        char name[] = "/tmp/kestrava-bitmap-XXXXXX";
        return std::string(mkdtemp(name));
    }();
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string write(const std::string& name, const Bytes& bytes) {
        std::string path = folder + "/" + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path;
    }
    // Loads the file and returns what the reader printed; result gets its return value.
    static std::string load(const std::string& path, Image& image, int& result, uint32_t maxSide = ANY_SIDE) {
        return captureOutput([&] { result = loadBitmap(path.c_str(), image, maxSide); });
    }
};

// 3 × 2: rows of 9 bytes, read with no padding between them; file order B, G, R.
TEST_F(BitmapTest, PixelsComeOutRedGreenBlueWithoutRowPadding) {
    const Bytes file3x2 = bitmap(3, 2, 18);
    Image image;
    int result = 0;
    EXPECT_EQ(load(write("odd.bmp", file3x2), image, result), "");
    ASSERT_EQ(result, 1);
    EXPECT_TRUE(image.width == 3 && image.height == 2);
    Bytes expected;
    for (size_t i = 0; i < 18; i += 3) expected.insert(expected.end(), {file3x2[56 + i], file3x2[55 + i], file3x2[54 + i]});
    EXPECT_EQ(image.pixels, expected);
}

TEST_F(BitmapTest, EachFailurePrintsItsMessageAndLoadsNothing) {
    Bytes truncated = bitmap(4, 4, 0);   // ends before the planes field: two missing bytes
    truncated.resize(20);
    const std::string readError = "Error reading image data from %s.\n";
    const struct { const char* name; Bytes file; std::string message; uint32_t maxSide = ANY_SIDE; FileKind kind = TEXT; } cases[] = {
        {"planes.bmp", bitmap(4, 4, 48, 2), "Planes from %s is not 1: 2\n"},
        {"short.bmp", truncated, "Planes from %s is not 1: 65279\n"},   // past the end each byte reads as -1
        {"deep.bmp", bitmap(4, 4, 64, 1, 32), "Bpp from %s is not 24: 32\n"},
        {"cut.bmp", bitmap(4, 4, 47), readError},
        // 0x55555556 × 1 × 3 is 2 in 32 bits: two bytes of data would have
        // passed, and the upload would then have read a row of 4 GB.
        {"wrap.bmp", bitmap(0x55555556u, 1, 64), readError},
        {"topdown.bmp", bitmap(4, static_cast<uint32_t>(-4), 48), readError},   // 4294967292 rows
        {"wide.bmp", bitmap(8, 4, 96), readError, 4},   // sides above the texture limit, either way round
        {"tall.bmp", bitmap(4, 8, 96), readError, 4},
        {"vast.bmp", bitmap(MOST_BITMAP_SIDE + 1, 1, 3 * (MOST_BITMAP_SIDE + 1)), readError},   // the game's own limit
        {"absent.bmp", {}, "File Not Found : %s\n", ANY_SIDE, NO_FILE},
        // Refused at once, never waited on or read through.
        {"pipe.bmp", {}, "Error reading image data from %s: it is a pipe, not a file.\n", ANY_SIDE, PIPE},
        {"folder.bmp", {}, "Error reading image data from %s: it is a directory, not a file.\n", ANY_SIDE, FOLDER},
        {"zero.bmp", {}, "Error reading image data from %s: it is a device, not a file.\n", ANY_SIDE, DEVICE},
        {"huge.bmp", bitmap(MOST_BITMAP_SIDE, MOST_BITMAP_SIDE, 0), "Error reading image data from %s: it is larger than any picture the game takes (50331702 bytes).\n",
         ANY_SIDE, HUGE},
    };
    for (const auto& c : cases) {
        std::string path = folder + "/" + c.name, expected = c.message;
        // HUGE: one byte more than the largest picture's file.
        makeFileAt(path, c.kind, std::string(c.file.begin(), c.file.end()), 55 + 3ull * MOST_BITMAP_SIDE * MOST_BITMAP_SIDE);
        expected.replace(expected.find("%s"), 2, path);
        Image image;
        int result = 1;
        EXPECT_EQ(load(path, image, result, c.maxSide), expected);
        EXPECT_TRUE(result == 0 && image.pixels.empty()) << c.name;
    }
    Image image;
    int result = 0;
    load(folder + "/wide.bmp", image, result, 8);
    EXPECT_EQ(result, 1) << "sides at the limit load";
    load(write("longest.bmp", bitmap(MOST_BITMAP_SIDE, 1, 3 * MOST_BITMAP_SIDE)), image, result);
    EXPECT_EQ(result, 1) << "a side at the game's own limit loads";
}

TEST(Checkerboard, EightTexelSquaresStartingBlack) {
    EXPECT_EQ(captureOutput([] { makeCheckerboard(64, 64); }), "Making checkerboard\n");
    struct Texel { int i, j, value; };
    for (Texel t : {Texel{0, 0, 0}, {7, 7, 0}, {8, 0, 255}, {0, 8, 255}, {8, 8, 0}, {63, 0, 255}})
        EXPECT_EQ(checkerPixels[(t.j * 64 + t.i) * 3 + 2], t.value) << t.i << "," << t.j;
}
