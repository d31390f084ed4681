// tests/unit/test_random.cpp — the game's generator gives the same numbers everywhere
#include <gtest/gtest.h>
#include <set>

#include "game/random.h"

// The C standard's example generator: these are its well-known first outputs.
TEST(Random, SeedsGiveTheStandardExampleSequenceAndReseedingReplaysIt) {
    for (int round = 0; round < 2; round++) {
        seedRandom(1);
        for (int value : {16838, 5758, 10113, 17515, 31051, 5627, 23010, 7419}) EXPECT_EQ(randomNext(), value);
    }
    seedRandom(42);
    EXPECT_EQ(randomNext(), 19081);
}

TEST(Random, RandomIntScalesTheDrawSwapsReversedBoundsAndReachesBothEnds) {
    // 16838 × 10 / 32768 = 5.13…, 5758 × 10 / 32768 = 1.75…, 10113 × 10 / 32768 = 3.08…
    seedRandom(1);
    EXPECT_EQ(randomInt(0, 9), 5);
    EXPECT_EQ(randomInt(9, 0), 1);
    EXPECT_EQ(randomInt(19, 10), 13);
    EXPECT_EQ(randomInt(-3, -3), -3);
    // The widest range the 32-bit product allows: 32767 × 60001 still fits.
    std::set<int> ends;
    for (int i = 0; i < 20000; i++) {
        int value = randomInt(-30000, 30000);
        ASSERT_TRUE(value >= -30000 && value <= 30000) << value;
        if (value < -29900 || value > 29900) ends.insert(value > 0);
    }
    EXPECT_EQ(ends.size(), 2u);
}
