// app/bitmap.cpp — reads the game's 24-bit bitmaps, makes the checkerboard,
// and lists every image file with the texture number it is uploaded under
#include "app/bitmap.h"
#include <algorithm>
#include <iostream>
#include <string>
#include <new>
#include <utility>
#include <unistd.h>
#include "app/textures.h"
#include "game/regular_file.h"

const TextureFile textureTable[] = {
    {"images/water.bmp", TEX_WATER},
    {"images/desert.bmp", TEX_DESERT},
    {"images/mask1.bmp", TEX_MASK1},
    {"images/image1.bmp", TEX_IMAGE1},
    {"images/grass.bmp", TEX_GRASS},
    {"images/mountain.bmp", TEX_MOUNTAIN},
    {"images/electric.bmp", TEX_ELECTRIC},
    {"images/chaos.bmp", TEX_CHAOS},
    {"images/status.bmp", TEX_STATUS},
    {"images/menu/attack.bmp", TEX_MENU_ATTACK},
    {"images/menu/attack-selected.bmp", TEX_MENU_ATTACK_SELECTED},
    {"images/menu/defend.bmp", TEX_MENU_DEFEND},
    {"images/menu/defend-selected.bmp", TEX_MENU_DEFEND_SELECTED},
    {"images/menu/move.bmp", TEX_MENU_MOVE},
    {"images/menu/move-selected.bmp", TEX_MENU_MOVE_SELECTED},
    {"images/menu/skills.bmp", TEX_MENU_SKILLS},
    {"images/menu/skills-selected.bmp", TEX_MENU_SKILLS_SELECTED},
    {"images/menu/magic.bmp", TEX_MENU_MAGIC},
    {"images/menu/magic-selected.bmp", TEX_MENU_MAGIC_SELECTED},
    {"images/menu/healing.bmp", TEX_MENU_HEALING},
    {"images/menu/healing-selected.bmp", TEX_MENU_HEALING_SELECTED},
    {"images/Particle.bmp", TEX_PARTICLE},
    {"images/Spark.bmp", TEX_SPARK},
    {"images/attack/elect1.bmp", TEX_ELECT},
    {"images/attack/elect2.bmp", TEX_ELECT + 1},
    {"images/attack/elect3.bmp", TEX_ELECT + 2},
    {"images/attack/elect1i.bmp", TEX_ELECT_MASK},
    {"images/attack/elect2i.bmp", TEX_ELECT_MASK + 1},
    {"images/attack/elect3i.bmp", TEX_ELECT_MASK + 2},
    {"images/skybox/skybox_front.bmp", TEX_SKY_FRONT},
    {"images/skybox/skybox_back.bmp", TEX_SKY_BACK},
    {"images/skybox/skybox_left.bmp", TEX_SKY_LEFT},
    {"images/skybox/skybox_right.bmp", TEX_SKY_RIGHT},
    {"images/skybox/skybox_up.bmp", TEX_SKY_UP},
    {"images/skybox/skybox_down.bmp", TEX_SKY_DOWN},
    {"images/skybox/sad_sea.bmp", TEX_SKY_SAD_SEA},
    {"images/skybox/marzz.bmp", TEX_SKY_MARZZ},
    {"images/skybox/fairyland.bmp", TEX_SKY_FAIRYLAND},
    {"images/skybox/quantum.bmp", TEX_SKY_QUANTUM},
    {"images/skybox/blue_blot.bmp", TEX_SKY_BLUE_BLOT},
    {"images/attack/missed.bmp", TEX_MISSED},
    {"images/p1_choose.bmp", TEX_P1_CHOOSE},
    {"images/p2_choose.bmp", TEX_P2_CHOOSE},
    {"images/p1_begin_turn.bmp", TEX_P1_BEGIN_TURN},
    {"images/p1_end_turn.bmp", TEX_P1_END_TURN},
    {"images/p2_begin_turn.bmp", TEX_P2_BEGIN_TURN},
    {"images/p2_end_turn.bmp", TEX_P2_END_TURN},
    {"images/p1_wins.bmp", TEX_P1_WINS},
    {"images/p2_wins.bmp", TEX_P2_WINS},
    {"images/menu/battack.bmp", TEX_BMENU_ATTACK},
    {"images/menu/battack-selected.bmp", TEX_BMENU_ATTACK + 1},
    {"images/menu/bdefend.bmp", TEX_BMENU_ATTACK + 2},
    {"images/menu/bdefend-selected.bmp", TEX_BMENU_ATTACK + 3},
    {"images/menu/bmove.bmp", TEX_BMENU_ATTACK + 4},
    {"images/menu/bmove-selected.bmp", TEX_BMENU_ATTACK + 5},
    {"images/menu/bskills.bmp", TEX_BMENU_ATTACK + 6},
    {"images/menu/bskills-selected.bmp", TEX_BMENU_ATTACK + 7},
    {"images/menu/bmagic.bmp", TEX_BMENU_ATTACK + 8},
    {"images/menu/bmagic-selected.bmp", TEX_BMENU_ATTACK + 9},
    {"images/menu/bhealing.bmp", TEX_BMENU_ATTACK + 10},
    {"images/menu/bhealing-selected.bmp", TEX_BMENU_ATTACK + 11},
    // The highlighted b-set reads the "-selected" files a second time.
    {"images/menu/battack-selected.bmp", TEX_BMENU_ATTACK_HI},
    {"images/menu/bdefend-selected.bmp", TEX_BMENU_ATTACK_HI + 2},
    {"images/menu/bmove-selected.bmp", TEX_BMENU_ATTACK_HI + 4},
    {"images/menu/bskills-selected.bmp", TEX_BMENU_ATTACK_HI + 6},
    {"images/menu/bmagic-selected.bmp", TEX_BMENU_ATTACK_HI + 8},
    {"images/menu/bhealing-selected.bmp", TEX_BMENU_ATTACK_HI + 10},
};
const int textureCount = sizeof textureTable / sizeof textureTable[0];

unsigned char* checkerPixels = nullptr;

// A byte past the end reads as EOF (-1) and is added in as is, in unsigned
// arithmetic: a 16-bit field read wholly past the end comes out as 65279,
// which a truncated header then reports as its planes count.
uint32_t readLE32(FILE* file) {
    uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8)
        value += static_cast<uint32_t>(getc(file)) << shift;
    return value;
}

uint32_t readLE16(FILE* file) {
    uint32_t low = static_cast<uint32_t>(getc(file));
    uint32_t high = static_cast<uint32_t>(getc(file));
    return (low + (high << 8)) & 0xFFFF;
}

namespace {

const long PIXEL_OFFSET = 54;   // the pixel block follows a fixed-size header
const long long MOST_BITMAP_BYTES = PIXEL_OFFSET + 3LL * MOST_BITMAP_SIDE * MOST_BITMAP_SIDE;

// Bytes from the current position to the end of the file; the position is kept.
uint64_t bytesLeft(FILE* file) {
    long here = ftell(file);
    if (here < 0 || fseek(file, 0, SEEK_END) != 0)
        return 0;
    long end = ftell(file);
    fseek(file, here, SEEK_SET);
    return end > here ? static_cast<uint64_t>(end - here) : 0;
}

int closeAndFail(FILE* file) {
    fclose(file);
    return 0;
}

}  // namespace

int loadBitmap(const char* name, Image& image, uint32_t maxSide) {
    maxSide = std::min(maxSide, MOST_BITMAP_SIDE);
    std::string problem;
    int opened;
    const FileCheck check = openRegularFile(name, MOST_BITMAP_BYTES, "any picture the game takes", opened, problem);
    if (check == FILE_CANNOT_OPEN) {
        printf("File Not Found : %s\n", name);
        return 0;
    }
    if (check == FILE_REFUSED) {
        printf("Error reading image data from %s: %s.\n", name, problem.c_str());
        return 0;
    }
    FILE* file = fdopen(opened, "rb");
    if (!file) {
        close(opened);
        printf("Error reading image data from %s.\n", name);
        return 0;
    }
    fseek(file, 18, SEEK_SET);
    image.width = readLE32(file);
    image.height = readLE32(file);
    uint32_t planes = readLE16(file);
    if (planes != 1) {
        printf("Planes from %s is not 1: %u\n", name, planes);
        return closeAndFail(file);
    }
    uint32_t bitsPerPixel = readLE16(file);
    if (bitsPerPixel != 24) {
        printf("Bpp from %s is not 24: %u\n", name, bitsPerPixel);
        return closeAndFail(file);
    }
    fseek(file, PIXEL_OFFSET, SEEK_SET);

    // In 64 bits: width × height × 3 wraps in 32 and would let a tiny buffer
    // through for a huge picture. A top-down file (negative height) lands here
    // too, as a height of about four billion rows. The data is measured before
    // anything is allocated, and a side the GL cannot take is refused here
    // rather than left to the upload.
    uint64_t size = uint64_t{image.width} * image.height * 3;
    if (image.width > maxSide || image.height > maxSide || bytesLeft(file) < size) {
        printf("Error reading image data from %s.\n", name);
        return closeAndFail(file);
    }
    std::vector<unsigned char>& pixels = image.pixels;
    try {
        pixels.assign(size, 0);
    } catch (const std::bad_alloc&) {
        printf("Error allocating memory for color-corrected image data");
        return closeAndFail(file);
    }
    if (fread(pixels.data(), 1, size, file) != size) {
        printf("Error reading image data from %s.\n", name);
        return closeAndFail(file);
    }
    for (uint64_t i = 0; i + 2 < size; i += 3)
        std::swap(pixels[i], pixels[i + 2]);   // B, G, R on disk
    fclose(file);
    return 1;
}

void makeCheckerboard(int width, int height) {
    std::cout << "Making checkerboard" << std::endl;
    delete[] checkerPixels;
    checkerPixels = new unsigned char[static_cast<size_t>(width) * height * 3];
    // Rows are width texels long, so a board that is not square still fits.
    for (int i = 0; i < width; i++) {
        for (int j = 0; j < height; j++) {
            unsigned char value = ((i / 8 + j / 8) % 2) * 255;
            unsigned char* texel = checkerPixels + (static_cast<size_t>(j) * width + i) * 3;
            texel[0] = texel[1] = texel[2] = value;
        }
    }
}
