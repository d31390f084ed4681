// ai/computer.h — computer players: the special keys a person would press, at a person's pace
#pragma once

enum Commander { BY_PERSON, BY_COMPUTER, BY_GREEDY, BY_RANDOM, BY_SQUAD };

extern int   commander[3];    // who presses each player's keys; index 0 unused
extern int   computerLevel[3];   // how well the computer plays each player (a Level); index 0 unused
extern float computerPace;    // seconds between two inputs when few units must act; 0 for one at every call
extern bool  computerHurry;   // w: the computer presses its keys four times as fast, until w again or a new battle

constexpr float DEFAULT_COMPUTER_PACE = 0.15f;
constexpr float SLOWEST_COMPUTER_PACE = 10;   // a key every ten seconds: slower is no game to watch
constexpr float HURRY_FACTOR = 4;
constexpr int   UNHURRIED_UNITS = 4;   // up to this many units to act, every key waits the whole pace
constexpr float TRAVEL_SHARE = 0.25f;  // of the wait, for an arrow that only carries the cursor to the unit

// Run from the idle callback after the per-frame update, given the seconds
// since the last call. When the side whose keys command the battle
// (activeSide) has no person at them, it chooses at most one special key,
// and none while a step glides or an attack plays, nor (at a pace above 0)
// while a banner covers the board, so that a person watching sees every
// action: the key for the caller to hand to the dispatcher at once, or 0.
int computerTick(float seconds);

// The seconds the next key waits: the pace, shortened in proportion when
// more than UNHURRIED_UNITS units had an action at the start of the turn, a
// quarter of that in a hurry, and TRAVEL_SHARE of it for an arrow that only
// carries the cursor to the unit to use.
float keyWait(bool cursorTravel);

// Whether the side whose turn it is has the computer at its keys (the hero
// choice included) and the battle is not over: the camera follows its moves.
bool computerHasTheTurn();

// How many ticks of the battle each frame's worth of time runs while the
// computer has the turn: one for every TURN_SPEED_UNITS of its units able to
// act when the turn began (rounded, 1 to MOST_TURN_SPEED), four times that in a hurry (w). The
// glides and blows play as they always do, only sooner; at 1 nothing differs.
constexpr float TURN_SPEED_UNITS = 1.5f;
constexpr int   LEAST_TURN_SPEED = 2;
constexpr int   MOST_TURN_SPEED = 8;
int computerTurnSpeed();

// The side --computer names: "1", "2" or "both". False for anything else.
bool commandByComputer(const char* side);
// --level: the computer plays every side it commands at the level (a Level).
void playAtLevel(int level);

// KESTRAVA_COMPUTER_PACE: seconds, 0 to SLOWEST_COMPUTER_PACE. Without it
// the default pace; anything else (infinity and NaN too) is said on
// standard error and the default kept.
float computerPaceSetting(const char* setting);

// A new battle: no plans, no sightings, the default pace.
void forgetOrders();

// How long the choices took, per player, in processor time of the deciding
// thread (the wall clock would count other programs' turns on a busy machine).
struct DecisionClock {
    long   decisions = 0;
    double totalSeconds = 0, worstSeconds = 0;
};
extern DecisionClock decisionClock[3];
