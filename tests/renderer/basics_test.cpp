// The random source, the colour helpers, the vector helpers and the curve.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "model/colour.h"
#include "model/curve.h"
#include "model/random.h"
#include "model/vector.h"

namespace orbilon {
namespace {

TEST(Random, FollowsTheLinearCongruentialSequenceAndCountsDraws) {
    SeedRandom(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
    for (int value : expected) EXPECT_EQ(NextRandom(), value);
    EXPECT_EQ(RandomDraws(), 8u);

    SeedRandom(1);
    EXPECT_EQ(RandomDraws(), 0u);
    EXPECT_EQ(NextRandom(), 41);

    // The state wraps modulo 2^32 and the output keeps to 15 bits.
    SeedRandom(0xFFFFFFFFu);
    for (int i = 0; i < 10000; ++i) {
        const int r = NextRandom();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
}

void ExpectRgb(const Rgb& c, float r, float g, float b, float tolerance = 1e-5f) {
    EXPECT_NEAR(c.r, r, tolerance);
    EXPECT_NEAR(c.g, g, tolerance);
    EXPECT_NEAR(c.b, b, tolerance);
}

TEST(HsvToRgb, CoversEverySectorOfTheHueCircle) {
    ExpectRgb(HsvToRgb(0, 1, 1), 1, 0, 0);
    ExpectRgb(HsvToRgb(1.0f / 12, 1, 1), 1, 0.5f, 0);
    ExpectRgb(HsvToRgb(0.25f, 1, 1), 0.5f, 1, 0);
    ExpectRgb(HsvToRgb(5.0f / 12, 1, 1), 0, 1, 0.5f);
    ExpectRgb(HsvToRgb(0.5f, 1, 1), 0, 1, 1);
    ExpectRgb(HsvToRgb(7.0f / 12, 1, 1), 0, 0.5f, 1);
    ExpectRgb(HsvToRgb(0.75f, 1, 1), 0.5f, 0, 1);
    ExpectRgb(HsvToRgb(11.0f / 12, 1, 1), 1, 0, 0.5f);
    ExpectRgb(HsvToRgb(1, 1, 1), 1, 0, 0, 1e-4f);
    // Saturation lifts the other channels toward white, then value scales all three.
    ExpectRgb(HsvToRgb(0.3f, 0, 0.4f), 0.4f, 0.4f, 0.4f);
    ExpectRgb(HsvToRgb(0, 0.5f, 0.8f), 0.8f, 0.4f, 0.4f);
    ExpectRgb(HsvToRgb(0.6f, 0.7f, 0), 0, 0, 0);
}

TEST(HsvToRgb, IsContinuousAcrossItsBreakpoints) {
    for (double breakpoint : {0.166667, 0.333333, 0.5, 0.666667, 0.833333}) {
        const float at = static_cast<float>(breakpoint);
        const float below = std::nextafter(at, 0.0f);
        const float above = std::nextafter(at, 1.0f);
        const Rgb lo = HsvToRgb(below, 1, 1), hi = HsvToRgb(above, 1, 1);
        SCOPED_TRACE(breakpoint);
        ExpectRgb(lo, hi.r, hi.g, hi.b, 1e-4f);
    }
}

float HueAt(float from, float to, float t) {
    return BlendHsv({from, 0, 0}, {to, 0, 0}, t, HueDownward(from, to)).h;
}

TEST(BlendHsv, TakesTheShorterWayRoundTheHueCircle) {
    // Climbing directly: 0.1 -> 0.5.
    EXPECT_NEAR(HueAt(0.1f, 0.5f, 0.5f), 0.3f, 1e-6f);
    // Descending through 0 and wrapping to 1: 0.1 -> 0.9 covers 0.2.
    EXPECT_NEAR(HueAt(0.1f, 0.9f, 0.25f), 0.05f, 1e-6f);
    EXPECT_NEAR(HueAt(0.1f, 0.9f, 0.75f), 0.95f, 1e-6f);
    // Descending directly to a hue slightly below: 0.5 -> 0.4.
    EXPECT_NEAR(HueAt(0.5f, 0.4f, 0.5f), 0.45f, 1e-6f);
    // Climbing through 1 and wrapping to 0: 0.9 -> 0.1 covers 0.2.
    EXPECT_NEAR(HueAt(0.9f, 0.1f, 0.25f), 0.95f, 1e-6f);
    EXPECT_NEAR(HueAt(0.9f, 0.1f, 0.75f), 0.05f, 1e-6f);

    // Every route starts at the start hue and ends on the target hue.
    for (auto [from, to] : {std::pair{0.1f, 0.5f},
                            {0.1f, 0.9f},
                            {0.5f, 0.4f},
                            {0.9f, 0.1f},
                            {0.8f, 0.2f},
                            {0.2f, 0.7f},
                            {0.7f, 0.2f}}) {
        SCOPED_TRACE(testing::Message() << from << " -> " << to);
        EXPECT_NEAR(HueAt(from, to, 0), from, 1e-6f);
        EXPECT_NEAR(std::fmod(HueAt(from, to, 1) + 1, 1.0f), to, 1e-6f);
        // Never further than half the circle: the hue moves at most 0.5 in total.
        const float mid = HueAt(from, to, 0.5f);
        const float moved = std::min(std::fabs(mid - from), 1 - std::fabs(mid - from));
        EXPECT_LE(moved, 0.25f + 1e-6f);
    }
}

TEST(BlendHsv, MovesSaturationAndValueLinearlyAndKeepsAnEqualHue) {
    const Hsv mid =
        BlendHsv({0.3f, 0.2f, 0.0f}, {0.3f, 0.6f, 1.0f}, 0.25f, HueDownward(0.3f, 0.3f));
    EXPECT_EQ(mid.h, 0.3f);
    EXPECT_FLOAT_EQ(mid.s, 0.3f);
    EXPECT_FLOAT_EQ(mid.v, 0.25f);
}

TEST(Vector, NormalizeLeavesTheZeroVectorAlone) {
    Point3 zero;
    EXPECT_EQ(Normalize(zero), 0.0f);
    EXPECT_EQ(zero, Point3{});
    Point3 v{3, 0, -4};
    EXPECT_FLOAT_EQ(Normalize(v), 5);
    EXPECT_FLOAT_EQ(v.z, -0.8f);
}

TEST(Curve, FactorialsAndEnds) {
    EXPECT_EQ(Factorial(0), 1);
    EXPECT_EQ(Factorial(5), 120);
    EXPECT_EQ(Factorial(12), 479001600);
    FillFactorialTable();
    EXPECT_EQ(FactorialTable[0], 1.0f);
    EXPECT_EQ(FactorialTable[12], 479001600.0f);

    std::array<Point3, 13> p;
    for (int k = 0; k < 13; ++k) p[k] = {k * 7.5f - 40, k * k * 1.25f - 200, 30.0f - k};
    EXPECT_EQ(EvaluateCurve(p, 0), p[0]);
    EXPECT_EQ(EvaluateCurve(p, 1), p[12]);
    EXPECT_EQ(EvaluateCurveDirect(p, 0), p[0]);
    EXPECT_EQ(EvaluateCurveDirect(p, 1), p[12]);
}

// The running-product form against the power function, over every parameter a bead uses
// (the look-back reaches 0.01 below its start; progress ends just above 1), on shapes as
// wide as a strand's. Both round each weight to float once, so they agree to within a
// few float ulps of the scene's size and mostly to the bit.
TEST(Curve, AgreesWithThePowerFunctionFormOverTheWholeRange) {
    SeedRandom(5);
    std::array<Point3, 13> p;
    int exact = 0, total = 0;
    float worst = 0;
    for (int shape = 0; shape < 20; ++shape) {
        for (Point3& q : p) {
            q = {NextRandom() / 81.9f - 200, NextRandom() / 81.9f - 200,
                 NextRandom() / 81.9f - 200};
        }
        for (int i = 0; i <= 2040; ++i) {
            const float u = -0.01f + i * 0.0005f;  // -0.01 ... 1.01
            const Point3 fast = EvaluateCurve(p, u), direct = EvaluateCurveDirect(p, u);
            // The paired form used by the bead step gives the single form's bits.
            Point3 atU, atV;
            EvaluateCurve2(p, u, u - 0.01f, atU, atV);
            EXPECT_EQ(atU, fast);
            EXPECT_EQ(atV, EvaluateCurve(p, u - 0.01f));
            for (float d : {fast.x - direct.x, fast.y - direct.y, fast.z - direct.z}) {
                worst = std::max(worst, std::abs(d));
                exact += d == 0;
                ++total;
            }
        }
    }
    EXPECT_LE(worst, 6e-5f);  // 4 ulps at 200
    EXPECT_GE(exact, total * 99 / 100) << exact << " of " << total << " bit for bit";
}

TEST(Curve, ReproducesLinesAndStaysDefinedJustOutside) {
    // Evenly spaced control points on a line give a curve moving uniformly along it.
    std::array<Point3, 13> line;
    for (int k = 0; k < 13; ++k) line[k] = {10.0f * k, -200 + 400.0f * k / 12, 5};
    for (float u : {0.1f, 0.37f, 0.5f, 0.93f}) {
        const Point3 b = EvaluateCurve(line, u);
        EXPECT_NEAR(b.x, 120 * u, 1e-3f);
        EXPECT_NEAR(b.y, -200 + 400 * u, 1e-3f);
        EXPECT_NEAR(b.z, 5, 1e-4f);
    }
    // The bead's look-back evaluates the same polynomial just below 0.
    const Point3 before = EvaluateCurve(line, -0.01f);
    EXPECT_NEAR(before.x, -1.2f, 1e-3f);
    EXPECT_NEAR(before.y, -204, 1e-3f);
}

}  // namespace
}  // namespace orbilon
