// rules/movement.cpp — stepping square by square, and the fog of war
#include "rules/movement.h"

#include <cmath>
#include <functional>
#include <queue>
#include <tuple>
#include <vector>

#include "game/battle_map.h"
#include "game/unit.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/takeback.h"

namespace {

constexpr float GLIDE_STEP = 0.04f;   // world units per update, not per second

template <class T, class F> void forEachIn(const std::vector<T*>& list, F&& fn) {
    for (T* unit : list) fn(*unit);
}

// A player's units in class order (Archers, Fighters, Fliers, Healers,
// Mages), each list in creation order.
template <class F> void forEachUnitOf(int player, F&& fn) {
    bool first = player == 1;
    forEachIn(first ? p1Archers : p2Archers, fn);
    forEachIn(first ? p1Fighters : p2Fighters, fn);
    forEachIn(first ? p1Fliers : p2Fliers, fn);
    forEachIn(first ? p1Healers : p2Healers, fn);
    forEachIn(first ? p1Mages : p2Mages, fn);
}

// Every square's fewest points from the unit's, and (when from is given) the
// square each was last reached from more cheaply: a square's cost never
// changes after it leaves the queue, so neither does where it came from.
void cheapestWays(const Unit& unit, int cost[MAP_LIMIT][MAP_LIMIT], std::pair<int, int> from[MAP_LIMIT][MAP_LIMIT]) {
    for (int r = 0; r < MAP_LIMIT; r++)
        for (int c = 0; c < MAP_LIMIT; c++) cost[r][c] = NO_PATH;
    using Entry = std::tuple<int, int, int>;   // cost, row, column
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    cost[unit.row][unit.col] = 0;
    open.emplace(0, unit.row, unit.col);
    const int steps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    while (!open.empty()) {
        auto [paid, row, col] = open.top();
        open.pop();
        if (paid > cost[row][col]) continue;   // reached more cheaply since
        for (const auto& step : steps) {
            int r = row + step[0], c = col + step[1];
            if (r < 0 || r >= mapRows || c < 0 || c >= mapCols || battleMap[r][c].occupant != -1) continue;
            int next = paid + stepCost(unit, r, c);
            if (next >= cost[r][c]) continue;
            cost[r][c] = next;
            if (from) from[r][c] = {row, col};
            open.emplace(next, r, c);
        }
    }
}

}  // namespace

void stepToward(Unit& unit, const Vector& target) {
    Vector direction = normalize(target - unit.position);
    unit.position += direction * GLIDE_STEP;
}

// The unit glides to the cursor's square; on arrival it pays the square's
// terrain code (a Flier pays 1), never going below 0 points. It has arrived
// on the same spot as the centre, or when it is closer than one step: a unit
// coming in on a slant (sent elsewhere after a stop) would otherwise swing
// across the centre for ever without the spot test matching on both axes.
void advanceStep() {
    Unit& unit = *selectedUnit;
    MapCell& target = battleMap[cursorRow][cursorCol];
    if (!sameSpot(target.centre, unit.position) && length(target.centre - unit.position) >= GLIDE_STEP) {
        stepToward(unit, target.centre);
        return;
    }
    moveAnimating = false;
    moveTargetValid = false;
    noteStepTaken(unit, unit.row, unit.col, unit.movePoints);
    unit.movePoints -= stepCost(unit, cursorRow, cursorCol);
    if (unit.movePoints < 0) unit.movePoints = 0;
    battleMap[unit.row][unit.col].occupant = -1;
    target.occupant = unit.id;
    unit.row = cursorRow;
    unit.col = cursorCol;
    unit.position = target.centre;
    if (unit.movePoints < 1) choosingMove = false;
    battleRevision++;
}

void showSide(int player) {
    int other = player == 1 ? 2 : 1;
    forEachUnitOf(player, [](Unit& unit) { unit.visible = true; });
    forEachUnitOf(other, [](Unit& unit) { unit.visible = false; });
}

// Sight is a diameter: a sight of 7 reaches 3.75 world units.
bool inSight(const Unit& observer, const Unit& other) {
    float dx = observer.position.x - other.position.x;
    float dy = observer.position.y - other.position.y;
    float dz = observer.position.z - other.position.z;
    float distance = std::sqrt(dx * dx + dy * dy + dz * dz);
    return 2 * distance <= observer.sight + 0.5f;
}

// Only the given player's units see; every enemy they see is revealed.
void updateVisibility(int player) {
    showSide(player);
    int other = player == 1 ? 2 : 1;
    forEachUnitOf(player, [other](Unit& observer) {
        forEachUnitOf(other, [&observer](Unit& unit) {
            if (inSight(observer, unit)) unit.visible = true;
        });
    });
}

int stepCost(const Unit& unit, int row, int col) {
    return unit.unitClass == CLASS_FLIER ? 1 : battleMap[row][col].terrain;
}

void movementCosts(const Unit& unit, int cost[MAP_LIMIT][MAP_LIMIT]) {
    cheapestWays(unit, cost, nullptr);
}

std::vector<std::pair<int, int>> cheapestPath(const Unit& unit, int row, int col) {
    static int cost[MAP_LIMIT][MAP_LIMIT];
    static std::pair<int, int> from[MAP_LIMIT][MAP_LIMIT];
    std::vector<std::pair<int, int>> path;
    if (row < 0 || row >= mapRows || col < 0 || col >= mapCols) return path;
    cheapestWays(unit, cost, from);
    if (cost[row][col] == NO_PATH) return path;
    for (std::pair<int, int> at(row, col); at != std::make_pair(unit.row, unit.col); at = from[at.first][at.second])
        path.push_back(at);
    return {path.rbegin(), path.rend()};
}
