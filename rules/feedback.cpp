// rules/feedback.cpp — the odds before a roll, the reach of a move, the numbers a blow leaves behind
#include "rules/feedback.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "game/unit.h"
#include "rules/combat.h"
#include "rules/cursor.h"
#include "rules/movement.h"

std::vector<FloatingNumber> floatingNumbers;

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
    if (!floatingNumbers.empty()) {
        FloatingNumber& last = floatingNumbers.back();
        if (last.age == 0 && last.heal == heal && sameSpot(last.at, at)) {
            last.amount += amount;
            return;
        }
    }
    floatingNumbers.push_back({at, amount, heal, 0});
}

void ageFloatingNumbers(float seconds) {
    for (FloatingNumber& number : floatingNumbers) number.age += seconds;
    floatingNumbers.erase(std::remove_if(floatingNumbers.begin(), floatingNumbers.end(),
                                         [](const FloatingNumber& n) { return n.age >= FLOATING_SECONDS; }),
                          floatingNumbers.end());
}
