// The scene: creation and stepping order on the one random sequence, the camera draw, and the
// scene-dump arguments and output.
#include "model/scene.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "model/random.h"
#include "model/scene_json.h"

namespace orbilon {
namespace {

TEST(Scene, CreationInterleavesEachStrandWithItsBeads) {
    const uint32_t seed = 77;
    const Scene scene(seed);
    EXPECT_EQ(RandomDraws(), 3271u);  // 10 discarded + camera + 5 x (52 + 300 x 2)

    // Replaying the sequence by hand: strand 2 starts after the discards, the camera, two
    // strands and their 600 beads; its first bead follows its 52 draws.
    SeedRandom(seed);
    for (int i = 0; i < 11 + 2 * 652; ++i) NextRandom();
    const auto strand2 = Strand::Create();
    EXPECT_EQ(scene.strand(2).currentPoints, strand2->currentPoints);
    EXPECT_EQ(scene.strand(2).currentHsv, strand2->currentHsv);
    const Bead bead600 = Bead::Create(*strand2);
    EXPECT_EQ(scene.bead(600).pace, bead600.pace);
    EXPECT_EQ(scene.bead(600).spin, bead600.spin);

    for (int b = 0; b < BeadCount; ++b) {
        ASSERT_EQ(scene.bead(b).progress, 0);
        ASSERT_EQ(scene.bead(b).colour, Rgb{});
    }
}

TEST(Scene, CameraLooksFromAboveOnlyForAnEleventhDrawUpTo65) {
    // Seeds whose camera draw lands right on either side of the boundary.
    uint32_t at65 = 0, at66 = 0;
    for (uint32_t seed = 1; seed < (1u << 22) && !(at65 && at66); ++seed) {
        SeedRandom(seed);
        for (int i = 0; i < 10; ++i) NextRandom();
        const int r = NextRandom();
        if (r == 65 && !at65) at65 = seed;
        if (r == 66 && !at66) at66 = seed;
    }
    ASSERT_TRUE(at65 && at66);
    EXPECT_EQ(Scene(at65).camera(), Camera::Above);
    EXPECT_EQ(Scene(at66).camera(), Camera::Front);
    EXPECT_STREQ(CameraName(Camera::Above), "above");
    EXPECT_STREQ(CameraName(Camera::Front), "front");
}

TEST(Scene, EachStrandUpdatesAfterThePreviousStrandsBeadsAndBeforeItsOwn) {
    Scene scene(5);
    int next = 0;
    scene.StepFrame([&](const BeadPose& pose) {
        const int strand = next / BeadsPerStrand;
        // The colour clock counts this frame's update once it has run.
        EXPECT_EQ(scene.strand(strand).colourClock.elapsed, 1);
        if (strand + 1 < StrandCount) {
            EXPECT_EQ(scene.strand(strand + 1).colourClock.elapsed, 0);
        }
        EXPECT_EQ(&pose, &scene.pose(next));
        ++next;
    });
    EXPECT_EQ(next, BeadCount);
    EXPECT_EQ(scene.frames(), 1u);
    EXPECT_EQ(RandomDraws(), 3271u + 5 * 74);  // the first updates; no bead restarts yet
}

TEST(Scene, BeadRestartsAndStrandRenewalsShareOneSequence) {
    // With seed 3 a bead of an earlier strand restarts in frame 301, when the colours renew.
    const int frames = 320;
    Scene scene(3);
    for (int f = 0; f < frames; ++f) scene.StepFrame();
    const uint64_t draws = RandomDraws();
    EXPECT_GT(draws, 3271u + 5 * 74 + 5 * 4);

    // The same run built by hand from its parts, in drawing order.
    SeedRandom(3);
    for (int i = 0; i < 11; ++i) NextRandom();
    std::vector<std::unique_ptr<Strand>> strands;
    std::vector<Bead> beads;
    for (int s = 0; s < StrandCount; ++s) {
        strands.push_back(Strand::Create());
        for (int b = 0; b < BeadsPerStrand; ++b) beads.push_back(Bead::Create(*strands[s]));
    }
    for (int f = 0; f < frames; ++f) {
        for (int s = 0; s < StrandCount; ++s) {
            strands[s]->Update();
            for (int b = s * BeadsPerStrand; b < (s + 1) * BeadsPerStrand; ++b) beads[b].Step();
        }
    }
    EXPECT_EQ(RandomDraws(), draws);
    for (int s = 0; s < StrandCount; ++s) {
        EXPECT_EQ(scene.strand(s).currentPoints, strands[s]->currentPoints);
        EXPECT_EQ(scene.strand(s).targetHsv, strands[s]->targetHsv);
    }
    for (int b = 0; b < BeadCount; ++b) {
        ASSERT_EQ(scene.bead(b).pace, beads[b].pace) << b;
        ASSERT_EQ(scene.bead(b).progress, beads[b].progress) << b;
        ASSERT_EQ(scene.bead(b).colour, beads[b].colour) << b;
    }
}

TEST(SceneDumpArgs, AcceptOnlyUnsigned32BitDecimals) {
    EXPECT_EQ(ParseUint32("0"), 0u);
    EXPECT_EQ(ParseUint32("4294967295"), 4294967295u);
    for (const char* bad : {"", "4294967296", "-1", "+1", " 1", "1 ", "1x", "0x10", "1e3"}) {
        EXPECT_FALSE(ParseUint32(bad)) << '"' << bad << '"';
    }
}

// The text after the first occurrence of key, as a float.
float FloatAfter(const std::string& json, const std::string& key, size_t from = 0) {
    const size_t at = json.find(key, from);
    EXPECT_NE(at, std::string::npos) << key;
    return std::strtof(json.c_str() + at + key.size(), nullptr);
}

TEST(SceneJson, FloatsReadBackExactlyAndPosesAppearAfterTheFirstFrame) {
    Scene scene(1);
    const std::string created = SceneJson(scene, 1, RandomDraws());
    EXPECT_EQ(created.rfind("{\"seed\":1,\"frames\":0,\"camera\":\"front\",\"draws\":3271,", 0),
              0u);
    EXPECT_EQ(created.find("\"pose\""), std::string::npos);

    scene.StepFrame();
    const std::string stepped = SceneJson(scene, 1, RandomDraws());
    const size_t lastBead = stepped.rfind("{\"colour\"");
    EXPECT_EQ(FloatAfter(stepped, "\"pace\":", lastBead), scene.bead(BeadCount - 1).pace);
    EXPECT_EQ(FloatAfter(stepped, "\"progress\":", lastBead), scene.bead(BeadCount - 1).progress);
    EXPECT_EQ(FloatAfter(stepped, "\"orbitOffset\":", lastBead),
              scene.pose(BeadCount - 1).orbitOffset);
    EXPECT_EQ(FloatAfter(stepped, "\"radii\":["), scene.strand(0).currentRadii[0]);
    EXPECT_NE(stepped.find("\"colourClock\":[1,300]"), std::string::npos);

    size_t poses = 0;
    for (size_t at = 0; (at = stepped.find("\"pose\":", at)) != std::string::npos; ++at) ++poses;
    EXPECT_EQ(poses, static_cast<size_t>(BeadCount));
    EXPECT_EQ(stepped.find("nan"), std::string::npos);
}

}  // namespace
}  // namespace orbilon
