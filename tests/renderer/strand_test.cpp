// Strand creation, the draw order of its transitions, its clocks and the limits of its shape.
#include "model/strand.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/random.h"

namespace orbilon {
namespace {

std::vector<int> Sequence(uint32_t seed, int count) {
    SeedRandom(seed);
    std::vector<int> values(count);
    for (int& v : values) v = NextRandom();
    return values;
}

// A float draw: r times the single-precision k/32767, carried on in double.
double Scaled(int r, int k) {
    return r * static_cast<double>(static_cast<float>(k) / 32767);
}

#define EXPECT_IN(v, lo, hi) EXPECT_TRUE((v) >= (lo) && (v) <= (hi)) << #v << " = " << (v)

TEST(StrandCreate, TakesFiftyTwoDrawsAndStartsInRange) {
    for (uint32_t seed : {0u, 1u, 12345u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(seed);
        SeedRandom(seed);
        const auto s = Strand::Create();
        EXPECT_EQ(RandomDraws(), 52u);
        const auto& p = s->currentPoints;
        EXPECT_EQ(p[12].y, 200);
        EXPECT_IN(p[12].x, -200, 200);
        EXPECT_EQ(p[11].x, p[12].x);
        EXPECT_EQ(p[11].z, p[12].z);
        EXPECT_IN(p[11].y, 50, 116);
        for (int i = 2; i <= 10; ++i) EXPECT_IN(p[i].y, -200, 200);
        EXPECT_IN(p[1].y, -150, -50);
        EXPECT_EQ(p[0].y, -200);
        EXPECT_IN(s->currentRadii[12], 75, 250);
        EXPECT_IN(s->currentRadii[0], 5, 20);

        // A fade-in from black over 300 frames; everything else due at the first update.
        EXPECT_EQ(s->currentHsv, s->startHsv);
        EXPECT_EQ(s->startHsv.v, 0);
        EXPECT_EQ(s->targetHsv.v, 1);
        EXPECT_EQ(s->colourClock.length, 300);
        EXPECT_TRUE(s->pointClocks[5].Due() && s->radiusClocks[5].Due());
        EXPECT_EQ(s->targetPoints, s->currentPoints);
    }
}

TEST(StrandCreate, DrawsFromTheTopDown) {
    const auto r = Sequence(99, 52);
    SeedRandom(99);
    const auto s = Strand::Create();
    const auto& p = s->currentPoints;
    EXPECT_EQ(p[12].x, static_cast<float>(Scaled(r[0], 400) - 200.0));
    EXPECT_EQ(p[11].y, static_cast<float>(Scaled(r[2], 66) + 50.0));
    EXPECT_EQ(p[10].y, static_cast<float>(Scaled(r[4], 400) - 200.0));
    EXPECT_EQ(p[1].y, static_cast<float>(-(Scaled(r[31], 100)) - 50.0));
    EXPECT_EQ(s->currentRadii[12], static_cast<float>(Scaled(r[35], 175) + 75.0));
    EXPECT_EQ(s->startHsv.h, static_cast<float>(Scaled(r[48], 1)));
    EXPECT_EQ(s->targetHsv.s, static_cast<float>(Scaled(r[51], 1)));
}

// Where each point's and radius's length draw sits in the first update's 74 draws: points
// 12 ... 0 (x, y, z as drawn, then the length), then radii 12 ... 0 (target, then length).
TEST(StrandUpdate, FirstUpdateDrawsPointsThenRadiiFromTheTop) {
    const auto r = Sequence(7, 52 + 74);
    SeedRandom(7);
    auto s = Strand::Create();
    s->Update();
    EXPECT_EQ(RandomDraws(), 52u + 74u);

    const int pointDraws[13] = {3, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 2, 3};
    const int pointBase[13] = {1500, 2000, 3000, 3000, 3000, 3000, 3000,
                               3000, 3000, 3000, 3000, 5000, 5000};
    const int pointSpan[13] = {3000, 4000, 5000, 5000, 5000, 5000, 5000,
                               5000, 5000, 5000, 5000, 7000, 10000};
    int next = 52;
    for (int i = 12; i >= 0; --i) {
        next += pointDraws[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(s->pointClocks[i].length, pointBase[i] + pointSpan[i] * r[next - 1] / 32767);
        EXPECT_EQ(s->pointClocks[i].elapsed, 1);
    }
    EXPECT_EQ(s->targetPoints[12].x, static_cast<float>(Scaled(r[52], 400) - 200.0));
    EXPECT_EQ(s->targetPoints[11].y, static_cast<float>(Scaled(r[55], 66) + 50.0));

    const int radiusBase[13] = {2000, 3000, 4000, 4000, 4000, 4000, 4000,
                                4000, 4000, 4000, 4000, 5000, 5000};
    for (int i = 12; i >= 0; --i) {
        next += 2;
        SCOPED_TRACE(i);
        EXPECT_EQ(s->radiusClocks[i].length, radiusBase[i] + 5000 * r[next - 1] / 32767);
    }
    EXPECT_EQ(s->targetRadii[12], static_cast<float>(Scaled(r[100], 225) + 75.0));
    EXPECT_EQ(s->targetRadii[0], static_cast<float>(Scaled(r[124], 15) + 5.0));

    // A transition's first frame reproduces its start: nothing jumps at a restart.
    EXPECT_EQ(s->currentPoints, s->startPoints);
    EXPECT_EQ(s->currentRadii, s->startRadii);
}

TEST(StrandUpdate, ColourFadesInOverThreeHundredFramesThenRenews) {
    SeedRandom(3);
    auto s = Strand::Create();
    s->Update();
    EXPECT_EQ(s->colourClock.elapsed, 1);
    EXPECT_EQ(s->colourClock.length, 300);
    EXPECT_EQ(s->currentHsv.v, 0);  // the first frame is still the start colour

    // No point or radius clock falls due before frame 1500: updates 2 ... 300 draw nothing.
    const uint64_t before = RandomDraws();
    for (int frame = 2; frame <= 300; ++frame) s->Update();
    EXPECT_EQ(RandomDraws(), before);
    EXPECT_TRUE(s->colourClock.Due());
    EXPECT_NEAR(s->currentHsv.v, 299.0f / 300, 1e-6f);
    const Hsv reached = s->currentHsv;

    s->Update();  // the 301st: the colour's clock renews with four draws
    EXPECT_EQ(RandomDraws(), before + 4);
    EXPECT_EQ(s->startHsv, reached);
    EXPECT_EQ(s->currentHsv, reached);
    EXPECT_EQ(s->colourClock.elapsed, 1);
    EXPECT_GE(s->colourClock.length, 100);
    EXPECT_LE(s->colourClock.length, 1999);
    EXPECT_GE(s->targetHsv.v, 0.5f);
    EXPECT_LE(s->targetHsv.v, 1.0f);
}

TEST(StrandUpdate, APointSwingsOutToItsTargetAndBack) {
    SeedRandom(11);
    auto s = Strand::Create();
    s->Update();
    const int length = s->pointClocks[12].length;
    const Point3 start = s->startPoints[12], target = s->targetPoints[12];
    ASSERT_GT(std::abs(target.x - start.x) + std::abs(target.z - start.z), 1.0f);

    // The frame computed with elapsed = length / 2 stands at the top of the swing...
    while (s->pointClocks[12].elapsed <= length / 2) s->Update();
    const double e = (1 - std::cos(6.2831855 * (length / 2) / length)) / 2;
    EXPECT_NEAR(s->currentPoints[12].x, start.x + (target.x - start.x) * e, 1e-3);
    EXPECT_NEAR(s->currentPoints[12].x, target.x, 0.01);

    // ...and back: the next transition begins where the swing started.
    while (!s->pointClocks[12].Due()) s->Update();
    s->Update();
    EXPECT_NEAR(s->startPoints[12].x, start.x, 0.01);
    EXPECT_NEAR(s->startPoints[12].z, start.z, 0.01);
    EXPECT_EQ(s->pointClocks[12].elapsed, 1);
}

#define ASSERT_IN(v, lo, hi) \
    ASSERT_TRUE((v) >= (lo) && (v) <= (hi)) << #v << " = " << (v) << " at frame " << frame

TEST(StrandUpdate, ShapeRadiiAndColourStayWithinTheirLimits) {
    for (uint32_t seed : {5u, 2024u}) {
        SeedRandom(seed);
        auto s = Strand::Create();
        for (int frame = 1; frame <= 40000; ++frame) {
            s->Update();
            const auto& t = s->targetPoints;
            ASSERT_EQ(s->currentPoints[12].y, 200) << frame;
            ASSERT_EQ(s->currentPoints[0].y, -200) << frame;
            for (int i = 2; i <= 10; ++i) ASSERT_IN(t[i].y, -200, 200);
            ASSERT_IN(t[11].y, 50, 116);
            ASSERT_IN(t[1].y, -150, -50);
            ASSERT_IN(s->currentRadii[12], 75, 300);
            ASSERT_IN(s->currentRadii[0], 5, 20);
            const Hsv& c = s->currentHsv;
            ASSERT_IN(c.h, 0, 1);
            ASSERT_IN(c.s, 0, 1);
            ASSERT_IN(c.v, frame > 300 ? 0.5f - 1e-6f : 0, 1);
        }
    }
}

}  // namespace
}  // namespace orbilon
