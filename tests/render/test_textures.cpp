// tests/render/test_textures.cpp — what an upload puts into GL: packed rows in red, green, blue
// order, and no picture larger than this GL can take
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/textures.h"
#include "tests/render/gl_harness.h"
#include "tests/support/battle.h"

namespace {

const int SPARE_TEXTURE = 9;   // a number the game leaves unused

// A 24-bit bitmap of the given size and pixel bytes, under the build's artifacts.
std::string writeBitmap(const char* name, uint32_t width, uint32_t height, const std::vector<unsigned char>& data) {
    std::vector<unsigned char> out = {'B', 'M'};
    auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; i++) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    };
    for (uint32_t value : {54 + static_cast<uint32_t>(data.size()), 0u, 54u, 40u, width, height}) put(value, 4);
    put(1, 2);
    put(24, 2);
    out.resize(54, 0);
    out.insert(out.end(), data.begin(), data.end());
    std::filesystem::create_directories(ARTIFACTS_DIR);
    const std::string path = std::string(ARTIFACTS_DIR) + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(out.data()), out.size());
    return path;
}

}  // namespace

TEST(TextureUpload, RowsWhoseLengthIsNotFourBytesArriveUnshiftedInRedGreenBlueOrder) {
    ensureGlWindow();
    // 3 × 2: 9 bytes a row. Read with GL's default alignment of 4 the second
    // row would start 3 bytes late and run past the buffer. The file's first
    // bytes 01 02 03 (blue, green, red) must arrive as red 03, green 02, blue 01.
    std::vector<unsigned char> data(18);
    for (size_t i = 0; i < data.size(); i++) data[i] = static_cast<unsigned char>(1 + i);
    const std::string path = writeBitmap("rows_of_9_bytes.bmp", 3, 2, data);
    EXPECT_EQ(captureOutput([&] { loadTexture(path.c_str(), SPARE_TEXTURE); }), "trying to load " + path + "\n");
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, SPARE_TEXTURE);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    ASSERT_TRUE(width == 3 && height == 2);
    std::vector<unsigned char> texels(18);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    for (size_t i = 0; i < 18; i += 3)
        EXPECT_TRUE(texels[i] == data[i + 2] && texels[i + 1] == data[i + 1] && texels[i + 2] == data[i]) << i / 3;
}

// A picture wider than GL_MAX_TEXTURE_SIZE would show blank: start-up ends. The death test runs
// in a fresh process, as a forked copy would share this one's connection to the display.
TEST(TextureUpload, APictureWiderThanThisGlTakesEndsStartUp) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ensureGlWindow();
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    const std::string path = writeBitmap("too_wide.bmp", maxSide + 4, 1, std::vector<unsigned char>((maxSide + 4) * 3, 200));
    EXPECT_EXIT(loadTexture(path.c_str(), SPARE_TEXTURE), testing::ExitedWithCode(1), "");
}
