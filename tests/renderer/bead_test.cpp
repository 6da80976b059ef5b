// Bead restarts, its radius profile, and the tilt a pose hands to drawing.
#include "model/bead.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/random.h"

namespace orbilon {
namespace {

// glRotatef's rotation (degrees, right-handed about the axis) applied to v.
Point3 Rotate(const Point3& v, Point3 axis, float degrees) {
    if (Normalize(axis) == 0) return v;
    const double a = degrees * M_PI / 180, c = std::cos(a), s = std::sin(a);
    const Point3 kxv = Cross(axis, v);
    const double kv = Dot(axis, v);
    return {static_cast<float>(v.x * c + kxv.x * s + axis.x * kv * (1 - c)),
            static_cast<float>(v.y * c + kxv.y * s + axis.y * kv * (1 - c)),
            static_cast<float>(v.z * c + kxv.z * s + axis.z * kv * (1 - c))};
}

void ExpectNear(const Point3& a, const Point3& b, float tolerance) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

bool Finite(const BeadPose& p) {
    for (float v : {p.position.x, p.position.y, p.position.z, p.tiltAxis.x, p.tiltAxis.y,
                    p.tiltAxis.z, p.tiltAngle, p.spin, p.orbitOffset}) {
        if (!std::isfinite(v)) return false;
    }
    return true;
}

TEST(BeadTilt, TurnsTheShapesUpAxisOntoTheDirectionOfTravel) {
    for (Point3 d : {Point3{1, 0, 0},
                     {0, 0, -1},
                     {0.3f, 0.9f, -0.2f},
                     {-0.5f, -0.7f, 0.4f},
                     {1e-4f, 1, 0},
                     {0, -1, 1e-3f}}) {
        Normalize(d);
        Point3 axis;
        float angle;
        TiltFor(d, axis, angle);
        SCOPED_TRACE(testing::Message() << d.x << "," << d.y << "," << d.z);
        ExpectNear(Rotate({0, 1, 0}, axis, angle), d, 1e-4f);
    }
}

TEST(BeadTilt, MarksAMissingTiltAndTurnsOverWhenHeadingDown) {
    Point3 axis{9, 9, 9};
    float angle = 9;
    TiltFor({0, 1, 0}, axis, angle);
    EXPECT_EQ(axis, Point3{});
    EXPECT_EQ(angle, 0);

    TiltFor({0, 0, 0}, axis, angle);  // two coinciding curve points: no direction at all
    EXPECT_EQ(axis, Point3{});
    EXPECT_EQ(angle, 0);

    TiltFor({0, -1, 0}, axis, angle);
    ExpectNear(Rotate({0, 1, 0}, axis, angle), {0, -1, 0}, 1e-6f);
}

TEST(BeadRadius, JoinsTheProfileLinearlyAndEndsOnTheTopRadius) {
    Radii radii;
    for (int i = 0; i < 13; ++i) radii[i] = 10.0f + 3 * i + (i % 2) * 7;
    EXPECT_EQ(RadiusAt(radii, 0), radii[0]);
    EXPECT_EQ(RadiusAt(radii, 1.0f), radii[12]);
    EXPECT_NEAR(RadiusAt(radii, 5.0f / 12), radii[5], 1e-4f);
    EXPECT_NEAR(RadiusAt(radii, 5.5f / 12), (radii[5] + radii[6]) / 2, 1e-4f);
    EXPECT_NEAR(RadiusAt(radii, 11.75f / 12), 0.25f * radii[11] + 0.75f * radii[12], 1e-4f);
}

TEST(Bead, StartsBlackAtTheBottomWithTwoDraws) {
    SeedRandom(21);
    auto strand = Strand::Create();
    const uint64_t before = RandomDraws();
    Bead bead = Bead::Create(*strand);
    EXPECT_EQ(RandomDraws(), before + 2);
    EXPECT_EQ(bead.progress, 0);
    EXPECT_GE(bead.pace, 0.2f);
    EXPECT_LE(bead.pace, 1.0f);
    EXPECT_GE(bead.spin, 0);
    EXPECT_LE(bead.spin, 360);
    EXPECT_EQ(bead.colour, Rgb{});  // the strand's start colour has value 0

    const float spin = bead.spin;
    const BeadPose pose = bead.Step();
    EXPECT_EQ(pose.position, strand->currentPoints[0]);
    EXPECT_TRUE(Finite(pose));
    EXPECT_GT(bead.progress, 0);
    EXPECT_FLOAT_EQ(pose.orbitOffset, strand->currentRadii[0] * bead.pace);
    // Every bead circles at the same speed: offset times spin rate, 40 degrees' worth.
    EXPECT_NEAR(pose.orbitOffset * (pose.spin - spin), 40, 1e-3f);
}

TEST(Bead, RestartsOnlyOncePastTheTop) {
    SeedRandom(4);
    auto strand = Strand::Create();
    strand->Update();
    strand->currentHsv = {0.5f, 1, 1};
    Bead bead = Bead::Create(*strand);
    const float pace = bead.pace;

    bead.progress = 1.0f;
    const uint64_t before = RandomDraws();
    BeadPose pose = bead.Step();
    EXPECT_EQ(RandomDraws(), before);  // exactly 1 is not past the top
    EXPECT_EQ(pose.position, strand->currentPoints[12]);
    EXPECT_EQ(pose.orbitOffset, strand->currentRadii[12] * pace);
    EXPECT_GT(bead.progress, 1.0f);

    strand->currentHsv = {0, 0, 0.25f};
    pose = bead.Step();
    EXPECT_EQ(RandomDraws(), before + 2);
    EXPECT_EQ(pose.position, strand->currentPoints[0]);
    EXPECT_EQ(pose.colour, (Rgb{0.25f, 0.25f, 0.25f}));  // the strand's colour at the restart
    EXPECT_LT(bead.progress, 0.5f);
}

TEST(Bead, CollapsedStrandYieldsNoNaN) {
    SeedRandom(8);
    auto strand = Strand::Create();
    strand->currentPoints.fill({0, 0, 0});
    Bead bead = Bead::Create(*strand);
    for (int i = 0; i < 50; ++i) {
        const BeadPose pose = bead.Step();
        ASSERT_TRUE(Finite(pose));
        EXPECT_EQ(pose.tiltAxis, Point3{});
        EXPECT_EQ(pose.tiltAngle, 0);
    }
    // Nearly coinciding points leave only rounding noise as the direction: still no NaN.
    strand->currentPoints.fill({12, 34, 56});
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(Finite(bead.Step()));
}

}  // namespace
}  // namespace orbilon
