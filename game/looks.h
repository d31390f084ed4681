// game/looks.h — how the armies and the sky look: the choices the kept battle holds
//
// Only the choices live here, with the table of materials they pick from;
// the window applies a material and render/ binds the sky's pictures.
#pragma once

constexpr int SKY_COUNT = 6;
extern int skyChoice;   // 0–4 the first five backdrops; anything else Space Endeavors

// s: the next backdrop (after the last, the first), named on the console.
void nextSky();

struct MaterialPreset {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float shininess;
};

constexpr int MATERIAL_COUNT = 16;
extern const MaterialPreset materialPresets[MATERIAL_COUNT + 1];   // rows 1–16; row 0 unused
