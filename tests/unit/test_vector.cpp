// tests/unit/test_vector.cpp — vector arithmetic and the game's angle rules
#include <cmath>
#include <gtest/gtest.h>

#include "game/vector.h"

namespace {
testing::AssertionResult is(const Vector& v, float x, float y, float z) {
    if (std::fabs(v.x - x) < 1e-5f && std::fabs(v.y - y) < 1e-5f && std::fabs(v.z - z) < 1e-5f)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}
}  // namespace

TEST(Vector, ProductsLengthsAndAnglesWithTheGamesOwnPiAndNoGuardForZero) {
    EXPECT_TRUE(is(Vector(1, 2, 3) - Vector(0.5f, -4, 10) * 2, 0, 10, -17));
    EXPECT_FLOAT_EQ(dot(Vector(1, 2, 3), Vector(4, -5, 6)), 12);
    EXPECT_TRUE(is(cross(Vector(1, 2, 3), Vector(4, 5, 6)), -3, 6, -3));
    EXPECT_FLOAT_EQ(length(Vector(3, 4, 12)), 13);
    EXPECT_TRUE(is(normalize(Vector(0, 3, 4)), 0, 0.6f, 0.8f));
    EXPECT_TRUE(std::isnan(normalize(Vector()).x));
    EXPECT_NEAR(angleBetween(Vector(1, 0, 0), Vector(-1, 0, 0)), 180.0f, 1e-3f);
    EXPECT_TRUE(std::isnan(angleBetween(Vector(2, 0, 0), Vector(1, 0, 0)))) << "the inputs are not normalised";
    EXPECT_FLOAT_EQ(degToRad(180), 3.14159f);
    EXPECT_FLOAT_EQ(radToDeg(1), 57.295827908797776f);
}

TEST(Vector, SameSpotComparesTenthsTruncatedTowardZero) {
    EXPECT_TRUE(sameSpot(Vector(1.21f, 0, 3.5f), Vector(1.29f, 0.05f, 3.55f)));
    EXPECT_FALSE(sameSpot(Vector(1.29f, 0, 0), Vector(1.31f, 0, 0)));
    EXPECT_TRUE(sameSpot(Vector(-0.09f, 0, 0), Vector(0.09f, 0, 0)));   // both sides of 0 fall into tenth 0
    EXPECT_FALSE(sameSpot(Vector(-0.11f, 0, 0), Vector(0.09f, 0, 0)));
}
