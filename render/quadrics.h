// render/quadrics.h — the models' spheres, cones and disks, tessellated once and drawn from arrays
//
// Each shape is the one GLU's quadric of the same arguments draws (filled,
// smooth normals, facing outwards), with the same vertices in the same
// primitives, except for fewer stacks where they only shade (cylinders and
// disks take at most two) and a sphere less than a pixel in radius, which
// takes the fewest slices and stacks that still make a closed ball.
#pragma once

void drawSphere(double radius, int slices, int stacks);
void drawCylinder(double base, double top, double height, int slices, int stacks);
void drawDisk(double radius, int slices, int loops);   // filled to the centre
