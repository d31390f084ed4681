// tests/unit/test_bitmap.cpp — the bitmap reader on hand-made files, the
// checkerboard, and the table of image files
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/textures.h"
#include "tests/support/battle.h"

namespace {

using Bytes = std::vector<unsigned char>;

void putLE(Bytes& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; i++)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// A bitmap header as the game's files have it, followed by count pixel bytes
// that count up in steps of 7.
Bytes bitmap(uint32_t width, uint32_t height, size_t count, uint32_t planes = 1, uint32_t bpp = 24) {
    Bytes out = {'B', 'M'};
    for (uint32_t field : {54 + static_cast<uint32_t>(count), 0u, 54u, 40u, width, height})
        putLE(out, field, 4);
    putLE(out, planes, 2);
    putLE(out, bpp, 2);
    out.resize(54, 0);
    for (size_t i = 0; i < count; i++)
        out.push_back(static_cast<unsigned char>(i * 7 + 1));
    return out;
}

class BitmapTest : public ::testing::Test {
protected:
    std::string folder;

    void SetUp() override {
        char name[] = "/tmp/kestrava-bitmap-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder = name;
    }

    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string write(const std::string& name, const Bytes& bytes) {
        std::string path = folder + "/" + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path;
    }

    // Loads path and returns what the reader printed; result gets its return value.
    std::string load(const std::string& path, Image& image, int& result, uint32_t maxSide = ANY_SIDE) {
        return captureOutput([&] { result = loadBitmap(path.c_str(), image, maxSide); });
    }
};

}  // namespace

TEST_F(BitmapTest, ReadsLittleEndianFirstByteLowest) {
    std::string path = write("numbers", {0x01, 0x02, 0x03, 0x04, 0xFE, 0x80});
    FILE* file = fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(readLE32(file), 0x04030201u);
    EXPECT_EQ(readLE16(file), 0x80FEu);
    // Past the end both bytes read as -1, which folds to 0xFEFF.
    EXPECT_EQ(readLE16(file), 65279u);
    fclose(file);
}

TEST_F(BitmapTest, PixelsComeOutRedGreenBlueBottomRowFirstWithoutRowPadding) {
    Bytes file = bitmap(4, 4, 48);
    file[54] = 0x01;
    file[55] = 0x02;
    file[56] = 0x03;
    const Bytes data(file.begin() + 54, file.end());
    Image image;
    int result = 0;
    EXPECT_EQ(load(write("four.bmp", file), image, result), "");
    ASSERT_EQ(result, 1);
    EXPECT_EQ(image.width, 4u);
    EXPECT_EQ(image.height, 4u);
    ASSERT_EQ(image.pixels.size(), 48u);
    // The bottom-left pixel: file order B, G, R; the last pixel swapped the same way.
    EXPECT_EQ(Bytes(image.pixels.begin(), image.pixels.begin() + 3), (Bytes{0x03, 0x02, 0x01}));
    EXPECT_EQ(Bytes(image.pixels.end() - 3, image.pixels.end()), (Bytes{data[47], data[46], data[45]}));

    // 3 × 2: rows of 9 bytes, read with no padding between them.
    file = bitmap(3, 2, 18);
    load(write("odd.bmp", file), image, result);
    ASSERT_EQ(result, 1);
    ASSERT_EQ(image.pixels.size(), 18u);
    EXPECT_EQ(image.pixels[9], file[54 + 11]);   // first pixel of the second row
    EXPECT_EQ(image.pixels[11], file[54 + 9]);
}

TEST_F(BitmapTest, EachFailureRowPrintsItsMessageAndLoadsNothing) {
    Bytes truncated = bitmap(4, 4, 0);   // ends before the planes field: two missing bytes
    truncated.resize(20);
    const std::string readError = "Error reading image data from %s.\n";
    struct Case { const char* name; Bytes file; std::string message; uint32_t maxSide = ANY_SIDE; };
    const Case cases[] = {
        {"planes.bmp", bitmap(4, 4, 48, 2), "Planes from %s is not 1: 2\n"},
        {"short.bmp", truncated, "Planes from %s is not 1: 65279\n"},
        {"deep.bmp", bitmap(4, 4, 64, 1, 32), "Bpp from %s is not 24: 32\n"},
        {"palette.bmp", bitmap(4, 4, 16, 1, 8), "Bpp from %s is not 24: 8\n"},
        {"cut.bmp", bitmap(4, 4, 47), readError},
        // 0x55555556 × 1 × 3 is 2 in 32 bits: two bytes of data would have
        // passed, and the upload would then have read a row of 4 GB.
        {"wrap.bmp", bitmap(0x55555556u, 1, 64), readError},
        // A top-down file: height -4 reads as 4294967292 rows.
        {"topdown.bmp", bitmap(4, static_cast<uint32_t>(-4), 48), readError},
        // Sides above the implementation's texture limit, either way round.
        {"wide.bmp", bitmap(8, 4, 96), readError, 4},
        {"tall.bmp", bitmap(4, 8, 96), readError, 4},
    };
    for (const Case& c : cases) {
        std::string path = write(c.name, c.file), expected = c.message;
        expected.replace(expected.find("%s"), 2, path);
        Image image;
        int result = 1;
        EXPECT_EQ(load(path, image, result, c.maxSide), expected);
        EXPECT_EQ(result, 0) << c.name;
        EXPECT_TRUE(image.pixels.empty()) << c.name;
    }
    std::string absent = folder + "/absent.bmp";
    Image image;
    int result = 1;
    EXPECT_EQ(load(absent, image, result), "File Not Found : " + absent + "\n");
    EXPECT_EQ(result, 0);
    // Sides at the limit load.
    EXPECT_EQ(load(folder + "/wide.bmp", image, result, 8), "");
    EXPECT_EQ(result, 1);
}

TEST(Checkerboard, EightTexelSquaresStartingBlack) {
    EXPECT_EQ(captureOutput([] { makeCheckerboard(64, 64); }), "Making checkerboard\n");
    struct Texel { int i, j, value; };
    for (Texel t : {Texel{0, 0, 0}, {8, 0, 255}, {0, 8, 255}, {8, 8, 0}, {7, 7, 0}, {63, 0, 255}, {63, 63, 0}})
        for (int channel = 0; channel < 3; channel++)
            EXPECT_EQ(checkerPixels[(t.j * 64 + t.i) * 3 + channel], t.value) << t.i << "," << t.j;
}

TEST(TextureTable, SixtySevenUploadsOfSixtyOneFilesInLoadOrder) {
    ASSERT_EQ(textureCount, 67);
    std::vector<int> numbers;
    std::set<std::string> files;
    for (int i = 0; i < textureCount; i++) {
        numbers.push_back(textureTable[i].number);
        files.insert(textureTable[i].path);
    }
    std::vector<int> expected = {1, 2, 3, 4, 5, 6, 7, 8, 11};
    for (int n = 20; n <= 31; n++) expected.push_back(n);
    expected.insert(expected.end(), {40, 41, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55,
                                     60, 70, 80, 90, 100, 150, 200, 201, 300, 301, 302, 303, 304, 305});
    for (int n = 320; n <= 331; n++) expected.push_back(n);
    for (int n = 340; n <= 350; n += 2) expected.push_back(n);
    EXPECT_EQ(numbers, expected);
    EXPECT_EQ(files.size(), 61u);
    EXPECT_STREQ(textureTable[0].path, "images/water.bmp");
    EXPECT_STREQ(textureTable[TEX_MENU_HEALING_SELECTED - TEX_MENU_ATTACK + 9].path,
                 "images/menu/healing-selected.bmp");
    // The second reads of the b-set's highlighted buttons.
    EXPECT_STREQ(textureTable[61].path, "images/menu/battack-selected.bmp");
    EXPECT_STREQ(textureTable[66].path, "images/menu/bhealing-selected.bmp");
}
