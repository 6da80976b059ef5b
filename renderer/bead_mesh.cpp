#include "bead_mesh.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "bead_tilt.h"

namespace orbilon {

namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

// glRotatef(degrees, axis): right-handed about the normalised axis.
Matrix Rotation(double degrees, double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    x /= length;
    y /= length;
    z /= length;
    const double a = degrees * std::numbers::pi / 180;
    const double c = std::cos(a), s = std::sin(a), t = 1 - c;
    return {{{x * x * t + c, x * y * t - z * s, x * z * t + y * s},
             {y * x * t + z * s, y * y * t + c, y * z * t - x * s},
             {x * z * t - y * s, y * z * t + x * s, z * z * t + c}}};
}

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            m[r][c] = a[r][0] * b[0][c] + a[r][1] * b[1][c] + a[r][2] * b[2][c];
        }
    }
    return m;
}

}  // namespace

BeadShape MakeBeadShape(float radius) {
    BeadShape shape;
    // Poles on the z axis; the equator corners at 0, 120 and 240 degrees, measured from +y
    // towards +x.
    shape.normals[0] = {0, 0, 1};
    shape.normals[1] = {0, 0, -1};
    for (int i = 0; i < 3; ++i) {
        const double a = 2 * std::numbers::pi * i / 3;
        shape.normals[2 + i] = {static_cast<float>(std::sin(a)), static_cast<float>(std::cos(a)),
                                0};
    }
    for (int v = 0; v < BeadShape::Vertices; ++v) {
        const Point3& n = shape.normals[v];
        shape.positions[v] = {n.x * radius, n.y * radius, n.z * radius};
    }
    // The corners run clockwise seen from +z, so each upper face is (pole, next, this) and
    // each lower face (pole, this, next).
    int k = 0;
    for (int i = 0; i < 3; ++i) {
        const uint16_t here = static_cast<uint16_t>(2 + i);
        const uint16_t next = static_cast<uint16_t>(2 + (i + 1) % 3);
        for (uint16_t v : {uint16_t{0}, next, here}) shape.indices[k++] = v;
    }
    for (int i = 0; i < 3; ++i) {
        const uint16_t here = static_cast<uint16_t>(2 + i);
        const uint16_t next = static_cast<uint16_t>(2 + (i + 1) % 3);
        for (uint16_t v : {uint16_t{1}, here, next}) shape.indices[k++] = v;
    }
    return shape;
}

Pose3 PoseMatrix(const BeadPose& pose) {
    Matrix r = Rotation(pose.spin, 0, 1, 0);
    if (NeedsTilt(pose.tiltAxis)) {
        r = Multiply(Rotation(pose.tiltAngle, pose.tiltAxis.x, pose.tiltAxis.y, pose.tiltAxis.z),
                     r);
    }
    Pose3 m;
    for (int row = 0; row < 3; ++row) {
        for (int c = 0; c < 3; ++c) m.rotation[row][c] = static_cast<float>(r[row][c]);
    }
    const double offset = pose.orbitOffset;
    m.origin = {static_cast<float>(pose.position.x + r[0][0] * offset),
                static_cast<float>(pose.position.y + r[1][0] * offset),
                static_cast<float>(pose.position.z + r[2][0] * offset)};
    return m;
}

BeadMesh::BeadMesh(int count, float radius)
    : count_(std::clamp(count, 0, MaxBeads)), shape_(MakeBeadShape(radius)) {
    const size_t vertices = static_cast<size_t>(count_) * BeadShape::Vertices;
    positions_.resize(vertices * 3);
    normals_.resize(vertices * 3);
    colours_.resize(vertices * 3);
    indices_.reserve(static_cast<size_t>(count_) * BeadShape::Indices);
    for (int b = 0; b < count_; ++b) {
        for (uint16_t v : shape_.indices) {
            indices_.push_back(static_cast<uint16_t>(b * BeadShape::Vertices + v));
        }
    }
}

void BeadMesh::Set(int i, const BeadPose& pose) {
    if (i < 0 || i >= count_) return;
    const Pose3 m = PoseMatrix(pose);
    const auto& r = m.rotation;
    float* p = &positions_[static_cast<size_t>(i) * BeadShape::Vertices * 3];
    float* n = &normals_[static_cast<size_t>(i) * BeadShape::Vertices * 3];
    float* c = &colours_[static_cast<size_t>(i) * BeadShape::Vertices * 3];
    for (int v = 0; v < BeadShape::Vertices; ++v, p += 3, n += 3, c += 3) {
        const Point3& s = shape_.positions[v];
        const Point3& sn = shape_.normals[v];
        for (int row = 0; row < 3; ++row) {
            p[row] = r[row][0] * s.x + r[row][1] * s.y + r[row][2] * s.z;
            n[row] = r[row][0] * sn.x + r[row][1] * sn.y + r[row][2] * sn.z;
        }
        p[0] += m.origin.x;
        p[1] += m.origin.y;
        p[2] += m.origin.z;
        c[0] = pose.colour.r;
        c[1] = pose.colour.g;
        c[2] = pose.colour.b;
    }
}

}  // namespace orbilon
