// The frame drawn in one vertex-array call looks like the same frame drawn bead by bead, each
// through its own matrix and the display list: at most 2 levels apart per channel, in at most
// 0.1 % of the pixels. Offscreen through EGL, so no display is needed.
// ORBILON_DRAW_PICTURES=DIR keeps both pictures of each case there for a look.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bead_mesh.h"
#include "egl_offscreen.h"
#include "gl_scene.h"
#include "model/scene.h"
#include "png.h"

namespace orbilon {
namespace {

struct Case {
    uint32_t seed;
    uint32_t frames;
    int width, height;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << "seed " << c.seed << ", " << c.frames << " frames, " << c.width << "x" << c.height;
}

class DrawEquivalence : public testing::TestWithParam<Case> {};

TEST_P(DrawEquivalence, OneCallMatchesBeadByBead) {
    const Case c = GetParam();
    std::string error;
    const auto offscreen = EglOffscreen::Create(c.width, c.height, &error);
    if (!offscreen) GTEST_SKIP() << "no offscreen OpenGL: " << error;

    Scene scene(c.seed);
    SetUpSceneGl(c.width, c.height, scene.camera());
    for (uint32_t i = 0; i < c.frames; ++i) scene.StepFrame();

    ClearSceneGl();
    DrawPosesOneByOne(scene);
    const std::vector<uint8_t> reference = offscreen->ReadRgb();
    ClearSceneGl();
    const auto mesh = MakeSceneMesh();
    DrawPoses(scene, *mesh);
    const std::vector<uint8_t> fast = offscreen->ReadRgb();
    ReleaseSceneGl();

    if (const char* dir = std::getenv("ORBILON_DRAW_PICTURES")) {
        const std::string stem = std::string(dir) + "/seed" + std::to_string(c.seed);
        WritePng(stem + "-one-by-one.png", c.width, c.height, reference);
        WritePng(stem + "-one-call.png", c.width, c.height, fast);
    }

    ASSERT_EQ(reference.size(), fast.size());
    const size_t pixels = reference.size() / 3;
    size_t lit = 0, apart = 0;
    int worst = 0;
    for (size_t p = 0; p < pixels; ++p) {
        int most = 0;
        for (int ch = 0; ch < 3; ++ch) {
            most = std::max(most, std::abs(reference[p * 3 + ch] - fast[p * 3 + ch]));
        }
        worst = std::max(worst, most);
        apart += most > 2;
        lit += reference[p * 3] + reference[p * 3 + 1] + reference[p * 3 + 2] > 0;
    }
    std::printf("%zu lit pixels; %zu of %zu differ by more than 2; worst difference %d\n", lit,
                apart, pixels, worst);
    // A blank frame would match trivially: the beads must cover a fair part of it.
    EXPECT_GT(lit, pixels / 50) << "only " << lit << " lit pixels";
    EXPECT_LE(apart * 1000, pixels)
        << apart << " of " << pixels << " pixels differ by more than 2 (worst " << worst << ")";
}

INSTANTIATE_TEST_SUITE_P(Frames, DrawEquivalence,
                         testing::Values(Case{1, 1500, 640, 480},   // front view
                                         Case{261, 900, 480, 480},  // seen from above
                                         Case{7, 40, 320, 240}));   // still bunched at the foot

}  // namespace
}  // namespace orbilon
