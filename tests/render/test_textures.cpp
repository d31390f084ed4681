// tests/render/test_textures.cpp — what the uploads put into GL: packed rows,
// byte order, the checkerboard, and every texture of the table at its number
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/textures.h"
#include "tests/render/gl_harness.h"
#include "tests/support/battle.h"

namespace {

const int SPARE_TEXTURE = 9;   // a number the game leaves unused

std::string writeBitmap(uint32_t width, uint32_t height, const std::vector<unsigned char>& data) {
    std::vector<unsigned char> out = {'B', 'M'};
    auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; i++) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    };
    // File size, reserved, pixel offset, header size, sides; one plane of 24 bits; the rest zero.
    for (uint32_t value : {54 + static_cast<uint32_t>(data.size()), 0u, 54u, 40u, width, height}) put(value, 4);
    put(1, 2);
    put(24, 2);
    for (int i = 0; i < 6; i++) put(0, 4);
    out.insert(out.end(), data.begin(), data.end());
    char folder[] = "/tmp/kestrava-upload-XXXXXX";
    EXPECT_NE(mkdtemp(folder), nullptr);
    std::string path = std::string(folder) + "/picture.bmp";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(out.data()), out.size());
    return path;
}

// Level 0 of a texture as R, G, B rows, bottom first, packed.
std::vector<unsigned char> readTexture(int number, int& width, int& height) {
    glBindTexture(GL_TEXTURE_2D, number);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<unsigned char> texels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

}  // namespace

TEST(TextureUpload, RowsWhoseLengthIsNotFourBytesArriveUnshiftedInRedGreenBlueOrder) {
    ensureGlWindow();
    // 3 × 2: 9 bytes a row. Read with GL's default alignment of 4 the second
    // row would start 3 bytes late and run past the buffer. The file's first
    // bytes 01 02 03 (blue, green, red) must arrive as red 03, green 02, blue 01.
    std::vector<unsigned char> data(18);
    for (size_t i = 0; i < data.size(); i++) data[i] = static_cast<unsigned char>(1 + i);
    std::string path = writeBitmap(3, 2, data);
    std::string printed = captureOutput([&] { loadTexture(path.c_str(), SPARE_TEXTURE); });
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
    EXPECT_EQ(printed, "trying to load " + path + "\n");
    int width = 0, height = 0;
    std::vector<unsigned char> texels = readTexture(SPARE_TEXTURE, width, height);
    ASSERT_EQ(width, 3);
    ASSERT_EQ(height, 2);
    for (size_t pixel = 0; pixel < 6; pixel++) {
        EXPECT_EQ(texels[pixel * 3 + 0], data[pixel * 3 + 2]) << "pixel " << pixel;
        EXPECT_EQ(texels[pixel * 3 + 1], data[pixel * 3 + 1]) << "pixel " << pixel;
        EXPECT_EQ(texels[pixel * 3 + 2], data[pixel * 3 + 0]) << "pixel " << pixel;
    }
}

TEST(TextureUpload, CheckerboardAndEveryTableImageSitAtTheirNumbers) {
    ensureGlWindow();
    int width = 0, height = 0;
    std::vector<unsigned char> checker = readTexture(TEX_CHECKER, width, height);
    ASSERT_EQ(width, 64);
    ASSERT_EQ(height, 64);
    EXPECT_EQ(checker[0], 0);                 // texel (0, 0) black
    EXPECT_EQ(checker[8 * 3], 255);           // texel (8, 0) white
    EXPECT_EQ(checker[(8 * 64 + 8) * 3], 0);  // texel (8, 8) black
    for (int i = 0; i < textureCount; i++) {
        Image image;
        ASSERT_EQ(loadBitmap(textureTable[i].path, image), 1);
        std::vector<unsigned char> texels = readTexture(textureTable[i].number, width, height);
        EXPECT_EQ(width, static_cast<int>(image.width)) << textureTable[i].path;
        EXPECT_EQ(height, static_cast<int>(image.height)) << textureTable[i].path;
        EXPECT_TRUE(texels == image.pixels) << textureTable[i].path << " differs from its file";
    }
}
