// ai/computer.h — computer players: the special keys a person would press, at a person's pace
#pragma once

enum Commander { BY_PERSON, BY_COMPUTER, BY_GREEDY, BY_RANDOM };

extern int   commander[3];    // who presses each player's keys; index 0 unused
extern float computerPace;    // seconds between two inputs; 0 for one at every call

// Run from the idle callback after the per-frame update, given the seconds
// since the last call. When the side whose keys command the battle
// (activeSide) has no person at them, it chooses at most one special key,
// and none while a step glides or an attack plays: the key for the caller
// to hand to the dispatcher at once, or 0.
int computerTick(float seconds);

// Takes "--computer 1", "--computer 2" or "--computer both" off the front of
// the arguments and reads the pace from KESTRAVA_COMPUTER_PACE; returns how
// many arguments are left. A bad value ends the program with status 1.
int takeComputerOption(int argc, char** argv);

// A new battle: no plans, no sightings.
void forgetOrders();

// How long the choices took, per player, in processor time of the deciding
// thread (the wall clock would count other programs' turns on a busy machine).
struct DecisionClock {
    long   decisions = 0;
    double totalSeconds = 0, worstSeconds = 0;
};
extern DecisionClock decisionClock[3];
