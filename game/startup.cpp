// game/startup.cpp — start-up on the console: seed, placeholders, map, army counts, placement
#include "game/startup.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <vector>

#include "game/battle_map.h"
#include "game/random.h"
#include "game/unit.h"

unsigned   battleSeed = 0;
ArmyCounts placedCounts{};

namespace {

// selectedUnit and targetUnit point here until the first selection and the
// first attack. Static storage rather than the heap: once the pointers move
// on, nothing is left unreachable for the leak checker to report.
Unit firstPlaceholder, secondPlaceholder;

// The message each placement run writes when it draws an occupied square, in
// count order; nullptr where the run writes none.
const char* const DUPLICATE_MESSAGES[ARMY_COUNTS] = {
    nullptr,                                  // player 1 Archers
    nullptr,                                  // player 1 Fighters
    "duplicate found...re-rolling",           // player 1 Fliers
    "duplicate found...re-rolling",           // player 1 Healers
    "duplicate found...re-rolling",           // player 1 Mages
    nullptr,                                  // player 2 Archers
    "duplicate found...re-rolling",           // player 2 Fighters
    "duplicate found...re-rolling",           // player 2 Fliers
    "mage duplicate found...re-rolling",      // player 2 Healers
    "duplicate found...re-rolling",           // player 2 Mages
};

// Kept in battleSeed, so that a recording can say what seeded each battle.
void seedWith(unsigned seed) {
    battleSeed = seed;
    seedRandom(seed);
}

// The clock, unless KESTRAVA_SEED holds a whole number from 0 to 4294967295
// (every seed there is, as a replay writes it), which makes a battle replayable.
void seedGenerator() {
    const char* text = std::getenv("KESTRAVA_SEED");
    if (text && *text) {
        char* end = nullptr;
        errno = 0;
        long long seed = std::strtoll(text, &end, 10);
        if (errno == 0 && *end == '\0' && seed >= 0 && seed <= UINT_MAX) {
            seedWith(unsigned(seed));
            return;
        }
        std::cerr << "KESTRAVA_SEED is not a whole number from 0 to 4294967295; the clock seeds the battle instead."
                  << std::endl;
    }
    seedWith(unsigned(std::time(nullptr)));
}

// 64-bit sums: ten counts near the int limits cannot wrap.
long long armyTotal(const ArmyCounts& counts, int player) {
    long long total = 0;
    for (int k = 0; k < 5; k++) total += counts[(player - 1) * 5 + k];
    return total;
}

long long unitsToPlace(const ArmyCounts& counts, int player) {
    long long total = 0;
    for (int k = 0; k < 5; k++) total += counts[(player - 1) * 5 + k] > 0 ? counts[(player - 1) * 5 + k] : 0;
    return total;
}

// The comparison line is information only; it uses the plain totals, so a
// negative count lowers its player's.
void compareArmies(const ArmyCounts& counts) {
    long long player1UnitCount = armyTotal(counts, 1);
    long long player2UnitCount = armyTotal(counts, 2);
    std::cout << std::endl;
    if (player1UnitCount > player2UnitCount)
        std::cout << "Player 1 has more units than Player 2." << std::endl << std::endl;
    else if (player2UnitCount > player1UnitCount)
        std::cout << "Player 2 has more units than Player 1." << std::endl << std::endl;
    else
        std::cout << "Unit count for Player 1 and Player 2 are equal." << std::endl << std::endl;
}

template <class T>
void placeRun(int count, int player, std::vector<T*>& list, const char* duplicateMessage) {
    int firstRow = player == 1 ? 0 : mapRows - 3;
    for (int n = 0; n < count; n++) {
        int row, col;
        for (;;) {
            row = randomInt(firstRow, firstRow + 2);
            col = randomInt(0, mapCols - 1);
            if (battleMap[row][col].occupant == -1) break;
            if (duplicateMessage) std::cout << duplicateMessage << std::endl;
        }
        MapCell& cell = battleMap[row][col];
        // The construction is given row and column the wrong way round; the
        // position is replaced by the square's centre at once, so it never shows.
        T* unit = new T(row + 0.5f, 0, col + 0.5f, player);
        unit->position = cell.centre;
        list.push_back(unit);
        allUnits.push_back(unit);
        std::cout << "id num is " << unit->id << std::endl;
        std::cout << "occupying a square with unit with id num of " << unit->id << std::endl;
        cell.occupant = unit->id;
        unit->row = row;
        unit->col = col;
        unit->facing = player == 1 ? 0.0f : -180.0f;   // the armies face each other
    }
}

}  // namespace

int countFromText(const char* text) {
    while (std::isspace(static_cast<unsigned char>(*text))) text++;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+') text++;
    long long magnitude = 0;
    for (; *text >= '0' && *text <= '9'; text++) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > 1LL + INT_MAX) magnitude = 1LL + INT_MAX;   // already beyond either limit
    }
    long long value = negative ? -magnitude : magnitude;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return int(value);
}

ArmyCounts readArmyCounts(std::istream& in) {
    ArmyCounts counts;
    counts.fill(2);
    // A failed extraction would store 0 or a clamped value; reading through a
    // spare keeps the 2. The stream stays failed, so later counts keep 2 too.
    for (int& count : counts) {
        int value;
        if (in >> value) count = value;
    }
    return counts;
}

bool armiesFit(const ArmyCounts& counts) {
    long long homeSquares = 3LL * mapCols;
    return unitsToPlace(counts, 1) <= homeSquares && unitsToPlace(counts, 2) <= homeSquares;
}

// Ids follow creation order: player 1 before player 2, and within a player
// Archer, Fighter, Flier, Healer, Mage.
void placeArmies(const ArmyCounts& counts) {
    placeRun(counts[0], 1, p1Archers, DUPLICATE_MESSAGES[0]);
    placeRun(counts[1], 1, p1Fighters, DUPLICATE_MESSAGES[1]);
    placeRun(counts[2], 1, p1Fliers, DUPLICATE_MESSAGES[2]);
    placeRun(counts[3], 1, p1Healers, DUPLICATE_MESSAGES[3]);
    placeRun(counts[4], 1, p1Mages, DUPLICATE_MESSAGES[4]);
    placeRun(counts[5], 2, p2Archers, DUPLICATE_MESSAGES[5]);
    placeRun(counts[6], 2, p2Fighters, DUPLICATE_MESSAGES[6]);
    placeRun(counts[7], 2, p2Fliers, DUPLICATE_MESSAGES[7]);
    placeRun(counts[8], 2, p2Healers, DUPLICATE_MESSAGES[8]);
    placeRun(counts[9], 2, p2Mages, DUPLICATE_MESSAGES[9]);
}

void replaceArmies() {
    ArmyCounts counts{};
    for (const Unit* unit : allUnits) counts[(unit->player - 1) * 5 + unit->unitClass - 1]++;
    disbandArmies();
    for (int r = 0; r < mapRows; r++)
        for (int c = 0; c < mapCols; c++) battleMap[r][c].occupant = -1;
    seedGenerator();
    firstPlaceholder = Unit();
    secondPlaceholder = Unit();
    selectedUnit = &firstPlaceholder;
    targetUnit = &secondPlaceholder;
    placeArmies(counts);
}

void startBattle(int argc, char** argv) {
    seedGenerator();
    firstPlaceholder.menuOpen = false;
    selectedUnit = &firstPlaceholder;
    targetUnit = &secondPlaceholder;

    readMapSize();
    readMapTerrain();

    int given = argc - 1;
    ArmyCounts counts;
    if (given >= ARMY_COUNTS) {
        for (int k = 0; k < ARMY_COUNTS; k++) counts[k] = countFromText(argv[k + 1]);
    } else {
        std::cout << "There are not enough inputs. Please enter both armies now (10 numbers):" << std::endl;
        counts = readArmyCounts(std::cin);
    }

    // More than ten arguments skip the report, but never the capacity check:
    // placement of an army that does not fit would never finish.
    if (given == ARMY_COUNTS)
        std::cout << std::endl << ":::Correct Number of Units Entered...Placing Units Randomly On Map:::" << std::endl;
    if (given <= ARMY_COUNTS) compareArmies(counts);
    if (!armiesFit(counts)) {
        std::cout << "Too many units to fit on the first 3 rows of the map." << std::endl;
        std::exit(1);
    }

    placedCounts = counts;
    placeArmies(counts);
}
