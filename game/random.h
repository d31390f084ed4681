// game/random.h — the game's random numbers
//
// Two generators of one kind, with 15-bit results (0 … 32767) on every
// platform, so that a seed replays the same battle anywhere.
//
// The battle's generator serves the placement and the rolls (the hit roll, a
// special blow's extra) and nothing else, so the same keys give the same
// rolls at any frame rate. The effects' generator serves everything that only
// shows (the spell particles and sparks, the volley's scatter, a struck
// unit's shaking, where a missed blow lands), however many frames draw them.
// Seeding the battle's generator seeds the effects' from it; the kept battle
// holds both, so that a resumed battle also shows what it would have shown.
// Both start at 1, which makes draws taken before seeding (the particle pool
// is built during static initialisation) reproducible as well.
#pragma once

constexpr int RANDOM_MAX = 32767;

void seedRandom(unsigned seed);    // the battle's generator, and the effects' from it
unsigned randomGeneratorState();   // the battle's; seedRandom with it goes on with the same rolls
int  randomNext();                 // 0 … RANDOM_MAX, from the battle's generator
int  randomInt(int lo, int hi);    // lo … hi inclusive, from the battle's; swaps them when lo > hi
int  effectRandomNext();           // 0 … RANDOM_MAX, from the effects' generator
unsigned effectGeneratorState();
void seedEffects(unsigned state);  // the effects' alone; with effectGeneratorState it goes on as it was
