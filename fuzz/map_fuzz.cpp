// fuzz/map_fuzz.cpp — any bytes as WorldDesc.txt: the reader must never write
// outside the grid, and what it accepts must come out square by square as the
// file's digits 1…9 in order, then zeros.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "game/battle_map.h"

namespace {

void require(bool holds) {
    if (!holds) abort();
}

FILE* openBytes(const uint8_t* data, size_t size) {
    static char nothing[1];
    // Read-only: fmemopen wants a writable pointer but never writes in mode "r".
    return fmemopen(size ? const_cast<uint8_t*>(data) : reinterpret_cast<uint8_t*>(nothing), size, "r");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = openBytes(data, size);
    if (!file) return 0;
    MapCheck check = measureMap(file);
    fclose(file);
    if (check != MAP_OK) return 0;
    require(mapRows >= 7 && mapRows <= MAP_LIMIT && mapCols >= 2 && mapCols <= MAP_LIMIT);

    for (auto& row : battleMap)
        for (auto& cell : row) cell.terrain = -1;
    static std::ostream discard(nullptr);   // the corner lines are not wanted here
    file = openBytes(data, size);
    if (!file) return 0;
    fillMap(file, discard);
    fclose(file);

    size_t next = 0;   // the next byte of the file to look for a digit in
    for (int r = 0; r < MAP_LIMIT; r++)
        for (int c = 0; c < MAP_LIMIT; c++) {
            const MapCell& cell = battleMap[r][c];
            if (r >= mapRows || c >= mapCols) {
                require(cell.terrain == -1);
                continue;
            }
            while (next < size && (data[next] < '1' || data[next] > '9')) next++;
            int expected = next < size ? data[next++] - '0' : 0;
            require(cell.terrain == expected);
            require(cell.occupant == -1);
            require(cell.corner.x == c && cell.corner.y == 0 && cell.corner.z == r + 1);
            require(cell.centre.x == c + 0.5f && cell.centre.y == 0 && cell.centre.z == r + 1.5f);
        }
    return 0;
}
