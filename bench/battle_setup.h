// bench/battle_setup.h — the battles the benchmarks measure, set up with the game's own start-up code
//
// A battle here is what the players would see once both heroes are chosen
// and the first turn banner has gone: the map read by the game's readers,
// the armies placed by start-up's placement, no banner and no open menu.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "game/battle_map.h"
#include "game/random.h"
#include "game/startup.h"
#include "game/unit.h"
#include "rules/game_state.h"

namespace bench {

// While one of these lives, what the game writes to standard output goes to
// /dev/null; the benchmark reports through reportFile() instead.
class SilencedOutput {
public:
    SilencedOutput() {
        std::cout.flush();
        std::fflush(stdout);
        savedFd_ = dup(STDOUT_FILENO);
        FILE* sink = std::fopen("/dev/null", "w");
        dup2(fileno(sink), STDOUT_FILENO);
        std::fclose(sink);
    }
    ~SilencedOutput() {
        if (report_) std::fclose(report_);
        std::cout.flush();
        std::fflush(stdout);
        dup2(savedFd_, STDOUT_FILENO);
        close(savedFd_);
    }
    SilencedOutput(const SilencedOutput&) = delete;
    SilencedOutput& operator=(const SilencedOutput&) = delete;

    // The real standard output, for the benchmark's own lines.
    FILE* reportFile() {
        if (!report_) report_ = fdopen(dup(savedFd_), "w");
        return report_;
    }

private:
    int savedFd_;
    FILE* report_ = nullptr;
};

inline std::string readTextFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        std::exit(2);
    }
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The terrain digits of a map file, one string per row ('#' and line breaks dropped).
inline std::vector<std::string> terrainRows(const std::string& mapText) {
    std::vector<std::string> rows(1);
    for (char c : mapText) {
        if (c == '#')
            rows.emplace_back();
        else if (c >= '0' && c <= '9')
            rows.back() += c;
    }
    if (rows.back().empty()) rows.pop_back();
    return rows;
}

// A rows × cols map in the file's format, the pattern's terrain repeated in
// both directions, so the larger battles have the same mix of ground.
inline std::string tiledMapText(const std::vector<std::string>& pattern, int rows, int cols) {
    std::string text;
    for (int r = 0; r < rows; r++) {
        const std::string& source = pattern[r % pattern.size()];
        for (int c = 0; c < cols; c++) text += source[c % source.size()];
        text += '#';
        if (r + 1 < rows) text += '\n';   // no break after the last row: it would count as a column
    }
    return text;
}

// Writes the text as WorldDesc.txt in a fresh temporary folder and runs the
// game's two map passes there; the working directory is left as it was.
inline void loadMapText(const std::string& text) {
    char folder[] = "/tmp/kestrava-bench-XXXXXX";
    if (!mkdtemp(folder)) {
        std::perror("mkdtemp");
        std::exit(2);
    }
    const std::string path = std::string(folder) + "/WorldDesc.txt";
    {
        std::ofstream file(path, std::ios::binary);
        file << text;
    }
    char* previous = getcwd(nullptr, 0);
    if (chdir(folder) != 0) {
        std::perror("chdir");
        std::exit(2);
    }
    readMapSize();
    readMapTerrain();
    if (chdir(previous) != 0) {
        std::perror("chdir");
        std::exit(2);
    }
    std::free(previous);
    std::remove(path.c_str());
    rmdir(folder);
}

// Whether the game's reader takes the text as a playable map (without reading it in).
inline bool readsAsMap(const std::string& text) {
    FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    if (!file) return false;
    const int rows = mapRows, cols = mapCols;
    const bool playable = measureMap(file) == MAP_OK;
    std::fclose(file);
    mapRows = rows;
    mapCols = cols;
    return playable;
}

// Start-up leaves selectedUnit and targetUnit on two placeholders.
inline void makeStartupPlaceholders() {
    static Unit selectedPlaceholder, targetPlaceholder;
    selectedUnit = &selectedPlaceholder;
    targetUnit = &targetPlaceholder;
}

// As many units as the rules allow: every square of each side's three home
// rows taken, the classes as even as they can be (the first ones one more).
constexpr int FULL_HOME_ROWS = -1;

// The battle after the hero choice: each player's first unit is its hero,
// the armies wear the presets an untouched choice leaves (player 1 keeps 16,
// player 2 starts browsing at 1), player 1 is to move and no banner is up.
// eachClassPerSide is a count, or FULL_HOME_ROWS.
inline void setUpBattle(const std::string& mapText, int eachClassPerSide, unsigned seed) {
    makeStartupPlaceholders();
    seedRandom(seed);
    loadMapText(mapText);
    ArmyCounts counts;
    counts.fill(eachClassPerSide);
    if (eachClassPerSide == FULL_HOME_ROWS)
        for (int k = 0; k < ARMY_COUNTS; k++) counts[k] = 3 * mapCols / 5 + (k % 5 < 3 * mapCols % 5);
    if (!armiesFit(counts)) {
        std::fprintf(stderr, "%d of each class per side does not fit on a %d x %d map\n", eachClassPerSide,
                     mapRows, mapCols);
        std::exit(2);
    }
    placeArmies(counts);

    for (int player = 1; player <= 2; player++)
        for (Unit* unit : allUnits)
            if (unit->player == player) {
                unit->hero = true;
                break;
            }
    choosingHeroes = false;
    p1ChoosingHero = p2ChoosingHero = false;
    p1Material = 16;
    p2Material = 1;
    currentPlayer = 1;
}

// Every unit is given a sight wider than the board (sight is a diameter), so
// the fog of war hides nobody and each frame shows both whole armies.
inline void seeWholeBoard() {
    const int boardWideSight = 2 * (mapRows + mapCols);
    for (Unit* unit : allUnits) unit->sight = boardWideSight;
}

inline bool bannerUp() {
    return bannerP1BeginTurn || bannerP1EndTurn || bannerP2BeginTurn || bannerP2EndTurn || bannerP1Wins ||
           bannerP2Wins;
}

}  // namespace bench
