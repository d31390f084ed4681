// game/random.h — the game's random numbers
//
// Every draw in the game comes from this generator: 15-bit results (0 … 32767)
// on every platform, so a seed replays the same battle anywhere. The state
// starts at 1, which makes draws taken before seeding (the particle pool is
// built during static initialisation) reproducible as well.
#pragma once

constexpr int RANDOM_MAX = 32767;

void seedRandom(unsigned seed);
unsigned randomGeneratorState();   // seedRandom with it goes on with the same sequence
int  randomNext();                 // 0 … RANDOM_MAX
int  randomInt(int lo, int hi);    // lo … hi inclusive; swaps them when lo > hi
