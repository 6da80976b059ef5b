// Every bead of a frame as one indexed triangle list, posed on the CPU: the scene's lit,
// faceted beads drawn with a single vertex-array call and an identity model-view, so the light
// and the viewer stay where they are when each bead is drawn through its own matrix.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/bead.h"

namespace orbilon {

// The bead's shape: a sphere of 3 slices and 2 stacks about the z axis (a six-faced double
// pyramid), with the sphere's smooth normals, front faces counter-clockwise seen from outside.
struct BeadShape {
    static constexpr int Vertices = 5;  // the two poles, then the three equator corners
    static constexpr int Indices = 18;  // six triangles
    std::array<Point3, Vertices> positions;
    std::array<Point3, Vertices> normals;
    std::array<uint16_t, Indices> indices;
};
BeadShape MakeBeadShape(float radius);

// Rotation part of translate(position) * rotate(tilt) * rotate(spin about y) *
// translate(orbit offset, 0, 0), as glRotatef builds it; rows of a 3 x 3 matrix.
struct Pose3 {
    std::array<std::array<float, 3>, 3> rotation{};
    Point3 origin;  // where the shape's own origin lands
};
Pose3 PoseMatrix(const BeadPose& pose);

class BeadMesh {
public:
    // Room for count beads (at most MaxBeads) of the given shape radius; the indices are fixed
    // from here on.
    static constexpr int MaxBeads = 65536 / BeadShape::Vertices;
    BeadMesh(int count, float radius);

    // Poses bead i's vertices, normals and colour.
    void Set(int i, const BeadPose& pose);

    int beadCount() const { return count_; }
    const float* positions() const { return positions_.data(); }  // x, y, z per vertex
    const float* normals() const { return normals_.data(); }      // unit, per vertex
    const float* colours() const { return colours_.data(); }      // r, g, b per vertex
    const uint16_t* indices() const { return indices_.data(); }
    int indexCount() const { return static_cast<int>(indices_.size()); }

private:
    int count_;
    BeadShape shape_;
    std::vector<float> positions_, normals_, colours_;
    std::vector<uint16_t> indices_;
};

}  // namespace orbilon
