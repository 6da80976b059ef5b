// The posed bead mesh: the shape itself, and every vertex and normal landing where the
// matrix chain translate * rotate(tilt) * rotate(spin) * translate(offset) puts it.
#include "bead_mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace orbilon {
namespace {

Point3 Sub(const Point3& a, const Point3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

// Rodrigues' rotation, right-handed about the axis as glRotatef turns.
Point3 Rotate(const Point3& v, Point3 axis, float degrees) {
    if (Normalize(axis) == 0) return v;
    const double a = degrees * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a);
    const Point3 kxv = Cross(axis, v);
    const double kv = Dot(axis, v);
    return {static_cast<float>(v.x * c + kxv.x * s + axis.x * kv * (1 - c)),
            static_cast<float>(v.y * c + kxv.y * s + axis.y * kv * (1 - c)),
            static_cast<float>(v.z * c + kxv.z * s + axis.z * kv * (1 - c))};
}

// What GL does to a shape vertex and its normal when a bead is drawn through its own matrix.
void ThroughMatrices(const BeadPose& pose, Point3& v, Point3& n) {
    v.x += pose.orbitOffset;
    v = Rotate(v, {0, 1, 0}, pose.spin);
    n = Rotate(n, {0, 1, 0}, pose.spin);
    v = Rotate(v, pose.tiltAxis, pose.tiltAngle);
    n = Rotate(n, pose.tiltAxis, pose.tiltAngle);
    v = {v.x + pose.position.x, v.y + pose.position.y, v.z + pose.position.z};
}

void ExpectNear(const float* got, const Point3& want, float tolerance) {
    EXPECT_NEAR(got[0], want.x, tolerance);
    EXPECT_NEAR(got[1], want.y, tolerance);
    EXPECT_NEAR(got[2], want.z, tolerance);
}

TEST(BeadShape, IsAClosedDoublePyramidFacingOutwards) {
    const BeadShape shape = MakeBeadShape(12.5f);
    for (int v = 0; v < BeadShape::Vertices; ++v) {
        Point3 n = shape.normals[v];
        EXPECT_NEAR(Normalize(n), 1, 1e-6f);
        EXPECT_NEAR(shape.positions[v].x, shape.normals[v].x * 12.5f, 1e-5f);
        EXPECT_NEAR(shape.positions[v].y, shape.normals[v].y * 12.5f, 1e-5f);
        EXPECT_NEAR(shape.positions[v].z, shape.normals[v].z * 12.5f, 1e-5f);
    }
    EXPECT_EQ(shape.positions[0].z, 12.5f);
    EXPECT_EQ(shape.positions[1].z, -12.5f);
    // Counter-clockwise seen from outside: each face's winding normal points away from the
    // centre. Every edge is shared by exactly two faces, once in each direction.
    int edges[5][5] = {};
    for (int f = 0; f < 6; ++f) {
        const uint16_t* t = &shape.indices[f * 3];
        const Point3 &a = shape.positions[t[0]], &b = shape.positions[t[1]],
                     &c = shape.positions[t[2]];
        const Point3 centre{(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
        EXPECT_GT(Dot(Cross(Sub(b, a), Sub(c, a)), centre), 0) << "face " << f;
        for (int e = 0; e < 3; ++e) ++edges[t[e]][t[(e + 1) % 3]];
    }
    for (int a = 0; a < 5; ++a) {
        for (int b = 0; b < 5; ++b) EXPECT_EQ(edges[a][b], edges[b][a]) << a << "-" << b;
    }
}

TEST(BeadMesh, PlacesEveryVertexAndNormalAsTheBeadsMatrixWould) {
    BeadMesh mesh(3, 12.5f);
    const BeadShape shape = MakeBeadShape(12.5f);
    Point3 down{0, -1, 0}, slanted{0.3f, 0.8f, -0.5f};
    Normalize(slanted);
    BeadPose poses[3];
    poses[0] = {{0.1f, 0.5f, 0.9f}, {-120, 37, 55}, {0.5f, 0, 0.3f}, -61.5f, 1234.5f, 17.25f};
    poses[1] = {{1, 0, 0}, {3, -190, 0}, {}, 0, -45, 4};  // travelling straight up: no tilt
    poses[2].position = {0, 199, -20};
    TiltFor(down, poses[2].tiltAxis, poses[2].tiltAngle);  // straight down: half a turn
    poses[2].spin = 90;
    poses[2].orbitOffset = 80;
    for (int i = 0; i < 3; ++i) mesh.Set(i, poses[i]);
    mesh.Set(3, poses[0]);  // out of range: ignored
    mesh.Set(-1, poses[0]);

    for (int i = 0; i < 3; ++i) {
        for (int v = 0; v < BeadShape::Vertices; ++v) {
            SCOPED_TRACE(testing::Message() << "bead " << i << " vertex " << v);
            Point3 p = shape.positions[v], n = shape.normals[v];
            ThroughMatrices(poses[i], p, n);
            const size_t at = (static_cast<size_t>(i) * BeadShape::Vertices + v) * 3;
            ExpectNear(mesh.positions() + at, p, 2e-4f);
            ExpectNear(mesh.normals() + at, n, 1e-6f);
            ExpectNear(mesh.colours() + at,
                       {poses[i].colour.r, poses[i].colour.g, poses[i].colour.b}, 0);
        }
    }
    // Bead i's triangles use its own five vertices only, in the shape's order.
    ASSERT_EQ(mesh.indexCount(), 3 * BeadShape::Indices);
    for (int k = 0; k < mesh.indexCount(); ++k) {
        const int bead = k / BeadShape::Indices;
        EXPECT_EQ(mesh.indices()[k],
                  bead * BeadShape::Vertices + shape.indices[k % BeadShape::Indices]);
    }
}

TEST(BeadMesh, KeepsItsIndicesWithinSixteenBits) {
    EXPECT_EQ(BeadMesh(BeadMesh::MaxBeads + 10, 1).beadCount(), BeadMesh::MaxBeads);
    EXPECT_EQ(BeadMesh(-3, 1).beadCount(), 0);
    EXPECT_EQ(BeadMesh(1500, 12.5f).indexCount(), 1500 * BeadShape::Indices);
}

}  // namespace
}  // namespace orbilon
