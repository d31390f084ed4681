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
extern bool computerCommands[3];   // the computer presses the player's keys; index 0 unused
extern bool showDanger;        // z: the squares the enemies in sight could strike next turn are tinted
// g: every animation of both sides plays 1, 2 or 4 times as fast (app/battle_clock.h runs the
// ticks); said in the band of hints while it is not 1, and kept in kestrava-settings.txt (app/settings.h).
extern int  battleSpeed;
extern bool showLog;           // j: the battle log panel is up
extern bool logAfterComputer;  // the log opened by itself as the computer handed the turn over, until the person acts
extern bool watchingReplay;    // --replay: the keys are the viewer's and no button acts
extern char replayState[32];    // what the screen says of the replay ("REPLAY 2X", "REPLAY OVER"); empty without one

extern const MaterialPreset whiteMaterial;
extern const MaterialPreset startupMaterial;

// The picture a sky look binds on a face (0–5: front, back, left, right, up,
// down): a backdrop's one picture on every face, or the six-face look's own.
int skyTexture(int choice, int face);

// The sky box around the board in play (drawSkyboxAroundMap): centred near
// the middle of the board, 50 units wider than the map each way, 50 high.
void skyBoxAroundMap(Vector& low, Vector& high);
void skyBoxAround(int rows, int cols, Vector& low, Vector& high);   // the same round a board of that size
