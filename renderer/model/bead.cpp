#include "model/bead.h"

#include <algorithm>
#include <cmath>

#include "model/draw.h"

namespace orbilon {

namespace {
constexpr float LookBack = 0.01f;
constexpr float Advance = 0.005f;
constexpr float SpinGain = 40;
constexpr float DegreesPerRadian = -57.2957764f;
constexpr float PaceSpan = 2.44148086e-05f;
constexpr float PaceBase = 0.2f;
constexpr int Segments = ControlPointCount - 1;
const Point3 Up{0, 1, 0};
}  // namespace

Bead Bead::Create(const Strand& strand) {
    Bead bead(strand);
    bead.Reset();
    return bead;
}

void Bead::Reset() {
    progress = 0;
    pace = static_cast<float>(Draw(PaceSpan) + PaceBase);
    spin = static_cast<float>(Draw(K360));
    const Hsv& hsv = strand_->currentHsv;
    colour = HsvToRgb(hsv.h, hsv.s, hsv.v);
}

float RadiusAt(const Radii& radii, float progress) {
    int k = static_cast<int>(Segments * progress);
    if (k >= Segments) k = Segments - 1;
    if (k < 0) k = 0;  // a running bead's progress is never negative; keep the index valid
    const double f = (progress - static_cast<double>(k) / Segments) * Segments;
    return static_cast<float>((1 - f) * radii[k] + f * radii[k + 1]);
}

void TiltFor(const Point3& direction, Point3& axis, float& angle) {
    axis = Cross(direction, Up);
    if (axis.x == 0 && axis.z == 0) {
        if (direction.y < 0) {
            axis = {1, 0, 0};
            angle = -180;  // acos(-1) in the same sense as the general case
        } else {
            axis = {};
            angle = 0;
        }
        return;
    }
    // Guard acos: a rounded unit vector must not yield a cosine outside -1 ... 1.
    const float cosine = std::clamp(Dot(direction, Up), -1.0f, 1.0f);
    angle = static_cast<float>(std::acos(cosine) * DegreesPerRadian);
}

BeadPose Bead::Step() {
    if (progress > 1) Reset();
    const ControlPoints& points = strand_->currentPoints;
    Point3 behind;
    EvaluateCurve2(points, progress, progress - LookBack, position, behind);
    Point3 direction{position.x - behind.x, position.y - behind.y, position.z - behind.z};
    Normalize(direction);

    BeadPose pose;
    TiltFor(direction, pose.tiltAxis, pose.tiltAngle);

    const float radius = RadiusAt(strand_->currentRadii, progress);
    progress = static_cast<float>(progress + static_cast<double>(Advance) /
                                                 (static_cast<double>(pace) * pace * radius));
    spin = static_cast<float>(spin +
                              static_cast<double>(SpinGain) / (static_cast<double>(radius) * pace));

    pose.colour = colour;
    pose.position = position;
    pose.spin = spin;
    pose.orbitOffset = radius * pace;
    return pose;
}

}  // namespace orbilon
