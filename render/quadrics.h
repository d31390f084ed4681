// render/quadrics.h — the models' parts: spheres, cones, disks and flat quads worked out once into GL buffers
//
// A part is what moves as one: a model's body, a bow limb, a ring of beads.
// Its shapes are recorded once, placed by the transforms the recording
// makes, and each frame the whole part is drawn in a call or two under the
// transforms of that moment. Each shape is the one GLU's quadric of the same
// arguments draws (filled, smooth normals, facing outwards), with the same
// vertices and triangles, except for fewer stacks where they only shade
// (cylinders and disks take at most two) and a sphere less than a pixel in
// radius, which takes the fewest slices and stacks that still make a closed
// ball.
#pragma once
#include <functional>

struct PartRecorder;   // the part being recorded

// Which faces of a shape can ever be seen when its model is opaque; the
// others need not be filled. A sphere shows only its front (outside). So
// does a cone closed by a disk, or a rod whose open ends lie inside balls.
// The disk that closes a cone from below faces up into it: only its back
// shows. A model drawn see-through shows every face but a sphere's back.
enum Faces { BOTH_FACES, FRONT_FACES, BACK_FACES };

// Each adds its shape at the model-view matrix in force (the part's own
// space, which starts at the identity).
void addSphere(PartRecorder& part, double radius, int slices, int stacks);
void addCylinder(PartRecorder& part, double base, double top, double height, int slices, int stacks,
                 Faces faces = BOTH_FACES);
void addDisk(PartRecorder& part, double radius, int slices, int loops, Faces faces = BOTH_FACES);   // filled to the centre
void addFlatQuad(PartRecorder& part, const float corners[4][3]);   // lit by its face's normal; both faces show

struct ModelPart {
    int index = -1;
};

// Runs `shape` once with the model-view matrix at the identity, and keeps
// what it added; needs the GL context the part will be drawn in.
ModelPart recordPart(const std::function<void(PartRecorder&)>& shape);

// The part under the current transforms. Opaque, its shapes come grouped by
// the faces they show; while blending is on, everything comes in the order
// it was added, since see-through faces show the order they were drawn in.
void drawPart(ModelPart part);
