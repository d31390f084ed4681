// ai/knowledge.cpp — sightings of the enemy and of the ground, kept from one turn to the next
#include "ai/knowledge.h"

#include <algorithm>

#include "game/unit.h"
#include "rules/movement.h"

std::vector<Sighting> sightings[3];
int turnsBegun[3];
int hiddenSince[3][MAP_LIMIT][MAP_LIMIT];
int quietTurns[3];
int knowledgeRevision[3];
int turnsSinceFall[3];

namespace {
int lastEventTurn[3];               // the player's turn in which it last saw a blow or a heal
int lastFallTurn[3];                // the player's turn in which it last saw a unit fall
std::vector<int> ownHp[3];          // its units' hit points at the last look, by index in allUnits

bool watches(const Unit& unit, int player) { return unit.player == player && !unit.dead; }

// Squares in sight hide nobody.
void clearSeen(int player, const std::vector<bool>& seen) {
    for (int r = 0; r < mapRows; r++)
        for (int c = 0; c < mapCols; c++)
            if (seen[r * MAP_LIMIT + c]) hiddenSince[player][r][c] = 0;
}

// One enemy turn: every square within ENEMY_STRIDE of one where an enemy
// may have stood may hold one now; a square keeps the turn it first could.
void widenHiding(int player, int turn) {
    auto& since = hiddenSince[player];
    for (int stride = 0; stride < ENEMY_STRIDE; stride++) {
        static bool reached[MAP_LIMIT][MAP_LIMIT];
        for (int r = 0; r < mapRows; r++)
            for (int c = 0; c < mapCols; c++)
                reached[r][c] = since[r][c] > 0 || (r > 0 && since[r - 1][c] > 0) ||
                                (r + 1 < mapRows && since[r + 1][c] > 0) || (c > 0 && since[r][c - 1] > 0) ||
                                (c + 1 < mapCols && since[r][c + 1] > 0);
        for (int r = 0; r < mapRows; r++)
            for (int c = 0; c < mapCols; c++)
                if (reached[r][c] && since[r][c] == 0) since[r][c] = turn;
    }
}

bool seenFrom(const Unit& observer, int row, int col) {
    Unit stand;
    stand.position = battleMap[row][col].centre;
    return inSight(observer, stand);
}
}  // namespace

// Sight is a diameter of at most a few squares, so each unit looks only at
// the squares around its own (a gliding unit may be a square off its own).
std::vector<bool> squaresInSight(int player) {
    std::vector<bool> seen(MAP_LIMIT * MAP_LIMIT);
    for (const Unit* unit : allUnits) {
        if (!watches(*unit, player)) continue;
        int around = unit->sight / 2 + 2;
        for (int r = std::max(0, unit->row - around); r <= std::min(mapRows - 1, unit->row + around); r++)
            for (int c = std::max(0, unit->col - around); c <= std::min(mapCols - 1, unit->col + around); c++)
                if (!seen[r * MAP_LIMIT + c] && seenFrom(*unit, r, c)) seen[r * MAP_LIMIT + c] = true;
    }
    return seen;
}

void noteSightings(int player) {
    std::vector<int>& hps = ownHp[player];
    hps.resize(allUnits.size(), -1);
    for (size_t i = 0; i < allUnits.size(); i++) {
        if (allUnits[i]->player != player) continue;
        if (hps[i] >= 0 && hps[i] != allUnits[i]->hp) lastEventTurn[player] = turnsBegun[player];
        if (hps[i] >= 0 && allUnits[i]->dead) lastFallTurn[player] = turnsBegun[player];
        hps[i] = allUnits[i]->dead ? -1 : allUnits[i]->hp;
    }
    std::vector<Sighting>& known = sightings[player];
    const std::vector<bool> seen = squaresInSight(player);
    clearSeen(player, seen);
    for (const Unit* unit : allUnits) {
        if (unit->player == player) continue;
        auto found = std::find_if(known.begin(), known.end(), [unit](const Sighting& s) { return s.unit == unit; });
        // The fallen are not drawn: a square with a fallen unit looks empty.
        if (unit->visible && !unit->dead) {
            Sighting now{unit, unit->row, unit->col, unit->hp, true};
            if (found == known.end()) {
                known.push_back(now);
            } else if (found->row != now.row || found->col != now.col || found->hp != now.hp || !found->inView) {
                if (found->inView && found->hp != now.hp) lastEventTurn[player] = turnsBegun[player];
                *found = now;
            } else {
                continue;
            }
        } else if (found == known.end()) {
            continue;
        } else if (seen[found->row * MAP_LIMIT + found->col]) {
            if (found->inView && unit->dead) lastFallTurn[player] = turnsBegun[player];
            known.erase(found);
        } else if (found->inView) {
            found->inView = false;
        } else {
            continue;
        }
        knowledgeRevision[player]++;
    }
}

// Before its first look, a side knows only that the enemy army stands on its
// home rows: each enemy is taken to stand in the middle one, the army spread
// over its width, until its side looks there.
void expectEnemyAtHome(int player) {
    std::vector<const Unit*> enemies;
    for (const Unit* unit : allUnits)
        if (unit->player != player && !unit->dead) enemies.push_back(unit);
    const int row = player == 1 ? mapRows - 2 : 1;
    for (size_t k = 0; k < enemies.size(); k++) {
        const Unit* unit = enemies[k];
        bool known = std::any_of(sightings[player].begin(), sightings[player].end(),
                                 [unit](const Sighting& s) { return s.unit == unit; });
        int col = static_cast<int>((2 * k + 1) * mapCols / (2 * enemies.size()));
        if (!known) sightings[player].push_back({unit, row, col, unit->maxHp, false, true, turnsBegun[player]});
    }
    knowledgeRevision[player]++;
}

void noteTurnStart(int player) {
    int turn = ++turnsBegun[player];
    if (turn == 1) {
        expectEnemyAtHome(player);
        const int firstEnemyRow = player == 1 ? mapRows - 3 : 0;
        for (int r = std::max(0, firstEnemyRow); r < firstEnemyRow + 3 && r < mapRows; r++)
            for (int c = 0; c < mapCols; c++) hiddenSince[player][r][c] = turn;
    }
    // Player 1 opens the battle: before its first turn the enemy has not moved.
    if (turn > 1 || player == 2) widenHiding(player, turn);
    std::vector<Sighting>& known = sightings[player];
    auto stale = [turn](const Sighting& s) { return s.guess && turn - s.turn >= GUESS_TURNS; };
    if (std::any_of(known.begin(), known.end(), stale)) {
        known.erase(std::remove_if(known.begin(), known.end(), stale), known.end());
        knowledgeRevision[player]++;
    }
    const std::vector<bool> seen = squaresInSight(player);
    clearSeen(player, seen);
    // An enemy that is nowhere it could be has gone where nobody looked.
    bool anywhere = false;
    for (int r = 0; r < mapRows && !anywhere; r++)
        for (int c = 0; c < mapCols && !anywhere; c++) anywhere = hiddenSince[player][r][c] > 0;
    for (int r = 0; r < mapRows && !anywhere; r++)
        for (int c = 0; c < mapCols; c++)
            if (!seen[r * MAP_LIMIT + c]) hiddenSince[player][r][c] = turn;

    quietTurns[player] = std::max(0, turn - 1 - std::max(lastEventTurn[player], 1));
    turnsSinceFall[player] = std::max(0, turn - 1 - std::max(lastFallTurn[player], 1));
}

void forgetSightings() {
    for (int player = 1; player <= 2; player++) {
        sightings[player].clear();
        turnsBegun[player] = 0;
        for (auto& row : hiddenSince[player])
            for (int& turn : row) turn = 0;
        quietTurns[player] = 0;
        lastEventTurn[player] = 0;
        lastFallTurn[player] = 0;
        turnsSinceFall[player] = 0;
        ownHp[player].clear();
        knowledgeRevision[player]++;
    }
}
