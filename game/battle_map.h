// game/battle_map.h — the battlefield grid and its file, WorldDesc.txt
#pragma once
#include <cstdio>
#include <iosfwd>
#include "game/vector.h"

constexpr int MAP_LIMIT = 50;   // rows and columns of battleMap

struct MapCell {
    int    terrain = -1;   // 1 grass … 5 electric, 0 and 6–9 chaos; -1 outside the file
    Vector corner;         // (column, 0, row + 1)
    Vector centre;         // corner + (0.5, 0, 0.5): where units stand and markers go
    int    occupant;       // id of the unit on the square, or -1; left as zero-initialised storage
    MapCell() {}
    MapCell(int terrainCode, int x, int y, int z, int occupantId);
};

extern MapCell battleMap[MAP_LIMIT][MAP_LIMIT];   // [row][column]
extern int mapRows;    // rows in play
extern int mapCols;    // columns in play; -1 until the map is read
extern const char* mapFile;   // the file start-up reads: WorldDesc.txt in the run folder, or a replay's copy

void readMapSize();       // first pass: count, print and check the size; exits 1 on failure
void readMapTerrain();    // second pass: fill the squares in play
void printMapOccupancy();
void printMapTerrain();

// The reader's core, over an already open file and without ending the
// process, so that the fuzzer can drive it; the two passes above wrap it with
// the file name, the console messages and the exit.
enum MapCheck { MAP_OK, MAP_NO_DATA, MAP_TOO_FEW_ROWS, MAP_TOO_FEW_COLS, MAP_TOO_LARGE };

// Counts rows and columns into mapRows and mapCols (prints nothing) and says
// whether the map can be played; on MAP_NO_DATA both are left untouched.
MapCheck measureMap(FILE* file);

// Fills squares [0, mapRows) × [0, mapCols) from the file's digits and writes
// the corner lines and the 10 × 10 terrain block to report. Needs a size that
// measureMap accepted.
void fillMap(FILE* file, std::ostream& report);
