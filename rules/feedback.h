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
    int  targetPlayer = 0;
    bool targetHero = false;
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
    bool   killed;   // the blow brought the unit down
    int    unitId;   // the unit struck
    float  age;      // seconds since the blow
};
constexpr float FLOATING_SECONDS = 1.6f;   // how long a number stays up
extern std::vector<FloatingNumber> floatingNumbers;
// Where the number belongs: on the ground under the unit struck, wherever it
// stands now (it may step away while its number is up); where the blow found
// it once the unit is gone.
Vector numberAnchor(const FloatingNumber& number);

// A unit brought down a moment ago: the frame shows it toppling and fading
// before it goes, the fallen hero too.
struct FallingUnit {
    int   unitId;
    float age;       // seconds since the blow
};
constexpr float FALL_SECONDS = 0.9f;
extern std::vector<FallingUnit> fallingUnits;

// The Mage's two strikes land in one update and show as one number. A blow
// that leaves the target without hit points sets it falling.
void noteBlow(const Unit& target, int amount, bool heal);
void ageFeedback(float seconds);   // from the per-frame update: numbers, falls, the notice
void resetFeedback();              // a new battle: none of them, and the enemies' reach worked out afresh

// A short line on screen saying why a key did nothing (a step or a take-back
// refused), up for NOTICE_SECONDS, or what a key switched (the sound).
extern const char* notice;
extern float noticeSeconds;
constexpr float NOTICE_SECONDS = 2.5f;
void tellPlayer(const char* line, float seconds = NOTICE_SECONDS);

// While a step is chosen: whether Insert would step, and if not, why.
enum StepVerdict {
    STEP_NONE,           // no step choice, or the unit glides
    STEP_READY,          // the lit square is the step
    STEP_OWN_SQUARE,     // the cursor is still on the unit
    STEP_NOT_NEIGHBOUR,  // the cursor is not beside the unit along the last arrow's line
    STEP_OCCUPIED,       // a unit stands there
};
StepVerdict stepVerdict();
const char* stepVerdictLine(StepVerdict verdict);   // "" for none and ready

// The squares the visible enemies of the player could strike in their next
// turn: wherever each could go with a whole turn's 5 movement points over
// the squares free now, at the rules' step costs, and every square within its
// reach from there. Worked out again only when the battle or what the player
// sees has changed since the last call.
const bool (*enemyReach(int player))[MAP_LIMIT];
// The square a player is told about while aiming or stepping: the acting
// unit's square while it aims, the lit square while it steps; false with
// neither, or for a row of -1.
bool watchedSquare(int& row, int& col);
