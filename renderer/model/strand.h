// A strand: an invisible degree-12 Bezier curve from height -200 to +200 with a profile of
// orbit radii and a colour, all drifting on their own frame clocks.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "model/colour.h"
#include "model/curve.h"
#include "model/vector.h"

namespace orbilon {

inline constexpr int StrandCount = 5;
inline constexpr int BeadsPerStrand = 300;
inline constexpr int StrandShape = 10;  // N: the curve has N + 3 control points, degree N + 2
inline constexpr int ControlPointCount = StrandShape + 3;
inline constexpr float BeadRadius = 50 * 0.25f;
static_assert(ControlPointCount == CurveDegree + 1);

// A transition's clock in frames; due when elapsed reaches length (both start at 0).
struct Transition {
    int32_t elapsed = 0;
    int32_t length = 0;
    bool Due() const { return elapsed == length; }
};

using ControlPoints = std::array<Point3, ControlPointCount>;
using Radii = std::array<float, ControlPointCount>;

class Strand {
public:
    virtual ~Strand() = default;

    // The starting shape, radii and colour; takes 52 random values.
    static std::unique_ptr<Strand> Create();

    // One frame: renews the due clocks (drawing their targets) and moves every value along.
    void Update();

    ControlPoints targetPoints{};
    ControlPoints currentPoints{};
    ControlPoints startPoints{};
    Radii targetRadii{};
    Radii currentRadii{};
    Radii startRadii{};
    Hsv targetHsv;
    Hsv currentHsv;
    Hsv startHsv;
    std::array<Transition, ControlPointCount> pointClocks{};
    std::array<Transition, ControlPointCount> radiusClocks{};
    Transition colourClock;

private:
    void RenewPoint(int i);
    void RenewRadius(int i);
    void RenewColour();
};

}  // namespace orbilon
