// render/sky_faces.h — how the sky box lays each face's picture on the cube
//
// The box draws its faces from this table, the artwork paints each face's
// pixels from the directions it gives, and the artwork's test follows it
// across the cube's edges: one table, so the three cannot drift apart. No GL here.
#pragma once

enum SkyFaceIndex { SKY_FRONT, SKY_BACK, SKY_LEFT, SKY_RIGHT, SKY_UP, SKY_DOWN };

struct SkyCorner {
    float s, t;                   // texture coordinate
    bool  highX, highY, highZ;    // which end of each axis of the box
};

// Each face's four corners, in drawing order.
extern const SkyCorner SKY_FACE_CORNERS[6][4];

// The point of the cube from -1 to 1 on each axis that the face's texture
// coordinate (s, t) shows; outside 0 to 1 it goes on in the face's plane.
void skyFacePoint(int face, float s, float t, float point[3]);
