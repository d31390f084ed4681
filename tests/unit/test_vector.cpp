// tests/unit/test_vector.cpp — vector arithmetic and the game's angle rules
#include <cmath>
#include <gtest/gtest.h>

#include "game/vector.h"

namespace {

void expectVector(const Vector& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

}  // namespace

TEST(Vector, StartsAtOriginAndAddsSubtractsAndScales) {
    expectVector(Vector(), 0, 0, 0);
    Vector a(1, 2, 3), b(0.5f, -4, 10);
    expectVector(a + b, 1.5f, -2, 13);
    expectVector(a - b, 0.5f, 6, -7);
    expectVector(a * 2, 2, 4, 6);
    Vector c = a;
    c += b;
    expectVector(c, 1.5f, -2, 13);
    c -= b;
    expectVector(c, 1, 2, 3);
}

TEST(Vector, DotAndCrossFollowTheRightHandRule) {
    EXPECT_FLOAT_EQ(dot(Vector(1, 2, 3), Vector(4, -5, 6)), 12);
    expectVector(cross(Vector(1, 0, 0), Vector(0, 1, 0)), 0, 0, 1);
    expectVector(cross(Vector(1, 2, 3), Vector(4, 5, 6)), -3, 6, -3);
}

TEST(Vector, LengthAndNormalizeWithoutAGuardForZero) {
    EXPECT_FLOAT_EQ(length(Vector(3, 4, 12)), 13);
    expectVector(normalize(Vector(0, 3, 4)), 0, 0.6f, 0.8f);
    Vector zero = normalize(Vector());
    EXPECT_TRUE(std::isnan(zero.x) && std::isnan(zero.y) && std::isnan(zero.z));
}

TEST(Vector, AngleBetweenUnitVectorsInDegrees) {
    EXPECT_NEAR(angleBetween(Vector(1, 0, 0), Vector(0, 0, 1)), 90.0f, 1e-3f);
    EXPECT_NEAR(angleBetween(Vector(1, 0, 0), Vector(-1, 0, 0)), 180.0f, 1e-3f);
    // The inputs are not normalised: a dot product above 1 has no angle.
    EXPECT_TRUE(std::isnan(angleBetween(Vector(2, 0, 0), Vector(1, 0, 0))));
}

TEST(Vector, SameSpotComparesTenthsTruncatedTowardZero) {
    EXPECT_TRUE(sameSpot(Vector(1.21f, 0, 3.5f), Vector(1.29f, 0.05f, 3.55f)));
    EXPECT_FALSE(sameSpot(Vector(1.29f, 0, 0), Vector(1.31f, 0, 0)));
    EXPECT_FALSE(sameSpot(Vector(0, 0, 2.0f), Vector(0, 0, 2.15f)));
    // Truncation toward zero: both sides of the origin fall into tenth 0.
    EXPECT_TRUE(sameSpot(Vector(-0.09f, 0, 0), Vector(0.09f, 0, 0)));
    EXPECT_FALSE(sameSpot(Vector(-0.11f, 0, 0), Vector(0.09f, 0, 0)));
}

TEST(Vector, DegreesAndRadiansUsePiAsFiveDecimals) {
    EXPECT_FLOAT_EQ(degToRad(180), 3.14159f);
    EXPECT_FLOAT_EQ(radToDeg(3.14159f), 180.0f);
    EXPECT_FLOAT_EQ(radToDeg(1), 57.295827908797776f);
}
