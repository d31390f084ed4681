// render/looks.h — what the view keys choose to show: debug spheres, the HUD lines, lighting; the
// window's own materials; the sky's pictures and where the sky box stands
//
// The armies' materials and the backdrop are the battle's own (game/looks.h);
// everything else here starts afresh with the window. No GL here.
#pragma once
#include "game/looks.h"
struct Vector;

extern bool showUnitSphere;    // b: a wire sphere of radius 1 around every model
extern bool showSightSphere;   // f: a wire sphere of the unit's sight
extern bool showRunTime, showFps;   // the two HUD lines (F1, F2)
extern bool lightingOn;        // last state set by the l key
extern int  personSide;        // the side a person plays against the computer; 0 in a hot-seat battle
extern bool showDanger;        // z: the squares the enemies in sight could strike next turn are tinted
// g: every animation of both sides plays 1, 2 or 4 times as fast (app/battle_clock.h runs the
// ticks); said on screen while it is not 1, and kept in kestrava-settings.txt (app/settings.h).
extern int  battleSpeed;

extern const MaterialPreset whiteMaterial;
extern const MaterialPreset startupMaterial;

int skyTexture(int choice, int face);   // face 0–5: front, back, left, right, up, down

// The sky box around the board in play (drawSkyboxAroundMap): centred near
// the middle of the board, 50 units wider than the map each way, 50 high.
void skyBoxAroundMap(Vector& low, Vector& high);
void skyBoxAround(int rows, int cols, Vector& low, Vector& high);   // the same round a board of that size
