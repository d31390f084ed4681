// tests/unit/test_random.cpp — the game's generator gives the same numbers everywhere
#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <set>

#include "game/random.h"

// The C standard's example generator: these are its well-known first outputs.
TEST(Random, SeedOneGivesTheStandardExampleSequence) {
    seedRandom(1);
    const int expected[] = {16838, 5758, 10113, 17515, 31051, 5627, 23010, 7419, 16212, 4086};
    for (int value : expected) EXPECT_EQ(randomNext(), value);
}

TEST(Random, ReseedingReplaysTheSameNumbers) {
    seedRandom(42);
    const int expected[] = {19081, 17033, 15269, 25461, 13856};
    for (int value : expected) EXPECT_EQ(randomNext(), value);
    seedRandom(42);
    EXPECT_EQ(randomNext(), 19081);
}

TEST(Random, ResultsStayWithinFifteenBits) {
    seedRandom(20261206);
    int highest = 0, lowest = RANDOM_MAX;
    for (int i = 0; i < 200000; i++) {
        int value = randomNext();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, RANDOM_MAX);
        highest = std::max(highest, value);
        lowest = std::min(lowest, value);
    }
    EXPECT_EQ(highest, RANDOM_MAX);
    EXPECT_EQ(lowest, 0);
}

TEST(Random, RandomIntScalesTheDrawAndSwapsReversedBounds) {
    // 16838, 5758, 10113 scaled to ten values: 16838 × 10 / 32768 = 5.13…, and so on.
    seedRandom(1);
    EXPECT_EQ(randomInt(0, 9), 5);
    EXPECT_EQ(randomInt(0, 9), 1);
    EXPECT_EQ(randomInt(0, 9), 3);
    seedRandom(1);
    EXPECT_EQ(randomInt(9, 0), 5);
    EXPECT_EQ(randomInt(19, 10), 11);
    EXPECT_EQ(randomInt(-3, -3), -3);
}

TEST(Random, RandomIntCoversExactlyItsRange) {
    seedRandom(7);
    std::set<int> seen;
    for (int i = 0; i < 5000; i++) {
        int value = randomInt(9, 11);
        ASSERT_GE(value, 9);
        ASSERT_LE(value, 11);
        seen.insert(value);
    }
    EXPECT_EQ(seen, (std::set<int>{9, 10, 11}));
}

// The widest range the 32-bit product allows: 32767 × 60001 still fits.
TEST(Random, RandomIntOverAWideRangeReachesBothEnds) {
    seedRandom(3);
    int lowest = INT_MAX, highest = INT_MIN;
    for (int i = 0; i < 100000; i++) {
        int value = randomInt(-30000, 30000);
        ASSERT_GE(value, -30000);
        ASSERT_LE(value, 30000);
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    EXPECT_LT(lowest, -29900);
    EXPECT_GT(highest, 29900);
}
