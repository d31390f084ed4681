// game/battle_map.h — the battlefield grid and its file, WorldDesc.txt
#pragma once
#include <cstdio>
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
extern int mapCols;    // columns in play; starts at -1 (the size pass counts a placeholder)

void readMapSize();       // first pass: count, print and check the size; exits 1 on failure
void readMapTerrain();    // second pass: fill the squares in play
void printMapOccupancy();
void printMapTerrain();
