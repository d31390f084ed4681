// app/textures.h — the texture table: every image under its fixed GL texture number
#pragma once
#include "app/bitmap.h"

enum TextureId {
    TEX_CHECKER = 0,
    TEX_WATER = 1, TEX_DESERT = 2, TEX_MASK1 = 3, TEX_IMAGE1 = 4,
    TEX_GRASS = 5, TEX_MOUNTAIN = 6, TEX_ELECTRIC = 7, TEX_CHAOS = 8,
    TEX_STATUS = 11,
    TEX_MENU_ATTACK = 20, TEX_MENU_ATTACK_SELECTED, TEX_MENU_DEFEND, TEX_MENU_DEFEND_SELECTED,
    TEX_MENU_MOVE, TEX_MENU_MOVE_SELECTED, TEX_MENU_SKILLS, TEX_MENU_SKILLS_SELECTED,
    TEX_MENU_MAGIC, TEX_MENU_MAGIC_SELECTED, TEX_MENU_HEALING, TEX_MENU_HEALING_SELECTED,
    TEX_PARTICLE = 40, TEX_SPARK = 41,
    TEX_ELECT = 44,          // 44–46 the three bolt frames, 47–49 their masks
    TEX_ELECT_MASK = 47,
    TEX_SKY_FRONT = 50, TEX_SKY_BACK, TEX_SKY_LEFT, TEX_SKY_RIGHT, TEX_SKY_UP, TEX_SKY_DOWN,
    // The five backdrops, each one picture the sky box repeats on every face.
    TEX_SKY_SAD_SEA = 60, TEX_SKY_MARZZ = 70, TEX_SKY_FAIRYLAND = 80, TEX_SKY_QUANTUM = 90,
    TEX_SKY_BLUE_BLOT = 100,
    TEX_MISSED = 150,
    TEX_P1_CHOOSE = 200, TEX_P2_CHOOSE = 201,
    TEX_P1_BEGIN_TURN = 300, TEX_P1_END_TURN, TEX_P2_BEGIN_TURN, TEX_P2_END_TURN,
    TEX_P1_WINS, TEX_P2_WINS,
    TEX_BMENU_ATTACK = 320,
    TEX_BMENU_ATTACK_HI = 340,
    TEX_KEPT_SKY = 400       // drawn into by the frame: the sky of a still view (render/skybox.h)
};

// textureTable, textureCount, checkerPixels and makeCheckerboard come from
// app/bitmap.h: they need no GL.

void uploadCheckerboard();
void loadTexture(const char* name, int number);   // exits 1 when the file cannot be used
void loadAllTextures();                           // checkerboard, then the table in order
