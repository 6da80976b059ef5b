#include "host_core.h"

#include <gtest/gtest.h>

#include "cursor_counter.h"
#include "preview_core.h"

namespace orbilon {
namespace {

TEST(HostMusic, LoadStartsWhatTheSourceAndEndingSay) {
    LoadMusic m = MusicAtLoad(1, "song.mp3");  // a CD ignores the file
    EXPECT_TRUE(m.cdOpen);
    EXPECT_FALSE(m.wavPlay || m.mp3Open);

    m = MusicAtLoad(2, "/music/a.MP3");
    EXPECT_TRUE(m.mp3Open);
    EXPECT_FALSE(m.cdOpen || m.wavPlay);
    EXPECT_TRUE(MusicAtLoad(2, "x.mp3").mp3Open);
    EXPECT_TRUE(MusicAtLoad(2, "x.Mp3").mp3Open);

    m = MusicAtLoad(2, "x.wav");
    EXPECT_TRUE(m.wavPlay);
    EXPECT_FALSE(m.cdOpen || m.mp3Open);

    for (const char* f : {"x.wave", "x.ogg", "", "av", "wav/", "音楽.wma"}) {
        m = MusicAtLoad(2, f);
        EXPECT_FALSE(m.cdOpen || m.wavPlay || m.mp3Open) << f;
    }
    // Only the ending counts, not a dot before it.
    EXPECT_TRUE(MusicAtLoad(2, "wav").wavPlay);
    EXPECT_TRUE(MusicAtLoad(2, "曲mp3").mp3Open);

    for (int16_t kind : {0, 3, -1}) {
        m = MusicAtLoad(kind, "x.wav");
        EXPECT_FALSE(m.cdOpen || m.wavPlay || m.mp3Open) << kind;
    }
}

TEST(HostMusic, UnloadStopsWhatWasStarted) {
    UnloadSteps u = StepsAtUnload(1, "", true, "/s");
    EXPECT_TRUE(u.cdClose);
    EXPECT_TRUE(u.restoreCursor);
    // CD watching that stopped itself is not closed again.
    EXPECT_FALSE(StepsAtUnload(1, "", false, "/s").cdClose);

    u = StepsAtUnload(2, "a.wav", false, "/s");
    EXPECT_TRUE(u.wavStop);
    EXPECT_FALSE(u.mp3Close || u.cdClose);
    u = StepsAtUnload(2, "a.MP3", false, "/s");
    EXPECT_TRUE(u.mp3Close);
    EXPECT_FALSE(u.wavStop);
    u = StepsAtUnload(2, "a.wave", false, "/s");
    EXPECT_FALSE(u.wavStop || u.mp3Close);
    u = StepsAtUnload(0, "a.wav", false, "/s");
    EXPECT_FALSE(u.wavStop || u.mp3Close);
}

TEST(HostMusic, OnlyRunsStartedWithSRestoreThePointer) {
    EXPECT_TRUE(StepsAtUnload(0, "", false, "-S").restoreCursor);
    EXPECT_FALSE(StepsAtUnload(0, "", false, "").restoreCursor);
    EXPECT_FALSE(StepsAtUnload(0, "", false, "/a").restoreCursor);
}

TEST(RendererWatch, EndsOnlyOnceTheRendererIsKnownToBeGone) {
    RendererWatch w;
    // Starting up: no window yet, process alive, within the grace time.
    EXPECT_FALSE(w.Ended(false, false, 0));
    EXPECT_FALSE(w.Ended(false, false, 9999));
    EXPECT_FALSE(w.Ended(true, false, 10500));  // present long after the grace time
    EXPECT_TRUE(w.Ended(false, false, 10550));  // seen, now gone

    RendererWatch seen;
    EXPECT_FALSE(seen.Ended(true, false, 100));
    EXPECT_TRUE(seen.Ended(false, false, 150));  // gone right away, no grace

    RendererWatch died;
    EXPECT_TRUE(died.Ended(false, true, 50));  // launch failed or crashed before a window

    RendererWatch never;
    EXPECT_TRUE(never.Ended(false, false, RendererWatch::kGraceMs));
}

TEST(CursorCounter, HidesBelowZeroAndShowsAgain) {
    platform::CursorCounter c;
    auto ch = c.Apply(0);
    EXPECT_EQ(ch.counter, -1);
    EXPECT_TRUE(ch.hide);
    ch = c.Apply(0);
    EXPECT_EQ(ch.counter, -2);
    EXPECT_FALSE(ch.hide);  // already hidden
    ch = c.Apply(-2);       // any non-zero flag shows
    EXPECT_EQ(ch.counter, -1);
    EXPECT_FALSE(ch.show);  // still below zero
    ch = c.Apply(1);
    EXPECT_EQ(ch.counter, 0);
    EXPECT_TRUE(ch.show);
    ch = c.Apply(1);
    EXPECT_EQ(ch.counter, 1);
    EXPECT_FALSE(ch.show || ch.hide);
}

TEST(PreviewSize, TwipsRoundTripAndOverflow) {
    EXPECT_EQ(PixelsToTwips(152, 15.0), 2280);
    EXPECT_EQ(PixelsToTwips(112, 15.0), 1680);
    EXPECT_EQ(TwipsToPixels(2280, 15.0), 152);
    EXPECT_EQ(PixelsToTwips(2184, 15.0), 32760);
    EXPECT_EQ(PixelsToTwips(2185, 15.0), 0);  // does not fit 16 bits
    // 1440/144 DPI = 10; 1440/120 = 12; odd DPIs round halves to even.
    EXPECT_EQ(PixelsToTwips(3, 1440.0 / 96.0 * 0.5), 22);  // 22.5 -> 22
    EXPECT_EQ(PixelsToTwips(5, 1440.0 / 96.0 * 0.5), 38);  // 37.5 -> 38
    EXPECT_EQ(TwipsToPixels(PixelsToTwips(300, 1440.0 / 110.0), 1440.0 / 110.0), 300);
    EXPECT_EQ(TwipsToPixels(100, 0.0), 0);
}

}  // namespace
}  // namespace orbilon
