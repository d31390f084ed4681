// game/vector.cpp — vector arithmetic and the degree/radian rules
#include "game/vector.h"

#include <cmath>

Vector operator+(const Vector& a, const Vector& b) { return Vector(a.x + b.x, a.y + b.y, a.z + b.z); }
Vector operator-(const Vector& a, const Vector& b) { return Vector(a.x - b.x, a.y - b.y, a.z - b.z); }
Vector operator*(const Vector& a, float s) { return Vector(a.x * s, a.y * s, a.z * s); }

Vector& operator+=(Vector& a, const Vector& b) {
    a = a + b;
    return a;
}

Vector& operator-=(Vector& a, const Vector& b) {
    a = a - b;
    return a;
}

float dot(const Vector& a, const Vector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector cross(const Vector& a, const Vector& b) {
    return Vector(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

float length(const Vector& v) { return std::sqrt(dot(v, v)); }

Vector normalize(const Vector& v) {
    float len = length(v);
    return Vector(v.x / len, v.y / len, v.z / len);
}

// The dot product of non-unit vectors may leave [-1, 1]; the result is then
// NaN, as callers are expected to pass unit vectors.
float angleBetween(const Vector& a, const Vector& b) { return radToDeg(std::acos(dot(a, b))); }

// Truncation on floats rather than a cast to int: same answer, and no
// undefined behaviour for coordinates beyond the int range.
bool sameSpot(const Vector& a, const Vector& b) {
    return std::trunc(a.x * 10) == std::trunc(b.x * 10) && std::trunc(a.y * 10) == std::trunc(b.y * 10) &&
           std::trunc(a.z * 10) == std::trunc(b.z * 10);
}

float degToRad(float degrees) { return degrees * 3.14159f / 180.0f; }
float radToDeg(float radians) { return radians * 57.295827908797776f; }
