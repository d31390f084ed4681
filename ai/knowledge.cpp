// ai/knowledge.cpp — sightings of the enemy and of the ground, kept from one turn to the next
#include "ai/knowledge.h"

#include <algorithm>

#include "game/unit.h"
#include "rules/movement.h"

std::vector<Sighting> sightings[3];
int turnsBegun[3];
int lookedAt[3][MAP_LIMIT][MAP_LIMIT];
int quietTurns[3];

namespace {
long lastTally[3];   // the player's hit points and those of the enemies it knew, at its last turn's start
}

bool squareInSight(int player, int row, int col) {
    Unit stand;
    stand.position = battleMap[row][col].centre;
    for (const Unit* unit : allUnits)
        if (unit->player == player && !unit->dead && inSight(*unit, stand)) return true;
    return false;
}

void noteSightings(int player) {
    std::vector<Sighting>& known = sightings[player];
    for (const Unit* unit : allUnits) {
        if (unit->player == player) continue;
        auto found = std::find_if(known.begin(), known.end(), [unit](const Sighting& s) { return s.unit == unit; });
        bool seen = unit->visible && !unit->dead;
        if (seen) {
            Sighting now{unit, unit->row, unit->col, unit->hp, true};
            if (found == known.end()) known.push_back(now);
            else *found = now;
        } else if (found != known.end()) {
            // Its fall is seen, and so is an empty square where it stood.
            if (unit->dead || squareInSight(player, found->row, found->col)) known.erase(found);
            else found->inView = false;
        }
    }
}

void noteTurnStart(int player) {
    int turn = ++turnsBegun[player];
    for (int r = 0; r < mapRows; r++)
        for (int c = 0; c < mapCols; c++)
            if (squareInSight(player, r, c)) lookedAt[player][r][c] = turn;

    long tally = static_cast<long>(sightings[player].size()) << 32;
    for (const Unit* unit : allUnits)
        if (unit->player == player && !unit->dead) tally += unit->hp;
    for (const Sighting& seen : sightings[player]) tally += seen.hp;
    quietTurns[player] = tally == lastTally[player] ? quietTurns[player] + 1 : 0;
    lastTally[player] = tally;
}

void forgetSightings() {
    for (int player = 1; player <= 2; player++) {
        sightings[player].clear();
        turnsBegun[player] = 0;
        for (auto& row : lookedAt[player])
            for (int& turn : row) turn = 0;
        quietTurns[player] = 0;
        lastTally[player] = 0;
    }
}
