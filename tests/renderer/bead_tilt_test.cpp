#include "bead_tilt.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/bead.h"

namespace orbilon {
namespace {

TEST(BeadTilt, SkipsTheModelsNoTiltCases) {
    // Straight up, and two coincident curve points: both give a zero axis.
    for (const Point3 direction : {Point3{0, 1, 0}, Point3{0, 0, 0}}) {
        Point3 axis{9, 9, 9};
        float angle = 0;
        TiltFor(direction, axis, angle);
        EXPECT_FALSE(NeedsTilt(axis)) << direction.y;
    }
}

TEST(BeadTilt, SkipsAxesTooShortToNormaliseButKeepsSmallRealOnes) {
    EXPECT_FALSE(NeedsTilt({1e-23f, 0, -1e-23f}));
    EXPECT_FALSE(NeedsTilt({-0.0f, 0, 0.0f}));
    EXPECT_TRUE(NeedsTilt({1e-6f, 0, 0}));
    EXPECT_TRUE(NeedsTilt({0, 0, -1}));
    Point3 axis;
    float angle = 0;
    TiltFor({0.6f, 0, 0.8f}, axis, angle);  // horizontal travel: a quarter turn
    EXPECT_TRUE(NeedsTilt(axis));
    EXPECT_NEAR(90, std::fabs(angle), 1e-3);
}

}  // namespace
}  // namespace orbilon
