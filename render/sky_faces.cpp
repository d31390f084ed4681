// render/sky_faces.cpp — the sky box's faces as corners of the cube
#include "render/sky_faces.h"

const SkyCorner SKY_FACE_CORNERS[6][4] = {
    {{1, 0, false, false, true}, {1, 1, false, true, true}, {0, 1, true, true, true}, {0, 0, true, false, true}},
    {{1, 0, true, false, false}, {1, 1, true, true, false}, {0, 1, false, true, false}, {0, 0, false, false, false}},
    {{1, 1, false, true, false}, {0, 1, false, true, true}, {0, 0, false, false, true}, {1, 0, false, false, false}},
    {{0, 0, true, false, false}, {1, 0, true, false, true}, {1, 1, true, true, true}, {0, 1, true, true, false}},
    {{0, 0, true, true, false}, {1, 0, true, true, true}, {1, 1, false, true, true}, {0, 1, false, true, false}},
    {{0, 0, false, false, false}, {1, 0, false, false, true}, {1, 1, true, false, true}, {0, 1, true, false, false}},
};

namespace {

void cornerAt(int face, float s, float t, float point[3]) {
    for (const SkyCorner& corner : SKY_FACE_CORNERS[face]) {
        if (corner.s != s || corner.t != t) continue;
        point[0] = corner.highX ? 1 : -1;
        point[1] = corner.highY ? 1 : -1;
        point[2] = corner.highZ ? 1 : -1;
    }
}

}  // namespace

// Each face is a square, so the point moves evenly with s and t from the
// corner at (0, 0).
void skyFacePoint(int face, float s, float t, float point[3]) {
    float origin[3], alongS[3], alongT[3];
    cornerAt(face, 0, 0, origin);
    cornerAt(face, 1, 0, alongS);
    cornerAt(face, 0, 1, alongT);
    for (int i = 0; i < 3; i++) point[i] = origin[i] + s * (alongS[i] - origin[i]) + t * (alongT[i] - origin[i]);
}
