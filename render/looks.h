// render/looks.h — what the keys choose to show: backdrop, debug spheres, material presets
#pragma once
struct Vector;

extern int  skyChoice;         // 0–4 one backdrop on every face; anything else the six face images
extern bool showUnitSphere;    // b: a wire sphere of radius 1 around every model
extern bool showSightSphere;   // f: a wire sphere of the unit's sight

struct MaterialPreset {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float shininess;
};

constexpr int MATERIAL_COUNT = 16;
extern const MaterialPreset materialPresets[MATERIAL_COUNT + 1];   // rows 1–16; row 0 unused
extern const MaterialPreset whiteMaterial;
extern const MaterialPreset startupMaterial;

int skyTexture(int choice, int face);   // face 0–5: front, back, left, right, up, down

// The sky box around the board in play (drawSkyboxAroundMap): centred near
// the middle of the board, 50 units wider than the map each way, 50 high.
void skyBoxAroundMap(Vector& low, Vector& high);
