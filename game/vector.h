// game/vector.h — three floats in world units (y up), and the degree/radian rules
#pragma once

struct Vector {
    float x, y, z;
    Vector() : x(0), y(0), z(0) {}
    Vector(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
};

Vector operator+(const Vector& a, const Vector& b);
Vector operator-(const Vector& a, const Vector& b);
Vector operator*(const Vector& a, float s);
Vector& operator+=(Vector& a, const Vector& b);
Vector& operator-=(Vector& a, const Vector& b);

float dot(const Vector& a, const Vector& b);
Vector cross(const Vector& a, const Vector& b);
float length(const Vector& v);
Vector normalize(const Vector& v);             // no guard against a zero vector
float angleBetween(const Vector& a, const Vector& b);   // degrees; inputs are not normalised here
bool sameSpot(const Vector& a, const Vector& b);       // equal after ×10 and truncation, per axis

// The game's own constants: pi is 3.14159 both ways round.
float degToRad(float degrees);
float radToDeg(float radians);
