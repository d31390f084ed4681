// game/battle_map.cpp — reading WorldDesc.txt into the grid, and the grid printouts
#include "game/battle_map.h"

#include <climits>
#include <cstdlib>
#include <iostream>

MapCell battleMap[MAP_LIMIT][MAP_LIMIT];
int mapRows = 0;
int mapCols = -1;

const char* mapFile = "WorldDesc.txt";

MapCell::MapCell(int terrainCode, int x, int y, int z, int occupantId)
    : terrain(terrainCode), corner(float(x), float(y), float(z)), centre(), occupant(occupantId) {}

static int clampToInt(long long value) { return value > INT_MAX ? INT_MAX : int(value); }

MapCheck measureMap(FILE* file) {
    int character = fgetc(file);
    if (character == EOF) return MAP_NO_DATA;

    // Every character that is not '#' counts towards the columns, line breaks
    // included: the R - 1 breaks between R rows stay below one column, but a
    // break after the last row starts to add up. A Windows break (CR LF) is
    // one break, so the same map reads the same whichever system saved it.
    long long rows = 0, others = 0;
    for (int previous = EOF; character != EOF; previous = character, character = fgetc(file)) {
        if (character == '#')
            rows++;
        else if (!(character == '\n' && previous == '\r'))
            others++;
    }
    mapRows = clampToInt(rows);
    // No '#' means no rows: the rows check refuses the map, and the division is not made.
    mapCols = clampToInt(rows > 0 ? others / rows : others);

    if (mapRows <= 6) return MAP_TOO_FEW_ROWS;
    if (mapCols <= 1) return MAP_TOO_FEW_COLS;
    if (mapRows > MAP_LIMIT || mapCols > MAP_LIMIT) return MAP_TOO_LARGE;
    return MAP_OK;
}

void readMapSize() {
    FILE* file = fopen(mapFile, "r");
    if (!file) {
        printf("Unable to open file WorldDesc.txt\n");
        exit(1);
    }
    MapCheck check = measureMap(file);
    if (check == MAP_NO_DATA) {
        printf("No data in the specified file!\n");
        exit(1);
    }
    printf("\nNumber of cols is: %d\n", mapCols);
    printf("Number of rows is: %d\n\n", mapRows);
    switch (check) {
        case MAP_TOO_FEW_ROWS:
            printf("3 rows per player are needed for unit placement.\n Please enlarge the map.\n");
            exit(1);
        case MAP_TOO_FEW_COLS:
            printf("There must be at least 2 columns in the map file.\n Please fix the file and try again.\n");
            exit(1);
        case MAP_TOO_LARGE:
            printf("The map may have at most %d rows and %d columns.\n Please make the map smaller.\n",
                   MAP_LIMIT, MAP_LIMIT);
            exit(1);
        default:
            break;
    }
    fclose(file);
    std::cout << std::endl << "Read file done." << std::endl;
}

// '1'…'9' give their value; every other character, '0' included, gives 0.
static int digitValue(int character) { return character >= '1' && character <= '9' ? character - '0' : 0; }

// The next terrain code: the next digit 1…9 in the file, or 0 once the file
// has run out. '#' marks only count rows, so they do not re-align the squares.
static int nextTerrain(FILE* file) {
    int value = digitValue(fgetc(file));
    while (value == 0) {
        int character = fgetc(file);
        if (character == EOF) return 0;
        value = digitValue(character);
    }
    return value;
}

void fillMap(FILE* file, std::ostream& report) {
    for (int r = 0; r < mapRows; r++)
        for (int c = 0; c < mapCols; c++) {
            MapCell& cell = battleMap[r][c];
            cell = MapCell(nextTerrain(file), c, 0, r + 1, -1);
            cell.centre = Vector(cell.corner.x + 0.5f, 0, cell.corner.z + 0.5f);
            report << "bottom left corner is at " << cell.corner.x << " " << cell.corner.y << " " << cell.corner.z
                   << std::endl;
        }
    // Always the top-left 10 × 10, whatever the map's size: -1 beyond a small map.
    report << "\n";
    for (int r = 0; r < 10; r++) {
        for (int c = 0; c < 10; c++) report << " " << battleMap[r][c].terrain << " ";
        report << "\n";
    }
}

void readMapTerrain() {
    FILE* file = fopen(mapFile, "r");
    if (!file) {   // only if the file vanished since the first pass
        printf("Unable to open file WorldDesc.txt\n");
        exit(1);
    }
    fillMap(file, std::cout);
    std::cout.flush();
    fclose(file);
}

void printMapOccupancy() {
    printf("\nPRINTING OUT MAP WITH OCCUPIED\n");
    for (int r = 0; r < mapRows; r++) {
        for (int c = 0; c < mapCols; c++) printf(" %d ", battleMap[r][c].occupant == -1 ? 0 : battleMap[r][c].occupant);
        printf("\n");
    }
}

void printMapTerrain() {
    printf("\nPRINTING OUT MAP WITH ID NUMBERS\n");
    for (int r = 0; r < mapRows; r++) {
        for (int c = 0; c < mapCols; c++) printf(" %d ", battleMap[r][c].terrain);
        printf("\n");
    }
}
