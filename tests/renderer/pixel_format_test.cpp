#include "pixel_format.h"

#include <gtest/gtest.h>

#include <vector>

namespace orbilon {
namespace {

PixelFormatDesc Format(int color, int depth, bool generic, bool accelerated = false) {
    PixelFormatDesc d = FallbackPixelFormatRequest();
    d.colorBits = color;
    d.depthBits = depth;
    d.generic = generic;
    d.genericAccelerated = accelerated;
    return d;
}

TEST(PixelFormat, ScoresColourDepthAndOrigin) {
    EXPECT_EQ(16 + 32 + 2000, ScorePixelFormat(Format(16, 16, false)));
    EXPECT_EQ(24 + 48 - 4, ScorePixelFormat(Format(24, 24, true)));
    EXPECT_EQ(32 + 48 - 8 + 1000, ScorePixelFormat(Format(32, 24, true, true)));
    // Odd excess truncates toward zero: (16 - 17) / 2 is 0, (16 - 25) / 2 is -4.
    EXPECT_EQ(17, ScorePixelFormat(Format(17, 0, true)));
    EXPECT_EQ(25 - 4, ScorePixelFormat(Format(25, 0, true)));
    // The acceleration flag only counts for generic formats.
    EXPECT_EQ(ScorePixelFormat(Format(24, 24, false)),
              ScorePixelFormat(Format(24, 24, false, true)));
}

TEST(PixelFormat, EachMissingCapabilityDisqualifies) {
    for (int field = 0; field < 4; ++field) {
        PixelFormatDesc d = Format(32, 24, false);
        bool* flags[] = {&d.supportOpenGL, &d.drawToWindow, &d.doubleBuffer, &d.rgba};
        *flags[field] = false;
        EXPECT_FALSE(ScorePixelFormat(d)) << field;
        EXPECT_FALSE(PickPixelFormat(std::vector{d})) << field;
    }
}

TEST(PixelFormat, HardwareBeatsGenericAcceleratedDeepFormat) {
    const std::vector formats{Format(32, 24, true, true), Format(16, 16, false)};
    EXPECT_EQ(1072, ScorePixelFormat(formats[0]));
    EXPECT_EQ(2048, ScorePixelFormat(formats[1]));
    EXPECT_EQ(2, PickPixelFormat(formats));
}

TEST(PixelFormat, EqualScoresPickTheLowestNumber) {
    // 24/24 and 32/22 both score 2068 (hardware); the later better-depth one must not win a tie.
    PixelFormatDesc singleBuffered = Format(32, 32, false);
    singleBuffered.doubleBuffer = false;
    const std::vector formats{singleBuffered, Format(24, 24, false), Format(32, 22, false),
                              Format(24, 24, false)};
    ASSERT_EQ(ScorePixelFormat(formats[1]), ScorePixelFormat(formats[2]));
    EXPECT_EQ(2, PickPixelFormat(formats));
}

TEST(PixelFormat, LaterStrictlyBetterFormatWins) {
    const std::vector formats{Format(16, 16, true), Format(24, 24, true), Format(24, 16, true)};
    EXPECT_EQ(2, PickPixelFormat(formats));
}

TEST(PixelFormat, OnlyTrueColourWithoutExtraAlphaQualifies) {
    PixelFormatDesc direct = Format(24, 24, false);
    direct.visualClass = VisualClass::kDirectColor;
    PixelFormatDesc indexed = direct;
    indexed.visualClass = VisualClass::kOther;
    PixelFormatDesc noVisual = direct;
    noVisual.visualClass = VisualClass::kNone;
    // A 32-bit ARGB visual on a 24-bit screen: 8 bits a compositor would blend with.
    PixelFormatDesc argb = Format(32, 24, false);
    argb.visualAlphaBits = 8;
    for (const PixelFormatDesc& d : {direct, indexed, noVisual, argb}) {
        EXPECT_FALSE(ShowsAsDrawn(d));
        EXPECT_FALSE(ScorePixelFormat(d));
    }
    // On a screen whose own visual carries those bits they are nothing new.
    argb.screenAlphaBits = 8;
    EXPECT_TRUE(ShowsAsDrawn(argb));
    EXPECT_EQ(32 + 48 - 8 + 2000, ScorePixelFormat(argb));
}

TEST(PixelFormat, UnsuitableVisualsNeverWinWhateverTheirPlace) {
    // As a 16-bit screen lists them: a 32-bit ARGB format would outscore the 16-bit ones, and
    // DirectColor twins tie with TrueColor ones; neither may be picked, first or last.
    PixelFormatDesc argb = Format(32, 24, false);
    argb.visualAlphaBits = 8;
    PixelFormatDesc direct = Format(16, 24, false);
    direct.visualClass = VisualClass::kDirectColor;
    const PixelFormatDesc trueColour = Format(16, 24, false);
    EXPECT_EQ(3, PickPixelFormat(std::vector{argb, direct, trueColour}));
    EXPECT_EQ(1, PickPixelFormat(std::vector{trueColour, direct, argb}));
    EXPECT_FALSE(PickPixelFormat(std::vector{direct, argb}));
}

TEST(PixelFormat, NothingQualifyingAsksForTheFallback) {
    EXPECT_FALSE(PickPixelFormat({}));
    // A qualifying format with score 0 never beats the starting best of 0.
    EXPECT_FALSE(PickPixelFormat(std::vector{Format(0, 0, true)}));

    const PixelFormatDesc want = FallbackPixelFormatRequest();
    EXPECT_TRUE(want.supportOpenGL && want.drawToWindow && want.doubleBuffer && want.rgba);
    EXPECT_EQ(24, want.colorBits);
    EXPECT_EQ(24, want.depthBits);
    EXPECT_FALSE(want.generic || want.genericAccelerated);
    EXPECT_TRUE(ShowsAsDrawn(want));
}

}  // namespace
}  // namespace orbilon
