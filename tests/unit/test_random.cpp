// tests/unit/test_random.cpp — the game's generator gives the same numbers everywhere
#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <vector>

#include "game/random.h"

// The C standard's example generator: these are its well-known first outputs.
TEST(Random, SeedsGiveTheStandardExampleSequenceAndReseedingReplaysIt) {
    seedRandom(1);
    const int fromOne[] = {16838, 5758, 10113, 17515, 31051, 5627, 23010, 7419, 16212, 4086};
    for (int value : fromOne) EXPECT_EQ(randomNext(), value);
    for (int round = 0; round < 2; round++) {
        seedRandom(42);
        for (int value : {19081, 17033, 15269, 25461, 13856}) EXPECT_EQ(randomNext(), value) << "round " << round;
    }
}

TEST(Random, ResultsStayWithinFifteenBits) {
    seedRandom(20261206);
    int highest = 0, lowest = RANDOM_MAX;
    for (int i = 0; i < 200000; i++) {
        int value = randomNext();
        ASSERT_TRUE(value >= 0 && value <= RANDOM_MAX) << value;
        highest = std::max(highest, value);
        lowest = std::min(lowest, value);
    }
    EXPECT_EQ(highest, RANDOM_MAX);
    EXPECT_EQ(lowest, 0);
}

TEST(Random, RandomIntScalesTheDrawAndSwapsReversedBounds) {
    // 16838, 5758, 10113 scaled to ten values: 16838 × 10 / 32768 = 5.13…, and so on.
    seedRandom(1);
    EXPECT_EQ((std::vector<int>{randomInt(0, 9), randomInt(0, 9), randomInt(0, 9)}), (std::vector<int>{5, 1, 3}));
    seedRandom(1);
    EXPECT_EQ(randomInt(9, 0), 5);
    EXPECT_EQ(randomInt(19, 10), 11);
    EXPECT_EQ(randomInt(-3, -3), -3);
}

TEST(Random, RandomIntStaysInItsRangeAndReachesBothEnds) {
    seedRandom(7);
    std::set<int> seen;
    for (int i = 0; i < 5000; i++) seen.insert(randomInt(9, 11));
    EXPECT_EQ(seen, (std::set<int>{9, 10, 11}));

    // The widest range the 32-bit product allows: 32767 × 60001 still fits.
    seedRandom(3);
    int lowest = 30001, highest = -30001;
    for (int i = 0; i < 100000; i++) {
        int value = randomInt(-30000, 30000);
        ASSERT_TRUE(value >= -30000 && value <= 30000) << value;
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    EXPECT_LT(lowest, -29900);
    EXPECT_GT(highest, 29900);
}
