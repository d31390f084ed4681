// game/battle_map.cpp — reading the map file (WorldDesc.txt or --map's) into the grid, the bundled
// maps, and the grid printouts
#include "game/battle_map.h"

#include <dirent.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "game/regular_file.h"

MapCell battleMap[MAP_LIMIT][MAP_LIMIT];
int mapRows = 0;
int mapCols = -1;

std::string mapFile = "WorldDesc.txt";

MapCell::MapCell(int terrainCode, int x, int y, int z, int occupantId)
    : terrain(terrainCode), corner(float(x), float(y), float(z)), centre(), occupant(occupantId) {}

static int clampToInt(long long value) { return value > INT_MAX ? INT_MAX : int(value); }

// The bytes as a file the passes read; an empty map is an empty file.
static FILE* openBytes(std::string& bytes) {
    static char nothing[1];
    return fmemopen(bytes.empty() ? nothing : bytes.data(), bytes.size(), "r");
}

std::string readMapFile(const std::string& path, std::string& bytes) {
    std::string problem;
    readRegularFile(path.c_str(), MOST_MAP_BYTES, "any map", bytes, problem);
    return problem;
}

// The map file's bytes for one of the passes, or the end of start-up with the line that says why.
static std::string mapBytesOrExit() {
    std::string bytes, problem;
    switch (readRegularFile(mapFile.c_str(), MOST_MAP_BYTES, "any map", bytes, problem)) {
        case FILE_CANNOT_OPEN:
            printf("Unable to open file %s\n", mapFile.c_str());
            exit(1);
        case FILE_REFUSED:
            printf("Unable to read file %s: %s.\n", mapFile.c_str(), problem.c_str());
            exit(1);
        default:
            return bytes;
    }
}

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
    std::string bytes = mapBytesOrExit();
    FILE* file = openBytes(bytes);
    MapCheck check = measureMap(file);
    fclose(file);
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

// The file is read again, and may have gone (or become something else) since the first pass.
void readMapTerrain() {
    std::string bytes = mapBytesOrExit();
    FILE* file = openBytes(bytes);
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

std::string mapFileFor(const std::string& nameOrPath) {
    if (nameOrPath.find_first_of("/.") != std::string::npos) return nameOrPath;
    return std::string(MAPS_FOLDER) + "/" + nameOrPath + ".txt";
}

// Measured without touching the map in play: mapRows and mapCols are put back.
bool listBundledMaps(std::ostream& out) {
    DIR* folder = opendir(MAPS_FOLDER);
    if (!folder) {
        out << "No maps: there is no folder " << MAPS_FOLDER << " here." << std::endl;
        return false;
    }
    std::vector<std::string> names;
    while (const dirent* entry = readdir(folder)) {
        const std::string file = entry->d_name;
        const size_t stem = file.size() - 4;
        if (file.size() > 4 && file.compare(stem, 4, ".txt") == 0) names.push_back(file.substr(0, stem));
    }
    closedir(folder);
    std::sort(names.begin(), names.end());
    const int rowsInPlay = mapRows, colsInPlay = mapCols;
    out << "Maps in " << MAPS_FOLDER << "/ (kestrava --map NAME):" << std::endl;
    for (const std::string& name : names) {
        char line[160];
        std::string bytes;
        MapCheck check = MAP_NO_DATA;
        if (readMapFile(mapFileFor(name), bytes).empty()) {
            FILE* file = openBytes(bytes);
            check = measureMap(file);
            fclose(file);
        }
        if (check == MAP_OK)
            snprintf(line, sizeof line, "  %-20s %2d columns x %2d rows", name.c_str(), mapCols, mapRows);
        else
            snprintf(line, sizeof line, "  %-20s does not read as a map", name.c_str());
        out << line << std::endl;
    }
    mapRows = rowsInPlay;
    mapCols = colsInPlay;
    return true;
}
