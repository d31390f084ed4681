// ai/levels.h — how well the computer plays: the levels a person can choose, one table
#pragma once

// How well the computer plays. A beginner strikes whatever is best for each
// unit alone, forgets now and then that its hero can fall, and takes any of
// its good plans, not always the best; the hardest level plays the rest of
// its turn out after each of its best plans before it picks one.
enum Level { LEVEL_EASY, LEVEL_NORMAL, LEVEL_HARD, LEVELS };
struct LevelSetup {
    const char* name;     // as --level and the arena name it
    bool  focusFire;      // kills are shared out among the units that may still act
    int   heroLapse;      // one turn in this many (at random) the hero minds no danger; 0 never
    float spread;         // any plan scoring within this of the best may be taken
    int   foresight;      // so many of the best plans are each weighed with the rest of the turn played out
};
extern const LevelSetup LEVEL_SETUPS[LEVELS];
int levelNamed(const char* name);   // the Level of that name, or -1
