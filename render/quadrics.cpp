// render/quadrics.cpp — the models' parts: spheres, cones, disks and flat quads worked out once into GL buffers
//
// The largest battle draws some ten thousand model shapes a frame. Drawn
// one by one from arrays in our own memory, each call had the driver copy
// its vertices and set up a draw of its own, and the models took most of
// the frame. A part's shapes are instead worked out once, placed in the
// part's own space, and kept as indexed triangles, each vertex once, in two
// GL buffers; a part is then a draw call for each way its faces are culled,
// whatever it holds. Faces that can never be seen are culled, since the
// driver sets up every triangle it is given on the drawing thread.
#include "render/quadrics.h"

#include <GL/gl.h>   // buffers (OpenGL 1.5) and glMultiDrawElements are declared: the build defines GL_GLEXT_PROTOTYPES

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

namespace {

constexpr double PI = 3.14159265358979323846;

// A shape's vertices, each a normal and then a position, in runs of
// triangle fans and of quad strips, as GLU's quadrics send them.
struct Mesh {
    std::vector<float> vertices;
    std::vector<int> fanFirsts, stripFirsts;
    std::vector<int> fanCounts, stripCounts;

    int vertexCount() const { return static_cast<int>(vertices.size() / 6); }
    void beginFan() { fanFirsts.push_back(vertexCount()); }
    void endFan() { fanCounts.push_back(vertexCount() - fanFirsts.back()); }
    void beginStrip() { stripFirsts.push_back(vertexCount()); }
    void endStrip() { stripCounts.push_back(vertexCount() - stripFirsts.back()); }
    void add(float nx, float ny, float nz, float x, float y, float z) {
        vertices.insert(vertices.end(), {nx, ny, nz, x, y, z});
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

// The recorder (declared in the header) holds these, so they are not the file's alone.

// A run of the part's index buffer.
struct Range {
    GLsizei first = 0, count = 0;
};

// One shape of a part; a sphere also has a small version, for when it is
// under a pixel in radius.
struct Segment {
    Faces faces = BOTH_FACES;
    bool sphere = false;
    Range full, tiny;
    float centre[3] = {0, 0, 0};   // the sphere's, in the part's space
    float radius = 0;              // the same, scaled as the part's space scales it
};

namespace {

struct Part {
    GLuint vertexBuffer = 0, indexBuffer = 0;
    std::vector<Segment> segments;
};

std::vector<Part> parts;

// The runs of the index buffer, in this order: the shapes seen from both
// sides, from the front only, from the back only (each at full detail), and
// the spheres' small versions. Drawn opaque, a part is a call per run.
enum Run { BOTH_RUN, FRONT_RUN, BACK_RUN, TINY_RUN, RUNS };

Run runOf(Faces faces) {
    return faces == FRONT_FACES ? FRONT_RUN : faces == BACK_FACES ? BACK_RUN : BOTH_RUN;
}

// The matrix of the part's space: GL's column-major 4 × 4.
using Matrix = std::array<GLfloat, 16>;

Matrix currentModelView() {
    Matrix m;
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

}  // namespace

struct PartRecorder {
    std::vector<GLfloat> vertices;   // normal and position, as GL_N3F_V3F
    std::vector<GLushort> runs[RUNS];
    std::vector<Segment> segments;

    // The mesh's triangles, its vertices placed by `m` and shared where equal,
    // appended to `run`; the range they take there. Fans and strips come
    // apart as GL takes them apart: a fan's triangles round its first vertex,
    // a quad strip's quads each cut along the diagonal from its first vertex,
    // every triangle turning the same way as the quad it came from.
    Range addMesh(const Mesh& mesh, const Matrix& m, Run run) {
        std::vector<GLushort> index(static_cast<size_t>(mesh.vertexCount()));
        std::map<std::array<float, 6>, GLushort> seen;
        // Normals go through the cofactors of the upper 3 × 3: the inverse
        // transpose times the determinant, which is positive here.
        auto at = [&m](int row, int column) { return static_cast<double>(m[static_cast<size_t>(4 * column + row)]); };
        auto cofactor = [&at](int row, int column) {
            const int r0 = (row + 1) % 3, r1 = (row + 2) % 3, c0 = (column + 1) % 3, c1 = (column + 2) % 3;
            return at(r0, c0) * at(r1, c1) - at(r0, c1) * at(r1, c0);
        };
        for (int v = 0; v < mesh.vertexCount(); v++) {
            const float* in = &mesh.vertices[static_cast<size_t>(v) * 6];
            std::array<float, 6> out;
            for (int row = 0; row < 3; row++) {
                double normal = 0, position = at(row, 3);
                for (int k = 0; k < 3; k++) {
                    normal += cofactor(row, k) * in[k];
                    position += at(row, k) * in[3 + k];
                }
                out[static_cast<size_t>(row)] = static_cast<float>(normal);
                out[static_cast<size_t>(3 + row)] = static_cast<float>(position);
            }
            auto found = seen.find(out);
            if (found == seen.end()) {
                found = seen.emplace(out, static_cast<GLushort>(vertices.size() / 6)).first;
                vertices.insert(vertices.end(), out.begin(), out.end());
            }
            index[static_cast<size_t>(v)] = found->second;
        }
        std::vector<GLushort>& out = runs[run];
        Range range{static_cast<GLsizei>(out.size()), 0};
        auto triangle = [&](int a, int b, int c) {
            out.insert(out.end(), {index[static_cast<size_t>(a)], index[static_cast<size_t>(b)],
                                   index[static_cast<size_t>(c)]});
        };
        for (size_t f = 0; f < mesh.fanFirsts.size(); f++)
            for (int i = 1; i + 1 < mesh.fanCounts[f]; i++)
                triangle(mesh.fanFirsts[f], mesh.fanFirsts[f] + i, mesh.fanFirsts[f] + i + 1);
        for (size_t s = 0; s < mesh.stripFirsts.size(); s++)
            for (int i = 0; i + 3 < mesh.stripCounts[s]; i += 2) {
                const int q = mesh.stripFirsts[s] + i;
                triangle(q, q + 1, q + 3);
                triangle(q, q + 3, q + 2);
            }
        range.count = static_cast<GLsizei>(out.size()) - range.first;
        return range;
    }

    void addShape(const Mesh& mesh, Faces faces) {
        Segment segment;
        segment.faces = faces;
        segment.full = addMesh(mesh, currentModelView(), runOf(faces));
        segments.push_back(segment);
    }
};

namespace {

// The part's space in pixels on the screen: what the model-view matrix,
// the projection and the viewport make of a length there.
class ScreenScale {
public:
    ScreenScale() {
        GLint viewport[4];
        glGetFloatv(GL_MODELVIEW_MATRIX, modelView_);
        glGetFloatv(GL_PROJECTION_MATRIX, projection_);
        glGetIntegerv(GL_VIEWPORT, viewport);
        float scale = 0;
        for (int column = 0; column < 3; column++) {
            const float* axis = modelView_ + 4 * column;
            scale = std::max(scale, std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]));
        }
        pixelsAtUnitDepth_ = scale * projection_[5] * static_cast<float>(viewport[3]) / 2;
    }

    // The radius in pixels of a sphere of the part: its scaled radius over
    // the depth the projection divides its centre by.
    float pixels(const Segment& sphere) const {
        float eye[3];
        for (int row = 0; row < 3; row++)
            eye[row] = modelView_[row] * sphere.centre[0] + modelView_[4 + row] * sphere.centre[1] +
                       modelView_[8 + row] * sphere.centre[2] + modelView_[12 + row];
        const float depth =
            projection_[3] * eye[0] + projection_[7] * eye[1] + projection_[11] * eye[2] + projection_[15];
        if (depth <= 0) return INFINITY;   // at or behind the eye: take no chances
        return sphere.radius * pixelsAtUnitDepth_ / depth;
    }

private:
    GLfloat modelView_[16], projection_[16];
    float pixelsAtUnitDepth_;
};

// Ranges of the index buffer drawn in one call, neighbours joined, under
// the culling each needs: none, of back faces or of front faces.
class Batch {
public:
    void add(const Range& range, Faces faces) {
        if (faces != faces_) {
            draw();
            faces_ = faces;
        }
        if (!counts_.empty() && end_ == range.first) {
            counts_.back() += range.count;
        } else {
            counts_.push_back(range.count);
            offsets_.push_back(reinterpret_cast<const void*>(static_cast<size_t>(range.first) * sizeof(GLushort)));
        }
        end_ = range.first + range.count;
    }

    // Draws what was added, and leaves culling off as it was before.
    void draw() {
        if (counts_.empty()) return;
        if (faces_ != BOTH_FACES) {
            glCullFace(faces_ == FRONT_FACES ? GL_BACK : GL_FRONT);
            glEnable(GL_CULL_FACE);
        }
        glMultiDrawElements(GL_TRIANGLES, counts_.data(), GL_UNSIGNED_SHORT, offsets_.data(),
                            static_cast<GLsizei>(counts_.size()));
        if (faces_ != BOTH_FACES) {
            glDisable(GL_CULL_FACE);
            glCullFace(GL_BACK);
        }
        counts_.clear();
        offsets_.clear();
    }

private:
    std::vector<GLsizei> counts_;
    std::vector<const void*> offsets_;
    GLsizei end_ = 0;
    Faces faces_ = BOTH_FACES;
};

}  // namespace

void addSphere(PartRecorder& part, double radius, int slices, int stacks) {
    const Matrix m = currentModelView();
    Segment sphere;
    sphere.faces = FRONT_FACES;
    sphere.sphere = true;
    sphere.full = part.addMesh(buildSphere(radius, slices, stacks), m, FRONT_RUN);
    sphere.tiny = part.addMesh(buildSphere(radius, TINY_SPHERE_SLICES, TINY_SPHERE_STACKS), m, TINY_RUN);
    for (int row = 0; row < 3; row++) sphere.centre[row] = m[static_cast<size_t>(12 + row)];
    float scale = 0;
    for (size_t column = 0; column < 3; column++)
        scale = std::max(scale, std::sqrt(m[4 * column] * m[4 * column] + m[4 * column + 1] * m[4 * column + 1] +
                                          m[4 * column + 2] * m[4 * column + 2]));
    sphere.radius = static_cast<float>(radius) * scale;
    part.segments.push_back(sphere);
}

void addCylinder(PartRecorder& part, double base, double top, double height, int slices, int stacks, Faces faces) {
    part.addShape(buildCylinder(base, top, height, slices, std::min(stacks, MOST_FLAT_STACKS)), faces);
}

void addDisk(PartRecorder& part, double radius, int slices, int loops, Faces faces) {
    part.addShape(buildDisk(radius, slices, std::min(loops, MOST_FLAT_STACKS)), faces);
}

// One polygon of four corners, as GL cuts it: two triangles round its first corner.
void addFlatQuad(PartRecorder& part, const float corners[4][3]) {
    float first[3], second[3];
    for (int i = 0; i < 3; i++) {
        first[i] = corners[1][i] - corners[0][i];
        second[i] = corners[2][i] - corners[1][i];
    }
    float normal[3] = {first[1] * second[2] - first[2] * second[1], first[2] * second[0] - first[0] * second[2],
                       first[0] * second[1] - first[1] * second[0]};
    const float size = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
    for (float& n : normal) n /= size;
    Mesh mesh;
    mesh.beginFan();
    for (int i = 0; i < 4; i++) mesh.add(normal[0], normal[1], normal[2], corners[i][0], corners[i][1], corners[i][2]);
    mesh.endFan();
    part.addShape(mesh, BOTH_FACES);
}

ModelPart recordPart(const std::function<void(PartRecorder&)>& shape) {
    PartRecorder recorder;
    glPushAttrib(GL_TRANSFORM_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    shape(recorder);
    glPopMatrix();
    glPopAttrib();

    // The runs one after another: each range moves up by the runs before its own.
    std::vector<GLushort> indices;
    GLsizei start[RUNS];
    for (int run = 0; run < RUNS; run++) {
        start[run] = static_cast<GLsizei>(indices.size());
        indices.insert(indices.end(), recorder.runs[run].begin(), recorder.runs[run].end());
    }
    Part part;
    for (Segment segment : recorder.segments) {
        segment.full.first += start[runOf(segment.faces)];
        segment.tiny.first += start[TINY_RUN];
        part.segments.push_back(segment);
    }
    glGenBuffers(1, &part.vertexBuffer);
    glGenBuffers(1, &part.indexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, part.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(recorder.vertices.size() * sizeof(GLfloat)),
                 recorder.vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, part.indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLushort)), indices.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    parts.push_back(part);
    return ModelPart{static_cast<int>(parts.size()) - 1};
}

void drawPart(ModelPart handle) {
    const Part& part = parts[static_cast<size_t>(handle.index)];
    static Batch batch;
    glBindBuffer(GL_ARRAY_BUFFER, part.vertexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, part.indexBuffer);
    glInterleavedArrays(GL_N3F_V3F, 0, nullptr);   // switches both arrays on

    std::optional<ScreenScale> screen;
    auto shown = [&screen](const Segment& segment) {
        if (!segment.sphere) return segment.full;
        if (!screen) screen.emplace();
        return screen->pixels(segment) < SMALLEST_FULL_SPHERE ? segment.tiny : segment.full;
    };
    if (glIsEnabled(GL_BLEND)) {
        // See-through, every face can show: only spheres, which are closed,
        // keep their back faces culled.
        for (const Segment& segment : part.segments) batch.add(shown(segment), segment.sphere ? FRONT_FACES : BOTH_FACES);
    } else {
        for (Faces faces : {BOTH_FACES, FRONT_FACES, BACK_FACES})
            for (const Segment& segment : part.segments)
                if (segment.faces == faces) batch.add(shown(segment), faces);
    }
    batch.draw();

    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
