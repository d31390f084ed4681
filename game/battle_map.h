// game/battle_map.h — the battlefield grid, its file (WorldDesc.txt unless --map names another) and the bundled maps
#pragma once
#include <cstdio>
#include <iosfwd>
#include <string>
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

// The file both passes read: WorldDesc.txt in the current folder unless
// --map named another, or a replay's copy of its map. Its name stands in the line that says it cannot be opened.
extern std::string mapFile;

// The battlefields that come with the game, one NAME.txt each, in the run folder.
constexpr const char* MAPS_FOLDER = "maps";

// --map's argument as a file: a bare name (no '/' and no '.') is the bundled
// map of that name; anything else is a path, taken as it is.
std::string mapFileFor(const std::string& nameOrPath);

// One line per bundled map, by name, with its size; false (and a line that
// says so) when the run folder has no maps folder.
bool listBundledMaps(std::ostream& out);

// No map file is larger: a 50 × 50 map is at most about 5 KB, even with
// Windows line breaks; this leaves generous room for blanks and line breaks.
constexpr long long MOST_MAP_BYTES = 64 << 10;

// The bytes of a map file, read as both passes read it: only a regular file
// of at most MOST_MAP_BYTES. "" or the problem, to follow the file's name.
std::string readMapFile(const std::string& path, std::string& bytes);

// The passes print "Unable to open file NAME" for a file that cannot be
// opened, and "Unable to read file NAME: PROBLEM." for one readMapFile refuses.
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
