// The saver's frame looks like the reference drawing of the same step: every bead through its
// own matrix and the display list, in OpenGL's default state. At most 2 levels apart per
// channel, in at most 0.1 % of the pixels. The saver's frame is the last of several drawn in a
// row, so whatever one frame leaves behind for the next is covered. Offscreen through EGL, so
// no display is needed. ORBILON_DRAW_PICTURES=DIR keeps both pictures of each case there.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

TEST_P(DrawEquivalence, SaverFrameMatchesReference) {
    const Case c = GetParam();
    std::string error;
    const auto offscreen = EglOffscreen::Create(c.width, c.height, &error);
    if (!offscreen) GTEST_SKIP() << "no offscreen OpenGL: " << error;

    constexpr uint32_t drawn = 12;
    // One scene at a time: they share the process-wide random source.
    std::vector<uint8_t> fast;
    Camera camera;
    {
        SceneGl saver(c.seed, c.width, c.height);
        camera = saver.scene().camera();
        for (uint32_t i = drawn; i < c.frames; ++i) saver.scene().StepFrame();
        for (uint32_t i = 0; i < drawn && i < c.frames; ++i) saver.DrawFrame();
        fast = offscreen->ReadRgb();
    }
    Scene reference(c.seed);
    ASSERT_EQ(camera, reference.camera());
    SetUpSceneGl(c.width, c.height, reference.camera());
    for (uint32_t i = 0; i < c.frames; ++i) reference.StepFrame();
    DrawReferenceFrame(reference);
    const std::vector<uint8_t> slow = offscreen->ReadRgb();
    ReleaseSceneGl();

    if (const char* dir = std::getenv("ORBILON_DRAW_PICTURES")) {
        const std::string stem = std::string(dir) + "/seed" + std::to_string(c.seed);
        WritePng(stem + "-reference.png", c.width, c.height, slow);
        WritePng(stem + "-saver.png", c.width, c.height, fast);
    }

    ASSERT_EQ(slow.size(), fast.size());
    const size_t pixels = slow.size() / 3;
    size_t lit = 0, moved = 0, apart = 0;
    int worst = 0;
    for (size_t p = 0; p < pixels; ++p) {
        int most = 0;
        for (int ch = 0; ch < 3; ++ch) {
            most = std::max(most, std::abs(slow[p * 3 + ch] - fast[p * 3 + ch]));
        }
        worst = std::max(worst, most);
        moved += most > 0;
        apart += most > 2;
        lit += slow[p * 3] + slow[p * 3 + 1] + slow[p * 3 + 2] > 0;
    }
    std::printf("%zu lit pixels; of %zu, %zu differ, %zu by more than 2; worst difference %d\n",
                lit, pixels, moved, apart, worst);
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
