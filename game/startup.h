// game/startup.h — everything before the window: seed, map, army counts, placement
#pragma once
#include <array>
#include <iosfwd>

// The ten army counts, always in this order: player 1's Archer, Fighter,
// Flier, Healer and Mage counts, then player 2's in the same class order.
constexpr int ARMY_COUNTS = 10;
using ArmyCounts = std::array<int, ARMY_COUNTS>;

extern unsigned   battleSeed;     // what seeded the battle in play: start-up's, or the last new battle's
extern ArmyCounts placedCounts;   // the counts start-up placed, from the arguments or the console

// Runs start-up up to the hand-over to the window. Exits with status 1 on a
// bad map or armies that do not fit. The arguments are the army counts
// after the program's name (the options are read before).
void startBattle(int argc, char** argv);

// One count from a command-line argument, read like atoi (leading blanks, a
// sign, digits up to the first other character; 0 when there is no number)
// but held to the int range instead of overflowing.
int countFromText(const char* text);

// Ten counts from the console. Each starts at 2; the first read that fails
// (not a number, out of range, end of input) leaves it and every later one at 2.
ArmyCounts readArmyCounts(std::istream& in);

// Whether each army fits on its three home rows. Only what will be placed
// counts: a negative count places nothing, so it cannot make room for another
// class.
bool armiesFit(const ArmyCounts& counts);
// The same on a map of so many columns.
bool armiesFitOn(const ArmyCounts& counts, int columns);
// The units of a player's army that would be placed (negative counts place none).
long long unitsToPlace(const ArmyCounts& counts, int player);

// Creates every unit and puts each on a random free square of its owner's
// home rows, reporting on standard output. The map must be loaded and the
// armies must fit.
void placeArmies(const ArmyCounts& counts);

// A new battle on the map in play: the armies counted as they stand (the
// fallen too), every unit freed and every square emptied, the generator
// seeded afresh as at start-up, the selection back on the placeholders, and
// the same counts placed again, reported as start-up reports them.
void replaceArmies();
