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

// A bitmap header as the game's files have it, followed by the given pixel bytes.
Bytes bitmap(uint32_t width, uint32_t height, const Bytes& pixelBytes, uint32_t planes = 1, uint32_t bpp = 24) {
    Bytes out = {'B', 'M'};
    putLE(out, 54 + static_cast<uint32_t>(pixelBytes.size()), 4);
    putLE(out, 0, 4);
    putLE(out, 54, 4);
    putLE(out, 40, 4);
    putLE(out, width, 4);
    putLE(out, height, 4);
    putLE(out, planes, 2);
    putLE(out, bpp, 2);
    for (int i = 0; i < 6; i++)
        putLE(out, 0, 4);
    out.insert(out.end(), pixelBytes.begin(), pixelBytes.end());
    return out;
}

Bytes counting(size_t count) {
    Bytes b(count);
    for (size_t i = 0; i < count; i++)
        b[i] = static_cast<unsigned char>(i * 7 + 1);
    return b;
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

TEST_F(BitmapTest, PixelsComeOutRedGreenBlueBottomRowFirst) {
    Bytes data = counting(4 * 4 * 3);
    data[0] = 0x01;
    data[1] = 0x02;
    data[2] = 0x03;
    std::string path = write("four.bmp", bitmap(4, 4, data));
    Image image;
    int result = 0;
    EXPECT_EQ(load(path, image, result), "");
    ASSERT_EQ(result, 1);
    EXPECT_EQ(image.width, 4u);
    EXPECT_EQ(image.height, 4u);
    ASSERT_EQ(image.pixels.size(), 48u);
    EXPECT_EQ(image.pixels[0], 0x03);   // the bottom-left pixel: file order B, G, R
    EXPECT_EQ(image.pixels[1], 0x02);
    EXPECT_EQ(image.pixels[2], 0x01);
    EXPECT_EQ(image.pixels[45], data[47]);   // the last pixel swapped the same way
    EXPECT_EQ(image.pixels[46], data[46]);
    EXPECT_EQ(image.pixels[47], data[45]);
}

TEST_F(BitmapTest, WidthWhoseRowIsNotFourBytesReadsPacked) {
    // 3 × 2: rows of 9 bytes, read with no padding between them.
    Bytes data = counting(18);
    std::string path = write("odd.bmp", bitmap(3, 2, data));
    Image image;
    int result = 0;
    load(path, image, result);
    ASSERT_EQ(result, 1);
    ASSERT_EQ(image.pixels.size(), 18u);
    EXPECT_EQ(image.pixels[9], data[11]);   // first pixel of the second row
    EXPECT_EQ(image.pixels[11], data[9]);
}

TEST_F(BitmapTest, MissingFileIsReportedNotFound) {
    std::string path = folder + "/absent.bmp";
    Image image;
    int result = 1;
    EXPECT_EQ(load(path, image, result), "File Not Found : " + path + "\n");
    EXPECT_EQ(result, 0);
}

TEST_F(BitmapTest, PlanesOtherThanOneAreRefused) {
    std::string path = write("planes.bmp", bitmap(4, 4, counting(48), 2));
    Image image;
    int result = 1;
    EXPECT_EQ(load(path, image, result), "Planes from " + path + " is not 1: 2\n");
    EXPECT_EQ(result, 0);

    // A file that ends before the planes field reads it from two missing bytes.
    Bytes truncated = bitmap(4, 4, {});
    truncated.resize(20);
    path = write("short.bmp", truncated);
    EXPECT_EQ(load(path, image, result), "Planes from " + path + " is not 1: 65279\n");
    EXPECT_EQ(result, 0);
}

TEST_F(BitmapTest, BitsPerPixelOtherThan24AreRefused) {
    std::string path = write("deep.bmp", bitmap(4, 4, counting(64), 1, 32));
    Image image;
    int result = 1;
    EXPECT_EQ(load(path, image, result), "Bpp from " + path + " is not 24: 32\n");
    EXPECT_EQ(result, 0);
    path = write("palette.bmp", bitmap(4, 4, counting(16), 1, 8));
    EXPECT_EQ(load(path, image, result), "Bpp from " + path + " is not 24: 8\n");
    EXPECT_EQ(result, 0);
}

TEST_F(BitmapTest, PixelDataShorterThanTheHeaderSaysIsRefused) {
    std::string path = write("cut.bmp", bitmap(4, 4, counting(47)));
    Image image;
    int result = 1;
    EXPECT_EQ(load(path, image, result), "Error reading image data from " + path + ".\n");
    EXPECT_EQ(result, 0);
}

TEST_F(BitmapTest, SizeThatWrapsInThirtyTwoBitsIsRefused) {
    // 0x55555556 × 1 × 3 is 2 in 32 bits: two bytes of data would have
    // passed, and the upload would then have read a row of 4 GB.
    std::string path = write("wrap.bmp", bitmap(0x55555556u, 1, counting(64)));
    Image image;
    int result = 1;
    EXPECT_EQ(load(path, image, result), "Error reading image data from " + path + ".\n");
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(image.pixels.empty());
}

TEST_F(BitmapTest, NegativeHeightIsRefused) {
    // A top-down file: height -4 reads as 4294967292 rows.
    std::string path = write("topdown.bmp", bitmap(4, static_cast<uint32_t>(-4), counting(48)));
    Image image;
    int result = 1;
    EXPECT_EQ(load(path, image, result), "Error reading image data from " + path + ".\n");
    EXPECT_EQ(result, 0);
}

TEST_F(BitmapTest, SidesAboveTheTextureLimitAreRefused) {
    std::string wide = write("wide.bmp", bitmap(8, 4, counting(96)));
    std::string tall = write("tall.bmp", bitmap(4, 8, counting(96)));
    Image image;
    int result = 1;
    EXPECT_EQ(load(wide, image, result, 4), "Error reading image data from " + wide + ".\n");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(load(tall, image, result, 4), "Error reading image data from " + tall + ".\n");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(load(wide, image, result, 8), "");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(load(tall, image, result), "");
    EXPECT_EQ(result, 1);
}

TEST(Checkerboard, EightTexelSquaresStartingBlack) {
    EXPECT_EQ(captureOutput([] { makeCheckerboard(64, 64); }), "Making checkerboard\n");
    auto texel = [](int i, int j) { return checkerPixels + (j * 64 + i) * 3; };
    for (int channel = 0; channel < 3; channel++) {
        EXPECT_EQ(texel(0, 0)[channel], 0);
        EXPECT_EQ(texel(8, 0)[channel], 255);
        EXPECT_EQ(texel(0, 8)[channel], 255);
        EXPECT_EQ(texel(8, 8)[channel], 0);
        EXPECT_EQ(texel(7, 7)[channel], 0);
        EXPECT_EQ(texel(63, 0)[channel], 255);
        EXPECT_EQ(texel(63, 63)[channel], 0);
    }
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
