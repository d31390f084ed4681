// rules/combat.h — the hit roll, damage, the end of an action, and the attack effects' state
#pragma once
#include "game/vector.h"
struct Unit;

constexpr int VOLLEY_TRAIL = 50;

// The Archer's volley: a lead arrow flies to the aim point, then a trail of
// arrows is released one per update and scatters along the same flight.
struct ArrowVolley {
    int    state = 0;             // 0 lead arrow flying, 1 trail scattering
    Vector arrow;
    Vector trail[VOLLEY_TRAIL];
    bool   trailLive[VOLLEY_TRAIL] = {};
    int    released = 0;
    float  distance = 0;
    Vector direction;
    float  travelled = 0;
    Vector start, end;
    float  flightTime = 0;        // seconds the lead arrow took
    float  trailAge[VOLLEY_TRAIL] = {};
    void launch(const Vector& from, const Vector& to);
};

// The Fighter's lunge (mode 2) and the Flier's swoop (mode 1).
struct LungeEffect {
    float  phase = 0;             // 0 going out, 1 coming back or waiting
    Vector current;
    float  distance = 0;
    Vector direction;
    float  travelled = 0;
    Vector start, end;
    float  outTime = 0;
    float  backTime = 0;          // carried over from one lunge to the next
    int    mode = 0;
    int    drawCount = 0;         // ticks the lightning has been shown since launch (one frame each at 60 a second)
    void launch(const Vector& from, const Vector& to, int lungeMode);
};

extern bool   attackMissed;       // the running attack's roll missed
extern Vector aimPoint;           // where the attack lands
extern int    healStartHp;        // target's hp when the heal started
extern Vector boltStart, boltPosition, boltDirection;   // the Healer's and Mage's bolt
extern bool   boltActive;
extern int    particleStyle;      // 1 healing, 2 Healer attacking, 0 otherwise
extern ArrowVolley arrowVolley;
extern LungeEffect lungeEffect;

void startAttack();                          // target on the cursor's square, attacker selectedUnit
void resolveDamage(Unit& attacker, Unit& target);
void endAction();
// A new battle: no blow under way and nothing an earlier one leaves to the
// next (the attack sequences' counters and trails, the numbers still rising,
// the log).
void resetCombat();

// The sums the roll and the damage are made of, for anyone who wants to know
// the odds before attacking. Rolls 0 to 100 below the miss range miss; special
// is a Skills or Magic attack.
float missRange(const Unit& attacker, const Unit& target, bool special);
// A Skills or Magic blow adds a random extra of 0 to this many hit points.
constexpr int SPECIAL_EXTRA_MAX = 14;
// A hit's damage before it is truncated: the attack less the target's
// reduction (which grows with its hit points), plus a special attack's
// random extra, plus the class pairing.
float hitDamage(const Unit& attacker, const Unit& target, int extra);
// The class table's part of that: above 0 bonus damage, below 0 less, 0 for a pairing it lacks.
float matchupChange(const Unit& attacker, const Unit& target);
// A Mage's spell strikes twice, one resolveDamage after the other; every other blow once.
int strikesPerHit(const Unit& attacker);
// A heal gives 1 hit point an update until it has given 30 % of the
// target's maxHp or the target is whole again.
bool healComplete(int hp, int startHp, int maxHp);
