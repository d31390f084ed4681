// render/models.cpp — the five unit models, each drawn from a few parts kept in GL buffers
//
// Each model is drawn at the origin with the army's material already applied;
// the scene has placed, turned and scaled the frame. Angles are degrees.
// What moves as one is one part (render/quadrics.h), recorded once from the
// shapes and transforms below; a frame only turns and places the parts by
// the unit's animation.
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

// One of the Healer's cube edges: a rod of length 1 from one corner to the
// next, along an axis of the cube. Both its open ends lie inside the corner
// balls, whose smallest (even as eight triangles) is wider than a rod.
void cubeEdge(PartRecorder& part, const float from[3], const float to[3], double farRadius) {
    glPushMatrix();
    glTranslatef(from[0], from[1], from[2]);
    if (to[0] != from[0])
        glRotatef(to[0] > from[0] ? 90.0f : -90.0f, 0, 1, 0);
    else if (to[1] != from[1])
        glRotatef(to[1] > from[1] ? -90.0f : 90.0f, 1, 0, 0);
    else if (to[2] < from[2])
        glRotatef(180.0f, 0, 1, 0);
    addCylinder(part, 0.025, farRadius, 1.0, 5, 5, FRONT_FACES);
    glPopMatrix();
}

void cubeBall(PartRecorder& part, const float at[3], double radius) {
    glPushMatrix();
    glTranslatef(at[0], at[1], at[2]);
    addSphere(part, radius, 15, 15);
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

// An upright cone with its base at height y, closed underneath by a disk.
// Its top, where it has one, lies inside the shape above it, so only its
// outside shows; of the disk, only the underside, unless it is wider than
// the cone.
void uprightCone(PartRecorder& part, float y, double base, double top, double height, double diskRadius, int loops) {
    glPushMatrix();
    glTranslatef(0, y, 0);
    glRotatef(-90, 1, 0, 0);
    addCylinder(part, base, top, height, 20, 5, FRONT_FACES);
    addDisk(part, diskRadius, 20, loops, diskRadius > base ? BOTH_FACES : BACK_FACES);
    glPopMatrix();
}

// A flat quad turned about y by `turn` degrees first.
ModelPart turnedQuad(float turn, const float (&corners)[4][3]) {
    return recordPart([&](PartRecorder& part) {
        glRotatef(turn, 0, 1, 0);
        addFlatQuad(part, corners);
    });
}

// Each class's parts, recorded the first time a unit of the class is drawn.

struct ArcherParts {
    ModelPart limb, body, firstVane, secondVane;
};

const ArcherParts& archerParts() {
    static const float firstVane[4][3] = {{0.65f, 0.4f, 0}, {0.65f, -0.75f, 0}, {0, -0.48f, 0}, {0, -0.35f, 0}};
    static const float secondVane[4][3] = {{-0.65f, 0.4f, 0}, {-0.65f, -0.75f, 0}, {0, -0.48f, 0}, {0, -0.35f, 0}};
    static const ArcherParts parts{
        recordPart([](PartRecorder& part) {
            glScalef(0.75f, 0.75f, 0.75f);
            glRotatef(90, 0, 1, 0);
            glTranslatef(0, 0.75f, 0);
            glRotatef(90, 1, 0, 0);
            addCylinder(part, 0.025, 0.025, 0.75, 5, 5);
            glTranslatef(-0.002f, 0.011f, 0);
            glRotatef(60, 1, 0, 0);
            addCylinder(part, 0.025, 0.025, 0.5, 5, 5);
            glTranslatef(0, -0.025f, 0.5f);
            glRotatef(-90, 1, 0, 0);
            addCylinder(part, 0.025, 0.025, 0.25, 5, 5);
            glTranslatef(0, 0, 0.235f);
            glRotatef(-110, 1, 0, 0);
            addCylinder(part, 0.025, 0.025, 0.25, 5, 5);
        }),
        recordPart([](PartRecorder& part) {
            addSphere(part, 0.25, 15, 15);
            // Three stacked cones, bases at y = -0.5, -0.75 and -1.0, each
            // closed by a disk under it.
            glTranslatef(0, -0.5f, 0);
            glRotatef(-90, 1, 0, 0);
            addCylinder(part, 0.2, 0, 0.5, 20, 5, FRONT_FACES);
            addDisk(part, 0.2, 20, 5, BACK_FACES);
            for (int i = 0; i < 2; ++i) {
                glTranslatef(0, 0, -0.25f);
                addCylinder(part, 0.2, 0, 0.5, 20, 5, FRONT_FACES);
                addDisk(part, 0.2, 20, 5, BACK_FACES);
            }
        }),
        turnedQuad(45, firstVane),
        turnedQuad(-45, secondVane),
    };
    return parts;
}

struct FighterParts {
    ModelPart body, spikes, crown;
};

const FighterParts& fighterParts() {
    static const FighterParts parts{
        recordPart([](PartRecorder& part) {
            uprightCone(part, -1.0f, 0.3, 0.1, 0.7, 0.3, 7);   // the body, y = -1.0 to -0.3
            glPushMatrix();
            glTranslatef(0, -0.15f, 0);
            addSphere(part, 0.3, 8, 8);
            glPopMatrix();
            glTranslatef(0, 0.55f, 0);
            addSphere(part, 0.25, 20, 20);   // the head
        }),
        // Over the head, about the head's axis.
        recordPart([](PartRecorder& part) {
            glTranslatef(0, 0.125f, 0);
            // The turns accumulate, so the twelve spikes do not spread evenly.
            for (int a = 0; a < 360; a += 30) {
                glRotatef(static_cast<float>(a), 0, 1, 0);
                glPushMatrix();
                glTranslatef(0, 0, 0.2f);
                glRotatef(-50, 1, 0, 0);
                addCylinder(part, 0.05, 0, 0.2, 20, 5);
                glPopMatrix();
            }
        }),
        // The turns accumulate: the cones point along headings 0, 90, 270
        // and 180, each pair's open bases meeting, so only their outsides show.
        recordPart([](PartRecorder& part) {
            glTranslatef(0, 0.25f, 0);
            for (int a = 0; a < 360; a += 90) {
                glRotatef(static_cast<float>(a), 0, 1, 0);
                addCylinder(part, 0.3, 0, 0.6, 20, 5, FRONT_FACES);
            }
        }),
    };
    return parts;
}

struct FlierParts {
    ModelPart firstRing, secondRing, body, tail, rightWing, leftWing;
};

const FlierParts& flierParts() {
    static const float tail[4][3] = {{-0.35f, 0, -0.35f}, {-0.35f, 0, 0.35f}, {0, 0, 0.5f}, {0, 0, -0.5f}};
    static const float rightWing[4][3] = {{0, 0, 0.175f}, {0, 0, -0.175f}, {0.5f, 0, -0.175f}, {0.5f, 0, 0.175f}};
    static const float leftWing[4][3] = {{0, 0, 0.175f}, {0, 0, -0.175f}, {-0.5f, 0, -0.175f}, {-0.5f, 0, 0.175f}};
    // Two rings of beads; at 40-degree steps the first ring repeats every 9.
    auto ring = [](float step, int slices) {
        return recordPart([step, slices](PartRecorder& part) {
            for (int i = 0; i < 18; ++i) {
                glRotatef(step, 1, 0, 0);
                glPushMatrix();
                glTranslatef(0, 0.5f, 0);
                addSphere(part, 0.02, slices, slices);
                glPopMatrix();
            }
        });
    };
    static const FlierParts parts{
        ring(40, 5),
        ring(25, 8),
        recordPart([](PartRecorder& part) { addSphere(part, 0.35, 15, 15); }),
        recordPart([](PartRecorder& part) {
            glTranslatef(0, 0, -0.525f);
            glRotatef(90, 0, 1, 0);
            addFlatQuad(part, tail);
        }),
        recordPart([](PartRecorder& part) {
            glTranslatef(0.175f, 0, 0.01575f);
            glRotatef(-30, 0, 1, 0);
            glRotatef(180, 1, 0, 0);
            addFlatQuad(part, rightWing);
        }),
        recordPart([](PartRecorder& part) {
            glTranslatef(-0.175f, 0, 0.01575f);
            glRotatef(30, 0, 1, 0);
            addFlatQuad(part, leftWing);
        }),
    };
    return parts;
}

struct HealerParts {
    ModelPart cubeFrame, body;
};

const HealerParts& healerParts() {
    static const HealerParts parts{
        recordPart([](PartRecorder& part) {
            for (const CubeItem& item : cubeFrame) {
                if (item.ball)
                    cubeBall(part, item.from, item.radius);
                else
                    cubeEdge(part, item.from, item.to, item.radius);
            }
        }),
        recordPart([](PartRecorder& part) {
            addSphere(part, 0.05, 15, 15);
            uprightCone(part, -1.0f, 0.4, 0, 1, 0.4, 5);
        }),
    };
    return parts;
}

struct MageParts {
    ModelPart body, beads;
};

const MageParts& mageParts() {
    static const MageParts parts{
        recordPart([](PartRecorder& part) {
            uprightCone(part, -0.3f, 0.3, 0, 0.25, 0.35, 5);
            uprightCone(part, -0.5f, 0.25, 0, 0.5, 0.25, 5);
            uprightCone(part, -1.0f, 0.45, 0.25, 0.5, 0.45, 5);
            glPushMatrix();
            glTranslatef(0, 0.125f, 0);
            glRotatef(-90, 1, 0, 0);
            addSphere(part, 0.25, 15, 15);
            glPopMatrix();
            // Hat: brim first, then the cone, slightly wider than the head.
            glTranslatef(0, 0.25f, 0);
            glRotatef(-90, 1, 0, 0);
            addDisk(part, 0.4, 20, 7);
            addCylinder(part, 0.25625, 0, 0.6, 20, 5, FRONT_FACES);   // closed by the brim
        }),
        recordPart([](PartRecorder& part) {
            glTranslatef(0, -0.5f, 0);
            glRotatef(90, 0, 0, 1);
            for (int i = 0; i < 18; ++i) {
                glRotatef(40, 1, 0, 0);
                glPushMatrix();
                glTranslatef(0, 0.4f, 0);
                addSphere(part, 0.035, 5, 5);
                glPopMatrix();
            }
        }),
    };
    return parts;
}

}  // namespace

void drawArcherLimb() {
    drawPart(archerParts().limb);
}

void drawCubeFrame() {
    drawPart(healerParts().cubeFrame);
}

void Archer::draw() {
    const ArcherParts& parts = archerParts();
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
    drawPart(parts.body);

    glPushMatrix();
    glRotatef(swingAngle, 0, 1, 0);
    drawPart(parts.firstVane);
    glPopMatrix();

    // Kept as the model always drew it: the turn stays on the frame, and the
    // second vane swings against the first. The scene's pop discards it.
    glRotatef(-swingAngle, 0, 1, 0);
    drawPart(parts.secondVane);
}

void Fighter::draw() {
    const FighterParts& parts = fighterParts();
    drawDebugSpheres(*this);
    drawPart(parts.body);

    glPushMatrix();
    glTranslatef(0, 0.55f, 0);
    glRotatef(spikeSpin, 0, 1, 0);
    drawPart(parts.spikes);
    glPopMatrix();

    glPushMatrix();
    glRotatef(crownSpin, 0, 1, 0);
    drawPart(parts.crown);
    glPopMatrix();
}

void Flier::draw() {
    const FlierParts& parts = flierParts();
    glPushMatrix();
    glTranslatef(0, hoverHeight, 0);
    drawDebugSpheres(*this);

    glPushMatrix();
    glRotatef(-40, 0, 0, 1);
    glRotatef(ringSpin, 1, 0, 0);
    drawPart(parts.firstRing);
    glPopMatrix();
    glPushMatrix();
    glRotatef(40, 0, 0, 1);
    glRotatef(-ringSpin, 1, 0, 0);
    drawPart(parts.secondRing);
    glPopMatrix();

    drawPart(parts.body);

    glPushMatrix();
    glRotatef(tailAngle, 1, 0, 0);
    drawPart(parts.tail);
    glPopMatrix();

    glColor4f(1, 1, 1, 1);

    glPushMatrix();
    glRotatef(wingAngle, 0, 0, 1);
    drawPart(parts.rightWing);
    glPopMatrix();

    glPushMatrix();
    glRotatef(-wingAngle, 0, 0, 1);
    drawPart(parts.leftWing);
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

    drawPart(healerParts().body);
}

void Mage::draw() {
    drawDebugSpheres(*this);

    // The idle animation adds spinStep to spin: the beads race while the menu is open.
    spinStep = menuOpen ? 7.0f : 0.5f;

    const MageParts& parts = mageParts();
    drawPart(parts.body);

    glPushMatrix();
    glRotatef(spin, 0, 1, 0);
    drawPart(parts.beads);
    glPopMatrix();
}
