// rules/feedback.cpp — the odds before a roll, the reach of a move, the numbers a blow leaves behind
#include "rules/feedback.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "game/unit.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/game_state.h"
#include "rules/movement.h"

std::vector<FloatingNumber> floatingNumbers;
std::vector<FallingUnit> fallingUnits;
const char* notice = "";
float noticeSeconds = 0;

namespace {

constexpr int ROLLS = 101;   // the roll is 0 to 100

const Unit* unitOn(int row, int col) {
    int id = battleMap[row][col].occupant;
    for (const Unit* unit : allUnits)
        if (unit->id == id) return unit;
    return nullptr;
}

// What the target loses when every strike of the blow lands with the given
// extra: each strike is truncated on its own, and the next one meets the
// hit points the last one left (the reduction shrinks with them).
int hitPointsLost(const Unit& attacker, const Unit& target, int extra) {
    Unit struck = target;
    for (int strike = 0; strike < strikesPerHit(attacker); strike++)
        struck.hp -= static_cast<int>(hitDamage(attacker, struck, extra));
    return target.hp - struck.hp;
}

int hitPointsHealed(const Unit& target) {
    int hp = target.hp;
    do hp = std::min(hp + 1, target.maxHp);
    while (!healComplete(hp, target.hp, target.maxHp));
    return hp - target.hp;
}

// The blow selectedUnit aims at the unit on (row, col), if that unit is in sight.
Odds oddsOn(int row, int col) {
    Odds odds;
    const Unit* target = unitOn(row, col);
    if (!target || !target->visible || target->dead) return odds;
    const Unit& attacker = *selectedUnit;
    odds.shown = true;
    odds.targetClass = target->unitClass;
    odds.targetPlayer = target->player;
    odds.targetHero = target->hero;
    odds.targetHp = target->hp;
    odds.targetMaxHp = target->maxHp;
    if (healChosen) {
        // A heal lands whatever the roll: a miss only moves where its sparks go.
        odds.heal = true;
        odds.hitPercent = 100;
        odds.amountLow = odds.amountHigh = hitPointsHealed(*target);
        return odds;
    }
    // A roll below the miss range misses.
    float misses = missRange(attacker, *target, specialChosen);
    odds.firstHit = std::clamp(static_cast<int>(std::ceil(misses)), 0, ROLLS);
    odds.hitPercent = static_cast<int>(std::lround((ROLLS - odds.firstHit) * 100.0 / ROLLS));
    odds.amountLow = hitPointsLost(attacker, *target, 0);
    odds.amountHigh = specialChosen ? hitPointsLost(attacker, *target, SPECIAL_EXTRA_MAX) : odds.amountLow;
    return odds;
}

}  // namespace

Odds oddsAtCursor() {
    if (!choosingTarget || attackAnimating || !attackTargetValid) return Odds();
    return oddsOn(cursorRow, cursorCol);
}

Odds oddsAt(int row, int col) {
    if (!choosingTarget || attackAnimating || row < 0 || row >= mapRows || col < 0 || col >= mapCols) return Odds();
    const Unit& attacker = *selectedUnit;
    int reach = std::abs(row - attacker.row) + std::abs(col - attacker.col);
    if (reach == 0 || reach > attacker.attackRange) return Odds();
    return oddsOn(row, col);
}

bool statusShown() {
    return cursorOnUnit && !selectedUnit->dead && selectedUnit->visible;
}

const Unit* unitInSight(int row, int col) {
    if (row < 0 || row >= mapRows || col < 0 || col >= mapCols) return nullptr;
    const Unit* unit = unitOn(row, col);
    return unit && unit->visible && !unit->dead ? unit : nullptr;
}

// A step is taken while any points are left, whatever it costs: a square is
// in reach when the cheapest way to the square before it leaves some.
void moveReach(const Unit& unit, bool reach[MAP_LIMIT][MAP_LIMIT]) {
    static int cost[MAP_LIMIT][MAP_LIMIT];
    movementCosts(unit, cost);
    for (int r = 0; r < MAP_LIMIT; r++)
        for (int c = 0; c < MAP_LIMIT; c++) {
            bool own = r == unit.row && c == unit.col;
            reach[r][c] = !own && cost[r][c] != NO_PATH && cost[r][c] - stepCost(unit, r, c) < unit.movePoints;
        }
}

void noteBlow(const Unit& target, int amount, bool heal) {
    const Vector& at = battleMap[target.row][target.col].centre;
    const bool killed = !heal && target.hp <= 0;
    if (killed && std::none_of(fallingUnits.begin(), fallingUnits.end(),
                               [&target](const FallingUnit& fall) { return fall.unitId == target.id; }))
        fallingUnits.push_back({target.id, 0});
    if (!floatingNumbers.empty()) {
        FloatingNumber& last = floatingNumbers.back();
        if (last.age == 0 && last.heal == heal && last.unitId == target.id) {
            last.amount += amount;
            last.killed = last.killed || killed;
            return;
        }
    }
    floatingNumbers.push_back({at, amount, heal, killed, target.id, 0});
}

Vector numberAnchor(const FloatingNumber& number) {
    for (const Unit* unit : allUnits)
        if (unit->id == number.unitId && unit->row >= 0 && unit->row < mapRows && unit->col >= 0 && unit->col < mapCols)
            return Vector(unit->position.x, battleMap[unit->row][unit->col].centre.y, unit->position.z);
    return number.at;
}

void ageFeedback(float seconds) {
    for (FloatingNumber& number : floatingNumbers) number.age += seconds;
    floatingNumbers.erase(std::remove_if(floatingNumbers.begin(), floatingNumbers.end(),
                                         [](const FloatingNumber& n) { return n.age >= FLOATING_SECONDS; }),
                          floatingNumbers.end());
    for (FallingUnit& fall : fallingUnits) fall.age += seconds;
    fallingUnits.erase(std::remove_if(fallingUnits.begin(), fallingUnits.end(),
                                      [](const FallingUnit& f) { return f.age >= FALL_SECONDS; }),
                       fallingUnits.end());
    noticeSeconds = std::max(0.0f, noticeSeconds - seconds);
}

void tellPlayer(const char* line, float seconds) {
    notice = line;
    noticeSeconds = seconds;
}

// The arrows reach only the four squares beside the unit, and an arrow at
// right angles to the side the cursor is on leaves it there unlit.
StepVerdict stepVerdict() {
    if (!choosingMove || moveAnimating || selectedUnit->movePoints <= 0) return STEP_NONE;
    if (moveTargetValid) return STEP_READY;
    const Unit& unit = *selectedUnit;
    const int apart = std::abs(cursorRow - unit.row) + std::abs(cursorCol - unit.col);
    if (apart == 0) return STEP_OWN_SQUARE;
    if (apart == 1 && battleMap[cursorRow][cursorCol].occupant != -1) return STEP_OCCUPIED;
    return STEP_NOT_NEIGHBOUR;
}

const char* stepVerdictLine(StepVerdict verdict) {
    switch (verdict) {
        case STEP_OWN_SQUARE: return "ARROW TO A SQUARE BESIDE THE UNIT";
        case STEP_NOT_NEIGHBOUR: return "NOT A NEIGHBOUR: ARROW BACK TO THE UNIT";
        case STEP_OCCUPIED: return "NO STEP: THAT SQUARE IS TAKEN";
        default: return "";
    }
}

namespace {

struct EnemyReach {
    bool squares[MAP_LIMIT][MAP_LIMIT];
    int  player = 0, revision = -1;
    unsigned long sighting = 0;   // which enemies were in sight when it was worked out
};

// One number for the set of living enemies the player sees now, and where they stand.
// Every living unit blocks the enemies' ways, so where each stands counts too.
unsigned long sightingOf(int player) {
    unsigned long sum = 0;
    for (const Unit* unit : allUnits) {
        if (unit->dead) continue;
        const bool seenEnemy = unit->player != player && unit->visible;
        sum = sum * 31 + unit->id * 5003 + (unit->row * MAP_LIMIT + unit->col) * 2 + seenEnemy;
    }
    return sum;
}

EnemyReach reach;

void markStrikes(const Unit& enemy, bool squares[MAP_LIMIT][MAP_LIMIT]) {
    static int cost[MAP_LIMIT][MAP_LIMIT];
    movementCosts(enemy, cost);
    const int range = enemy.attackRange;
    for (int r = 0; r < mapRows; r++)
        for (int c = 0; c < mapCols; c++) {
            const bool own = r == enemy.row && c == enemy.col;
            if (!own && (cost[r][c] == NO_PATH || cost[r][c] - stepCost(enemy, r, c) >= TURN_POINTS)) continue;
            for (int tr = std::max(0, r - range); tr <= std::min(mapRows - 1, r + range); tr++) {
                const int across = range - std::abs(tr - r);
                for (int tc = std::max(0, c - across); tc <= std::min(mapCols - 1, c + across); tc++)
                    if (tr != r || tc != c) squares[tr][tc] = true;
            }
        }
}

}  // namespace

const bool (*enemyReach(int player))[MAP_LIMIT] {
    const unsigned long sighting = sightingOf(player);
    if (reach.player != player || reach.revision != battleRevision || reach.sighting != sighting) {
        reach.player = player;
        reach.revision = battleRevision;
        reach.sighting = sighting;
        for (auto& row : reach.squares)
            for (bool& square : row) square = false;
        for (const Unit* unit : allUnits)
            if (unit->player != player && unit->visible && !unit->dead) markStrikes(*unit, reach.squares);
    }
    return reach.squares;
}

bool watchedSquare(int& row, int& col) {
    if (choosingTarget && !attackAnimating) {
        row = selectedUnit->row;
        col = selectedUnit->col;
        return true;
    }
    if (stepVerdict() != STEP_READY) return false;
    row = cursorRow;
    col = cursorCol;
    return true;
}

void resetFeedback() {
    floatingNumbers.clear();
    fallingUnits.clear();
    noticeSeconds = 0;
    reach.revision = -1;
}
