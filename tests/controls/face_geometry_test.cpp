#include "face_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orbilon::controls {
namespace {

TEST(FaceGeometry, TonesReadInPairsIntoTheHighByte) {
    EXPECT_EQ(ParseTone("&HC6C5D7"), (Tone{0xC600, 0xC500, 0xD700, 0}));
    EXPECT_EQ(ParseTone("&hffffff"), (Tone{0xFF00, 0xFF00, 0xFF00, 0}));
    EXPECT_FALSE(ParseTone("&HC6C5D"));
    EXPECT_FALSE(ParseTone("&HC6C5DG"));
    EXPECT_FALSE(ParseTone("C6C5D7FF"));

    EXPECT_EQ(TonesFor(true).top.red, 0xC600);
    EXPECT_EQ(TonesFor(true).bottom.red, 0xFF00);
    EXPECT_EQ(TonesFor(false).top.blue, 0xFF00);
    EXPECT_EQ(TonesFor(false).bottom.blue, 0xD700);
}

// In pixels the designed button gets a 4-pixel frame: unscaled corners, edges cut from the
// picture's ring and stretched over the rest.
TEST(FaceGeometry, DesignedButtonFrameInPixels) {
    const auto pieces = FramePieces(1755, 420);
    ASSERT_EQ(pieces.size(), 8u);
    const Rect dest[8] = {{0, 0, 4, 4},    {4, 0, 109, 4},  {113, 0, 4, 4}, {113, 4, 4, 20},
                          {113, 24, 4, 4}, {4, 24, 109, 4}, {0, 24, 4, 4},  {0, 4, 4, 20}};
    const Rect src[8] = {{0, 0, 4, 4},   {4, 0, 56, 4},  {60, 0, 4, 4}, {60, 4, 4, 17},
                         {60, 21, 4, 4}, {4, 21, 56, 4}, {0, 21, 4, 4}, {0, 4, 4, 17}};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ToPixels(pieces[i].dest, 15, 15), dest[i]);
        EXPECT_EQ(ToPixels(pieces[i].src, 15, 15), src[i]);
    }
}

TEST(FaceGeometry, PiecesMeetWithoutGapsAtOtherScales) {
    for (double tpp : {12.0, 10.0, 1440.0 / 110.0, 7.5}) {
        SCOPED_TRACE(tpp);
        const auto pieces = FramePieces(3000, 600);
        const Rect tl = ToPixels(pieces[0].dest, tpp, tpp);
        const Rect top = ToPixels(pieces[1].dest, tpp, tpp);
        const Rect tr = ToPixels(pieces[2].dest, tpp, tpp);
        EXPECT_EQ(tl.x + tl.w, top.x);
        EXPECT_EQ(top.x + top.w, tr.x);
        EXPECT_EQ(tr.x + tr.w, static_cast<int>(std::lround(3000 / tpp)));
    }
}

// W - 60 overflows 16 bits above 32827 twips and W - 120 above 32887; the pieces that need
// an overflowing value are left out, the rest still draw.
TEST(FaceGeometry, OversizeControlLeavesOutTheOverflowingPieces) {
    EXPECT_EQ(FramePieces(32827, 420).size(), 8u);
    const auto wide = FramePieces(32828, 420);
    ASSERT_EQ(wide.size(), 5u);  // both edges spanning the width and the left side survive
    for (const auto& p : wide) EXPECT_LT(p.dest.x, 32768);
    EXPECT_EQ(FramePieces(32888, 420).size(), 3u);    // only the left column
    EXPECT_EQ(FramePieces(40000, 40000).size(), 1u);  // only the top-left corner
    EXPECT_EQ(FramePieces(1'000'000'000, 2'000'000'000).size(), 1u);
}

TEST(FaceGeometry, TinyControlLeavesOutEmptyEdges) {
    // 120 twips: the corners touch and the edges between them vanish.
    const auto pieces = FramePieces(120, 120);
    EXPECT_EQ(pieces.size(), 4u);
    for (const auto& p : pieces) EXPECT_GT(p.dest.w, 0);
    for (const auto& p : FramePieces(30, 30)) EXPECT_TRUE(p.dest.w > 0 && p.dest.h > 0);
}

TEST(FaceGeometry, CaptionSitsCentredAboveTheMiddle) {
    EXPECT_EQ(CaptionRect(1755, 420), (Rect{0, 102, 1755, 195}));
    EXPECT_EQ(CaptionRect(1755, 421), (Rect{0, 103, 1755, 195}));
    EXPECT_EQ(CaptionRect(100, 100), (Rect{0, -57, 100, 195}));
    EXPECT_EQ(ToPixels(CaptionRect(1755, 420), 15, 15), (Rect{0, 7, 117, 13}));
}

}  // namespace
}  // namespace orbilon::controls
