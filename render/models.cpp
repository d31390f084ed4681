// render/models.cpp — the five unit models, drawn every frame from quadrics, wire spheres and polygons
//
// Each model is drawn at the origin with the army's material already applied;
// the scene has placed, turned and scaled the frame. Angles are degrees.
#include "render/models.h"

#include <GL/glut.h>

#include "game/unit.h"
#include "render/looks.h"
#include "render/quadrics.h"

namespace {

// The two debug spheres every model starts with.
void drawDebugSpheres(const Unit& unit) {
    if (showUnitSphere)
        glutWireSphere(1.0, 10, 10);
    if (showSightSphere)
        glutWireSphere(static_cast<double>(unit.sight), 10, 10);
}

// A flat lit part (vane, tail, wing) with its face's normal: without one it
// would be lit by whatever normal the last quadric left behind.
void polygon(const float corners[4][3]) {
    const Vector first(corners[1][0] - corners[0][0], corners[1][1] - corners[0][1], corners[1][2] - corners[0][2]);
    const Vector second(corners[2][0] - corners[1][0], corners[2][1] - corners[1][1], corners[2][2] - corners[1][2]);
    const Vector normal = normalize(cross(first, second));
    glNormal3f(normal.x, normal.y, normal.z);
    glBegin(GL_POLYGON);
    for (int i = 0; i < 4; ++i)
        glVertex3fv(corners[i]);
    glEnd();
}

// One of the Healer's cube edges: a rod of length 1 from one corner to the
// next, along an axis of the cube.
void cubeEdge(const float from[3], const float to[3], double farRadius) {
    glPushMatrix();
    glTranslatef(from[0], from[1], from[2]);
    if (to[0] != from[0])
        glRotatef(to[0] > from[0] ? 90.0f : -90.0f, 0, 1, 0);
    else if (to[1] != from[1])
        glRotatef(to[1] > from[1] ? -90.0f : 90.0f, 1, 0, 0);
    else if (to[2] < from[2])
        glRotatef(180.0f, 0, 1, 0);
    drawCylinder(0.025, farRadius, 1.0, 5, 5);
    glPopMatrix();
}

void cubeBall(const float at[3], double radius) {
    glPushMatrix();
    glTranslatef(at[0], at[1], at[2]);
    drawSphere(radius, 15, 15);
    glPopMatrix();
}

// The cube frame in drawing order: an edge runs from `from` to `to`, a ball
// sits at `from`.
struct CubeItem {
    bool   ball;
    float  from[3];
    float  to[3];
    double radius;   // ball radius, or the edge's radius at its far end
};

const CubeItem cubeFrame[] = {
    //  ball   from                   to                    radius
    {false, {-0.5f,  0.5f, -0.5f}, {-0.5f, -0.5f, -0.5f}, 0.025},
    {false, { 0.5f,  0.5f,  0.5f}, { 0.5f, -0.5f,  0.5f}, 0.025},
    {true,  { 0.5f,  0.5f,  0.5f}, {},                    0.071},
    {false, { 0.5f,  0.5f, -0.5f}, { 0.5f, -0.5f, -0.5f}, 0.025},
    {false, {-0.5f,  0.5f,  0.5f}, {-0.5f, -0.5f,  0.5f}, 0.025},
    {false, {-0.5f,  0.5f, -0.5f}, {-0.5f,  0.5f,  0.5f}, 0.025},
    {false, { 0.5f,  0.5f, -0.5f}, { 0.5f,  0.5f,  0.5f}, 0.025},
    {true,  { 0.5f,  0.5f, -0.5f}, {},                    0.125},
    {false, {-0.5f,  0.5f, -0.5f}, { 0.5f,  0.5f, -0.5f}, 0.035},
    {true,  {-0.5f,  0.5f, -0.5f}, {},                    0.08},
    {false, {-0.5f,  0.5f,  0.5f}, { 0.5f,  0.5f,  0.5f}, 0.025},
    {true,  {-0.5f,  0.5f,  0.5f}, {},                    0.095},
    {false, {-0.5f, -0.5f, -0.5f}, {-0.5f, -0.5f,  0.5f}, 0.025},
    {false, { 0.5f, -0.5f, -0.5f}, { 0.5f, -0.5f,  0.5f}, 0.025},
    {true,  { 0.5f, -0.5f, -0.5f}, {},                    0.05},
    {false, {-0.5f, -0.5f, -0.5f}, { 0.5f, -0.5f, -0.5f}, 0.025},
    {true,  {-0.5f, -0.5f, -0.5f}, {},                    0.1},
    {false, {-0.5f, -0.5f,  0.5f}, { 0.5f, -0.5f,  0.5f}, 0.025},
    {true,  {-0.5f, -0.5f,  0.5f}, {},                    0.07},
    {true,  { 0.5f, -0.5f,  0.5f}, {},                    0.05},
};

// An upright cone: base on the frame's y = 0 plane, closed underneath.
void uprightCone(float y, double base, double top, double height, double diskRadius, int loops) {
    glPushMatrix();
    glTranslatef(0, y, 0);
    glRotatef(-90, 1, 0, 0);
    drawCylinder(base, top, height, 20, 5);
    drawDisk(diskRadius, 20, loops);
    glPopMatrix();
}

}  // namespace

void drawArcherLimb() {
    glPushMatrix();
    glScalef(0.75f, 0.75f, 0.75f);
    glRotatef(90, 0, 1, 0);
    glTranslatef(0, 0.75f, 0);
    glPushMatrix();
    glRotatef(90, 1, 0, 0);
    drawCylinder(0.025, 0.025, 0.75, 5, 5);
    glTranslatef(-0.002f, 0.011f, 0);
    glRotatef(60, 1, 0, 0);
    drawCylinder(0.025, 0.025, 0.5, 5, 5);
    glTranslatef(0, -0.025f, 0.5f);
    glRotatef(-90, 1, 0, 0);
    drawCylinder(0.025, 0.025, 0.25, 5, 5);
    glTranslatef(0, 0, 0.235f);
    glRotatef(-110, 1, 0, 0);
    drawCylinder(0.025, 0.025, 0.25, 5, 5);
    glPopMatrix();
    glPopMatrix();
}

void drawCubeFrame() {
    for (const CubeItem& item : cubeFrame) {
        if (item.ball)
            cubeBall(item.from, item.radius);
        else
            cubeEdge(item.from, item.to, item.radius);
    }
}

void Archer::draw() {
    static const float firstVane[4][3]  = {{0.65f, 0.4f, 0}, {0.65f, -0.75f, 0}, {0, -0.48f, 0}, {0, -0.35f, 0}};
    static const float secondVane[4][3] = {{-0.65f, 0.4f, 0}, {-0.65f, -0.75f, 0}, {0, -0.48f, 0}, {0, -0.35f, 0}};

    drawDebugSpheres(*this);

    glPushMatrix();
    glTranslatef(0, 0.2f, 0);
    glPushMatrix();
    glRotatef(20, 0, 0, 1);
    glRotatef(flexAngle, 0, 0, 1);
    drawArcherLimb();
    glPopMatrix();
    glPushMatrix();
    glRotatef(180, 0, 1, 0);
    glRotatef(20, 0, 0, 1);
    glRotatef(flexAngle, 0, 0, 1);
    drawArcherLimb();
    glPopMatrix();
    glPopMatrix();
    drawSphere(0.25, 15, 15);

    // Three stacked cones, bases at y = -0.5, -0.75 and -1.0.
    glPushMatrix();
    glTranslatef(0, -0.5f, 0);
    glRotatef(-90, 1, 0, 0);
    drawCylinder(0.2, 0, 0.5, 20, 5);
    drawDisk(0.2, 20, 5);
    for (int i = 0; i < 2; ++i) {
        glTranslatef(0, 0, -0.25f);
        drawCylinder(0.2, 0, 0.5, 20, 5);
        drawDisk(0.2, 20, 5);
    }
    glPopMatrix();

    glPushMatrix();
    glRotatef(swingAngle, 0, 1, 0);
    glRotatef(45, 0, 1, 0);
    polygon(firstVane);
    glPopMatrix();

    // Kept as the model always drew it: the turn stays on the frame, and the
    // second vane swings against the first. The scene's pop discards it.
    glRotatef(-swingAngle, 0, 1, 0);
    glPushMatrix();
    glRotatef(-45, 0, 1, 0);
    polygon(secondVane);
    glPopMatrix();
}

void Fighter::draw() {
    drawDebugSpheres(*this);

    uprightCone(-1.0f, 0.3, 0.1, 0.7, 0.3, 7);   // the body, y = -1.0 to -0.3

    glPushMatrix();
    glTranslatef(0, -0.15f, 0);
    drawSphere(0.3, 8, 8);
    glPopMatrix();

    glPushMatrix();
    glTranslatef(0, 0.55f, 0);
    drawSphere(0.25, 20, 20);
    glPushMatrix();
    glRotatef(spikeSpin, 0, 1, 0);
    glTranslatef(0, 0.125f, 0);
    // The turns accumulate, so the twelve spikes do not spread evenly.
    for (int a = 0; a < 360; a += 30) {
        glRotatef(static_cast<float>(a), 0, 1, 0);
        glPushMatrix();
        glTranslatef(0, 0, 0.2f);
        glRotatef(-50, 1, 0, 0);
        drawCylinder(0.05, 0, 0.2, 20, 5);
        glPopMatrix();
    }
    glPopMatrix();
    glPopMatrix();

    glPushMatrix();
    glRotatef(crownSpin, 0, 1, 0);
    glTranslatef(0, 0.25f, 0);
    for (int a = 0; a < 360; a += 90) {
        glRotatef(static_cast<float>(a), 0, 1, 0);
        drawCylinder(0.3, 0, 0.6, 20, 5);
    }
    glPopMatrix();
}

void Flier::draw() {
    static const float tail[4][3]      = {{-0.35f, 0, -0.35f}, {-0.35f, 0, 0.35f}, {0, 0, 0.5f}, {0, 0, -0.5f}};
    static const float rightWing[4][3] = {{0, 0, 0.175f}, {0, 0, -0.175f}, {0.5f, 0, -0.175f}, {0.5f, 0, 0.175f}};
    static const float leftWing[4][3]  = {{0, 0, 0.175f}, {0, 0, -0.175f}, {-0.5f, 0, -0.175f}, {-0.5f, 0, 0.175f}};

    glPushMatrix();
    glTranslatef(0, hoverHeight, 0);
    drawDebugSpheres(*this);

    // Two rings of beads; at 40-degree steps the first ring repeats every 9.
    glPushMatrix();
    glRotatef(-40, 0, 0, 1);
    glRotatef(ringSpin, 1, 0, 0);
    for (int i = 0; i < 18; ++i) {
        glRotatef(40, 1, 0, 0);
        glPushMatrix();
        glTranslatef(0, 0.5f, 0);
        drawSphere(0.02, 5, 5);
        glPopMatrix();
    }
    glPopMatrix();
    glPushMatrix();
    glRotatef(40, 0, 0, 1);
    glRotatef(-ringSpin, 1, 0, 0);
    for (int i = 0; i < 18; ++i) {
        glRotatef(25, 1, 0, 0);
        glPushMatrix();
        glTranslatef(0, 0.5f, 0);
        drawSphere(0.02, 8, 8);
        glPopMatrix();
    }
    glPopMatrix();

    drawSphere(0.35, 15, 15);

    glPushMatrix();
    glRotatef(tailAngle, 1, 0, 0);
    glTranslatef(0, 0, -0.525f);
    glRotatef(90, 0, 1, 0);
    polygon(tail);
    glPopMatrix();

    glColor4f(1, 1, 1, 1);

    glPushMatrix();
    glRotatef(wingAngle, 0, 0, 1);
    glTranslatef(0.175f, 0, 0.01575f);
    glRotatef(-30, 0, 1, 0);
    glRotatef(180, 1, 0, 0);
    polygon(rightWing);
    glPopMatrix();

    glPushMatrix();
    glRotatef(-wingAngle, 0, 0, 1);
    glTranslatef(-0.175f, 0, 0.01575f);
    glRotatef(30, 0, 1, 0);
    polygon(leftWing);
    glPopMatrix();

    glPopMatrix();
}

void Healer::draw() {
    drawDebugSpheres(*this);

    glPushMatrix();
    glRotatef(spinLarge, 0, 1, 0);
    glRotatef(90, 1, 0, 1);
    drawCubeFrame();
    glPopMatrix();

    glPushMatrix();
    glRotatef(-spinMiddle, 0, 1, 0);
    glRotatef(90, 0, 1, 1);
    glScalef(0.65f, 0.65f, 0.65f);
    drawCubeFrame();
    glPopMatrix();

    glPushMatrix();
    glRotatef(spinSmall, 0, 1, 0);
    glRotatef(90, 0, 1, 1);
    glScalef(0.25f, 0.25f, 0.25f);
    drawCubeFrame();
    glPopMatrix();

    drawSphere(0.05, 15, 15);
    uprightCone(-1.0f, 0.4, 0, 1, 0.4, 5);
}

void Mage::draw() {
    drawDebugSpheres(*this);

    // The idle animation adds spinStep to spin: the beads race while the menu is open.
    spinStep = menuOpen ? 7.0f : 0.5f;

    uprightCone(-0.3f, 0.3, 0, 0.25, 0.35, 5);
    uprightCone(-0.5f, 0.25, 0, 0.5, 0.25, 5);
    uprightCone(-1.0f, 0.45, 0.25, 0.5, 0.45, 5);

    glPushMatrix();
    glTranslatef(0, 0.125f, 0);
    glRotatef(-90, 1, 0, 0);
    drawSphere(0.25, 15, 15);
    glPopMatrix();

    // Hat: brim first, then the cone, slightly wider than the head.
    glPushMatrix();
    glTranslatef(0, 0.25f, 0);
    glRotatef(-90, 1, 0, 0);
    drawDisk(0.4, 20, 7);
    drawCylinder(0.25625, 0, 0.6, 20, 5);
    glPopMatrix();

    glPushMatrix();
    glRotatef(spin, 0, 1, 0);
    glTranslatef(0, -0.5f, 0);
    glRotatef(90, 0, 0, 1);
    for (int i = 0; i < 18; ++i) {
        glRotatef(40, 1, 0, 0);
        glPushMatrix();
        glTranslatef(0, 0.4f, 0);
        drawSphere(0.035, 5, 5);
        glPopMatrix();
    }
    glPopMatrix();
}
