// ai/knowledge.h — what a computer player knows of the enemy: what its side
// sees now, where it last saw the rest, and how long ago it looked where
#pragma once
#include <vector>
#include "game/battle_map.h"
struct Unit;

// An enemy unit as last seen: where it stood and how many hit points it had.
// Out of sight it is taken to be there still, alive, with those hit points.
// A guess (where the enemy was expected before anyone saw it) is the same,
// but lasts only GUESS_TURNS of the player's turns unless seen.
struct Sighting {
    const Unit* unit;
    int  row, col, hp;
    bool inView;        // seen at this moment, so a possible target
    bool guess = false; // never seen: expected there
    int  turn = 0;      // the player's turn in which the guess was made
};
constexpr int GUESS_TURNS = 3;

// All by the watching player; index 0 unused.
extern std::vector<Sighting> sightings[3];
extern int turnsBegun[3];                       // the player's turns so far
// The player's turn since which an enemy its side does not see may stand on
// each square, 0 where none may: the enemy's home rows at first, then every
// square an enemy could have walked to since, less what the side has seen.
extern int hiddenSince[3][MAP_LIMIT][MAP_LIMIT];
extern int quietTurns[3];          // whole turns of the player since its side last saw a blow land or a heal
extern int turnsSinceFall[3];      // whole turns of the player since its side last saw a unit fall
extern int knowledgeRevision[3];   // bumped whenever a sighting is made, changes or is dropped

// Every square some living unit of the player sees, by row × MAP_LIMIT + column.
std::vector<bool> squaresInSight(int player);

// During the player's own turn, once the sight update has run: records every
// enemy its side sees alive, and forgets one only when its side looks at the
// square where it was last seen and does not find it there alive. What
// happens out of sight (a fall, a step, a heal) is not known. The squares
// in sight hide nobody.
void noteSightings(int player);

// At the start of each of the player's turns, after noteSightings: where an
// unseen enemy may have walked since the last (ENEMY_STRIDE squares from
// where one may have stood), the quiet turns; before the first look, the
// enemy army taken to stand on the middle of its home rows, a guess
// forgotten once GUESS_TURNS have passed without a sight of the unit.
constexpr int ENEMY_STRIDE = 5;   // a Flier's walk in a turn, over any ground
void noteTurnStart(int player);

void forgetSightings();   // a new battle
