// rules/feedback.h — what the screen tells a player of the rules: the odds
// before a roll, where a unit can go, the numbers a blow leaves behind
//
// Everything here is worked out by the same functions the roll, the damage
// and the steps use (rules/combat.h, rules/movement.h); render/ only draws it.
#pragma once
#include <vector>
#include "game/battle_map.h"
#include "game/vector.h"
struct Unit;

// What the blow being aimed will do.
struct Odds {
    bool shown = false;        // aiming at a unit the player can see
    int  targetClass = 0;
    int  targetHp = 0, targetMaxHp = 0;
    int  firstHit = 0;         // the lowest roll (0–100) that hits; 101 when none does
    int  hitPercent = 0;       // of the 101 rolls, rounded
    bool heal = false;         // the amount is hit points given back
    int  amountLow = 0;        // hit points the target loses (or gains), with no special extra
    int  amountHigh = 0;       // the same with the largest extra a Skills or Magic blow can add
};

// selectedUnit aiming at the cursor's square, with the entry chosen (attack,
// Skills or Magic, Healing). Not shown while nothing is aimed at, while the
// blow plays, or when the square's unit is hidden by the fog of war.
Odds oddsAtCursor();

// The same for a square the pointer points at while selectedUnit aims: shown
// for a unit in sight on a square the cursor could be taken to and struck,
// inside the reach and not the aiming unit's own.
Odds oddsAt(int row, int col);

// The status panel shows the selected unit's numbers: never those of a unit
// the current player cannot see.
bool statusShown();

// The living unit on the square, when the current player can see it: the one
// pointing at the square reads. Null for an empty square or a hidden unit.
const Unit* unitInSight(int row, int col);

// Every square the unit could step to this turn, one step at a time over
// free squares with the movement points it has left.
void moveReach(const Unit& unit, bool reach[MAP_LIMIT][MAP_LIMIT]);

// A number rising from a unit after a blow or a heal.
struct FloatingNumber {
    Vector at;       // the unit's square
    int    amount;   // hit points lost, or gained by a heal
    bool   heal;
    float  age;      // seconds since the blow
};
constexpr float FLOATING_SECONDS = 1.2f;   // how long a number rises
extern std::vector<FloatingNumber> floatingNumbers;

// The Mage's two strikes land in one update and show as one number.
void noteBlow(const Unit& target, int amount, bool heal);
void ageFloatingNumbers(float seconds);   // from the per-frame update
