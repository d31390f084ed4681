// render/looks.cpp — the view toggles, the window's materials, the sky's pictures and its box
#include "render/looks.h"

#include "app/textures.h"
#include "game/battle_map.h"
#include "game/vector.h"

bool showUnitSphere = false;
bool showSightSphere = false;
bool showRunTime = true, showFps = true;
bool lightingOn = false;
int  personSide = 0;
bool computerCommands[3] = {false, false, false};
bool showDanger = false;
int  battleSpeed = 1;
bool showLog = false;
bool logAfterComputer = false;
bool watchingReplay = false;
char replayState[32] = "";

// The board and the skybox: full white, so their textures show as drawn.
const MaterialPreset whiteMaterial = {{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}, 100};

// Set once with the window, before anything else is drawn.
const MaterialPreset startupMaterial = {
    {0.329412f, 0.223529f, 0.027451f, 1}, {0.780392f, 0.568627f, 0.113725f, 1},
    {0.992157f, 0.941176f, 0.807843f, 1}, 27.8974f};

int skyTexture(int choice, int face) {
    static const int oneImage[5] = {TEX_SKY_SAD_SEA, TEX_SKY_MARZZ, TEX_SKY_FAIRYLAND, TEX_SKY_QUANTUM,
                                    TEX_SKY_BLUE_BLOT};
    if (choice >= 0 && choice <= 4) return oneImage[choice];
    return TEX_SKY_FRONT + face;
}

void skyBoxAroundMap(Vector& low, Vector& high) { skyBoxAround(mapRows, mapCols, low, high); }

void skyBoxAround(int rows, int cols, Vector& low, Vector& high) {
    float middle = (rows + 1 + cols) / 4.0f;
    Vector centre(middle + 0.5f, 0, middle);
    Vector half((cols + 51.0f) / 2, 25, (rows + 51.0f) / 2);
    low = centre - half;
    high = centre + half;
}
