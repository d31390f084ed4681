// game/random.cpp — the C standard's example generator, the same on every platform, twice over
#include "game/random.h"

#include <cstdint>

namespace {
uint32_t randomState = 1;
uint32_t effectState = 1;

int nextFrom(uint32_t& state) {
    state = state * 1103515245u + 12345u;   // wraps modulo 2^32 by design
    return int(state / 65536 % 32768);
}
}  // namespace

// The effects' sequence starts elsewhere in the cycle than the battle's, so
// that the first spark does not mirror the first roll.
void seedRandom(unsigned seed) {
    randomState = seed;
    effectState = seed * 2654435761u + 0x9E3779B9u;
}

unsigned randomGeneratorState() { return randomState; }

int randomNext() { return nextFrom(randomState); }

int effectRandomNext() { return nextFrom(effectState); }

unsigned effectGeneratorState() { return effectState; }

void seedEffects(unsigned state) { effectState = state; }

// The product r × n is a 32-bit quantity; it is formed in unsigned arithmetic
// so that an enormous range wraps instead of overflowing.
int randomInt(int lo, int hi) {
    if (lo > hi) {
        int swap = lo;
        lo = hi;
        hi = swap;
    }
    uint32_t n = uint32_t(hi) - uint32_t(lo) + 1u;
    int32_t product = int32_t(uint32_t(randomNext()) * n);
    return int(int64_t(lo) + int64_t(product / 32768.0));
}
