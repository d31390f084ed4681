// render/quadrics.cpp — the models' spheres, cones and disks, tessellated once and drawn from arrays
//
// The models draw a few dozen quadrics per unit every frame. GLU works out
// every triangle of every one anew each time, which was most of the drawing
// thread's work; here each shape is worked out the first time it is asked
// for, kept, and replayed from a vertex array.
#include "render/quadrics.h"

#include <GL/gl.h>   // glMultiDrawArrays (OpenGL 1.4) is declared: the build defines GL_GLEXT_PROTOTYPES

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

namespace {

constexpr double PI = 3.14159265358979323846;

// A shape's vertices, each a normal and then a position (GL_N3F_V3F), in
// runs of triangle fans and of quad strips.
struct Mesh {
    std::vector<GLfloat> vertices;
    std::vector<GLint> fanFirsts, stripFirsts;
    std::vector<GLsizei> fanCounts, stripCounts;

    GLint vertexCount() const { return static_cast<GLint>(vertices.size() / 6); }
    void beginFan() { fanFirsts.push_back(vertexCount()); }
    void endFan() { fanCounts.push_back(vertexCount() - fanFirsts.back()); }
    void beginStrip() { stripFirsts.push_back(vertexCount()); }
    void endStrip() { stripCounts.push_back(vertexCount() - stripFirsts.back()); }
    void add(float nx, float ny, float nz, float x, float y, float z) {
        vertices.insert(vertices.end(), {nx, ny, nz, x, y, z});
    }

    void draw() const {
        glInterleavedArrays(GL_N3F_V3F, 0, vertices.data());   // switches both arrays on
        if (!fanFirsts.empty())
            glMultiDrawArrays(GL_TRIANGLE_FAN, fanFirsts.data(), fanCounts.data(),
                              static_cast<GLsizei>(fanFirsts.size()));
        if (!stripFirsts.empty())
            glMultiDrawArrays(GL_QUAD_STRIP, stripFirsts.data(), stripCounts.data(),
                              static_cast<GLsizei>(stripFirsts.size()));
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
};

// The sines and cosines around a ring of `slices` steps from angle 0, in
// single precision as the vertices take them; the last repeats the first
// so that the ring closes exactly.
struct Ring {
    std::vector<float> sines, cosines;
    explicit Ring(int slices) {
        for (int i = 0; i < slices; i++) {
            const float angle = static_cast<float>(2 * PI * i / slices);
            sines.push_back(static_cast<float>(std::sin(static_cast<double>(angle))));
            cosines.push_back(static_cast<float>(std::cos(static_cast<double>(angle))));
        }
        sines.push_back(sines[0]);
        cosines.push_back(cosines[0]);
    }
};

// Around the z axis, the top (+z) pole first. Stack j lies at the polar
// angle pi j / stacks; the poles are fans, the bands between them strips.
Mesh buildSphere(double radius, int slices, int stacks) {
    const Ring ring(slices);
    std::vector<float> ringRadius, height, normalRadius, normalZ;
    for (int j = 0; j <= stacks; j++) {
        const float angle = static_cast<float>(PI * j / stacks);
        normalRadius.push_back(static_cast<float>(std::sin(static_cast<double>(angle))));
        normalZ.push_back(static_cast<float>(std::cos(static_cast<double>(angle))));
        ringRadius.push_back(static_cast<float>(radius * std::sin(static_cast<double>(angle))));
        height.push_back(static_cast<float>(radius * std::cos(static_cast<double>(angle))));
    }
    ringRadius[0] = ringRadius[stacks] = 0;   // the poles come to a point

    Mesh mesh;
    auto ringVertex = [&](int i, int j) {
        mesh.add(ring.sines[i] * normalRadius[j], ring.cosines[i] * normalRadius[j], normalZ[j],
                 ringRadius[j] * ring.sines[i], ringRadius[j] * ring.cosines[i], height[j]);
    };
    mesh.beginFan();
    mesh.add(0, 0, 1, 0, 0, static_cast<float>(radius));
    for (int i = slices; i >= 0; i--) ringVertex(i, 1);
    mesh.endFan();
    mesh.beginFan();
    mesh.add(0, 0, -1, 0, 0, static_cast<float>(-radius));
    for (int i = 0; i <= slices; i++) ringVertex(i, stacks - 1);
    mesh.endFan();
    for (int j = 1; j < stacks - 1; j++) {
        mesh.beginStrip();
        for (int i = 0; i <= slices; i++) {
            ringVertex(i, j + 1);
            ringVertex(i, j);
        }
        mesh.endStrip();
    }
    return mesh;
}

// Along +z from z = 0 (radius base) to z = height (radius top), one strip per stack.
Mesh buildCylinder(double base, double top, double height, int slices, int stacks) {
    const Ring ring(slices);
    const float shrink = static_cast<float>(base - top);
    const float side = static_cast<float>(std::sqrt(shrink * shrink + height * height));
    const float normalZ = shrink / side, normalRadius = static_cast<float>(height / side);
    Mesh mesh;
    for (int j = 0; j < stacks; j++) {
        const float lowZ = static_cast<float>(j * height / stacks);
        const float highZ = static_cast<float>((j + 1) * height / stacks);
        const float lowRadius = static_cast<float>(base - shrink * (static_cast<float>(j) / stacks));
        const float highRadius = static_cast<float>(base - shrink * (static_cast<float>(j + 1) / stacks));
        mesh.beginStrip();
        for (int i = 0; i <= slices; i++) {
            const float nx = normalRadius * ring.sines[i], ny = normalRadius * ring.cosines[i];
            mesh.add(nx, ny, normalZ, lowRadius * ring.sines[i], lowRadius * ring.cosines[i], lowZ);
            mesh.add(nx, ny, normalZ, highRadius * ring.sines[i], highRadius * ring.cosines[i], highZ);
        }
        mesh.endStrip();
    }
    return mesh;
}

// In the plane z = 0 facing +z: a fan at the centre, then one strip per loop outwards of it.
Mesh buildDisk(double radius, int slices, int loops) {
    const Ring ring(slices);
    const float width = static_cast<float>(radius);
    auto loopRadius = [&](int j) { return static_cast<float>(radius - width * (static_cast<float>(j) / loops)); };
    Mesh mesh;
    mesh.beginFan();
    mesh.add(0, 0, 1, 0, 0, 0);
    const float inner = loopRadius(loops - 1);
    for (int i = slices; i >= 0; i--) mesh.add(0, 0, 1, inner * ring.sines[i], inner * ring.cosines[i], 0);
    mesh.endFan();
    for (int j = 0; j < loops - 1; j++) {
        const float outer = loopRadius(j), next = loopRadius(j + 1);
        mesh.beginStrip();
        for (int i = 0; i <= slices; i++) {
            mesh.add(0, 0, 1, outer * ring.sines[i], outer * ring.cosines[i], 0);
            mesh.add(0, 0, 1, next * ring.sines[i], next * ring.cosines[i], 0);
        }
        mesh.endStrip();
    }
    return mesh;
}

enum Shape { SPHERE, CYLINDER, DISK };
using MeshKey = std::tuple<Shape, double, double, double, int, int>;

// The meshes asked for so far: the models use a few dozen shapes, each at
// full detail and at most once more in small.
std::map<MeshKey, Mesh> meshes;

template <class Build> const Mesh& meshFor(const MeshKey& key, Build build) {
    auto found = meshes.find(key);
    if (found == meshes.end()) found = meshes.emplace(key, build()).first;
    return found->second;
}

// Pixels on the screen per unit of length of the current model space, near
// its origin: the scale of the model-view matrix over the depth the
// projection divides by, times half the viewport's height.
float pixelsPerUnit() {
    GLfloat modelView[16], projection[16];
    GLint viewport[4];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const float depth = projection[3] * modelView[12] + projection[7] * modelView[13] +
                        projection[11] * modelView[14] + projection[15];
    if (depth <= 0) return INFINITY;   // at or behind the eye: take no chances
    float scale = 0;
    for (int column = 0; column < 3; column++) {
        const float* axis = modelView + 4 * column;
        scale = std::max(scale, std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]));
    }
    return scale * projection[5] * viewport[3] / 2 / depth;
}

// A sphere less than a pixel in radius covers two or three pixels whatever
// its slices; drawn as eight triangles it looks the same, while the Healers'
// and Fliers' dozens of beads and balls far off cost a few hundred vertices
// each at full detail. Anything larger keeps every slice, since its shading
// would change with fewer.
constexpr float SMALLEST_FULL_SPHERE = 1;   // radius in pixels
constexpr int TINY_SPHERE_SLICES = 4, TINY_SPHERE_STACKS = 2;

// The stacks of a cylinder or a disk never change its outline, only how its
// light is interpolated along it, and between two and five of them that
// differs by little.
constexpr int MOST_FLAT_STACKS = 2;

}  // namespace

void drawSphere(double radius, int slices, int stacks) {
    if (static_cast<float>(radius) * pixelsPerUnit() < SMALLEST_FULL_SPHERE) {
        slices = TINY_SPHERE_SLICES;
        stacks = TINY_SPHERE_STACKS;
    }
    // A sphere is closed: its far half always lies behind its near half, so
    // the rasteriser need not fill the far half's triangles at all.
    glEnable(GL_CULL_FACE);
    meshFor({SPHERE, radius, 0, 0, slices, stacks}, [&] { return buildSphere(radius, slices, stacks); }).draw();
    glDisable(GL_CULL_FACE);
}

void drawCylinder(double base, double top, double height, int slices, int stacks) {
    stacks = std::min(stacks, MOST_FLAT_STACKS);
    meshFor({CYLINDER, base, top, height, slices, stacks}, [&] {
        return buildCylinder(base, top, height, slices, stacks);
    }).draw();
}

void drawDisk(double radius, int slices, int loops) {
    loops = std::min(loops, MOST_FLAT_STACKS);
    meshFor({DISK, radius, 0, 0, slices, loops}, [&] { return buildDisk(radius, slices, loops); }).draw();
}
