// The settings dialog's decisions, without a display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_layout.h"
#include "orbilon_p_logic.h"
#include "settings.h"
#include "zoom.h"

namespace dlg = orbilon::dialog;

namespace {

TEST(DialogSource, MarksAndEnabledStatesPerKind) {
    EXPECT_EQ((dlg::SourceView{0, false, false}), dlg::ViewFor(0));
    EXPECT_EQ((dlg::SourceView{1, true, false}), dlg::ViewFor(1));
    EXPECT_EQ((dlg::SourceView{2, false, true}), dlg::ViewFor(2));
    // Kinds only a hand-edited file can hold select nothing and enable nothing.
    for (int16_t k : {int16_t{7}, int16_t{-1}, int16_t{3}, int16_t{32767}}) {
        EXPECT_EQ((dlg::SourceView{-1, false, false}), dlg::ViewFor(k)) << k;
    }
}

TEST(DialogTrack, FormatAndItems) {
    EXPECT_EQ("", dlg::FormatHashHash(0));
    EXPECT_EQ("7", dlg::FormatHashHash(7));
    EXPECT_EQ("-3", dlg::FormatHashHash(-3));
    const std::vector<std::string> items = dlg::TrackItems();
    ASSERT_EQ(31u, items.size());
    EXPECT_EQ("", items.front());
    EXPECT_EQ("1", items[1]);
    EXPECT_EQ("30", items.back());
}

TEST(DialogTrack, TypedTextRoundsHalvesToEven) {
    EXPECT_EQ(8, dlg::TrackFromText("7.5"));
    EXPECT_EQ(2, dlg::TrackFromText("2.5"));
    EXPECT_EQ(3, dlg::TrackFromText("2.51"));
    EXPECT_EQ(-2, dlg::TrackFromText("-2.5"));
    EXPECT_EQ(-4, dlg::TrackFromText("-3.5"));
    EXPECT_EQ(12, dlg::TrackFromText(" 12 "));
    EXPECT_EQ(16, dlg::TrackFromText("&H10"));
    EXPECT_EQ(0, dlg::TrackFromText("0.5"));
    EXPECT_EQ(2, dlg::TrackFromText("1.5"));
}

TEST(DialogTrack, NonNumbersAndOutOfRangeGiveZero) {
    for (const char* t : {"", "abc", "5x", "1e400", "40000", "-32769", "32767.5"}) {
        EXPECT_EQ(0, dlg::TrackFromText(t)) << t;
    }
    EXPECT_EQ(32767, dlg::TrackFromText("32767"));
    EXPECT_EQ(-32768, dlg::TrackFromText("-32768"));
    EXPECT_EQ(-32768, dlg::TrackFromText("-32768.5"));  // rounds to even, still fits
}

TEST(DialogSave, WritesTheThreeKeysInOrder) {
    const dlg::SavePlan plan = dlg::PlanSave(7, "7.5", "/music/曲.mp3");
    EXPECT_EQ(8, plan.repeatTrack);
    ASSERT_EQ(3u, plan.writes.size());
    EXPECT_EQ("BGM区分", plan.writes[0].key);
    EXPECT_EQ("7", plan.writes[0].value);
    EXPECT_EQ("BGMﾘﾋﾟｰﾄ", plan.writes[1].key);
    EXPECT_EQ("8", plan.writes[1].value);
    EXPECT_EQ("BGMﾌｧｲﾙ", plan.writes[2].key);
    EXPECT_EQ("/music/曲.mp3", plan.writes[2].value);

    const dlg::SavePlan empty = dlg::PlanSave(0, "", "");
    EXPECT_EQ("0", empty.writes[1].value);
    EXPECT_EQ("", empty.writes[2].value);
}

TEST(DialogFile, ChosenPathsTheSettingsFileCanCarry) {
    using V = dlg::FileVerdict;
    EXPECT_EQ(V::Ignore, dlg::JudgeChosenFile(false, "/a.mp3"));
    EXPECT_EQ(V::Ignore, dlg::JudgeChosenFile(true, ""));
    EXPECT_EQ(V::Take, dlg::JudgeChosenFile(true, "/home/u/音楽/ﾃｽﾄ.MP3"));
    EXPECT_EQ(V::NotShiftJis, dlg::JudgeChosenFile(true, "/home/u/café.mp3"));
    EXPECT_EQ(V::NotShiftJis, dlg::JudgeChosenFile(true, "/home/u/\xF0\x9F\x98\x80.wav"));
    EXPECT_EQ(V::NotShiftJis, dlg::JudgeChosenFile(true, "/bad/\xFF.mp3"));
    EXPECT_EQ(V::ControlChar, dlg::JudgeChosenFile(true, "/a\nBGM区分=9.mp3"));
    // 255 bytes in CP932 still read back whole; 256 would come back cut.
    const std::string kana(250, 'a');
    EXPECT_EQ(V::Take, dlg::JudgeChosenFile(true, "/" + kana + ".mp3"));
    EXPECT_EQ(V::TooLong, dlg::JudgeChosenFile(true, "/" + kana + "a.mp3"));
    // Width counts in CP932 bytes: 127 two-byte characters plus "/" fit, one more does not.
    std::string wide = "/";
    for (int i = 0; i < 127; ++i) wide += "曲";
    EXPECT_EQ(V::Take, dlg::JudgeChosenFile(true, wide));
    EXPECT_EQ(V::TooLong, dlg::JudgeChosenFile(true, wide + "曲"));
    for (V v : {V::NotShiftJis, V::ControlChar, V::TooLong}) {
        EXPECT_FALSE(dlg::RefusalMessage(v).empty());
    }
}

TEST(DialogPlace, CentredAndOneThirdDown) {
    // 1280 x 1024 at 15 twips per pixel, the 479 x 252 client with no frame.
    EXPECT_EQ((dlg::Placement{6007, 3860}), dlg::PlaceDialog(19200, 15360, 7185, 3780));
    // Fractional twips round halves to even before the division.
    EXPECT_EQ((dlg::Placement{2, 0}), dlg::PlaceDialog(104.5, 10, 100, 10));
    EXPECT_EQ((dlg::Placement{3, 0}), dlg::PlaceDialog(105.5, 10, 100, 10));
    // A dialog larger than the screen: the division truncates toward zero.
    EXPECT_EQ((dlg::Placement{-1, -1}), dlg::PlaceDialog(100, 100, 103, 105));
    EXPECT_EQ(479, dlg::TwipsToPixels(7185, 15));
    EXPECT_EQ(252, dlg::TwipsToPixels(3780, 15));
}

TEST(DialogShading, DarkAtTheEdgesPaleInTheMiddle) {
    const int h = 252;
    EXPECT_EQ(0, dlg::GradientLevel(0, h));
    EXPECT_EQ(0, dlg::GradientLevel(h, h));  // sin(3.142) < 0: the absolute value keeps 0
    EXPECT_EQ(220, dlg::GradientLevel(h / 2, h));
    for (int y = 0; y < h / 2; ++y) {
        EXPECT_LE(dlg::GradientLevel(y, h), dlg::GradientLevel(y + 1, h)) << y;
    }
    EXPECT_EQ(0, dlg::GradientLevel(0, 0));
    EXPECT_EQ(0, dlg::GradientLevel(5, -3));
}

TEST(Zoom, AnchorKeepsCoordinatesThatDoNotFit) {
    EXPECT_EQ(640, zoom::AnchorCoordinate(640, 5));
    EXPECT_EQ(-32768, zoom::AnchorCoordinate(-32768, 5));
    EXPECT_EQ(5, zoom::AnchorCoordinate(32768, 5));
    EXPECT_EQ(5, zoom::AnchorCoordinate(-40000, 5));
}

TEST(Zoom, FramesRunFromEndToEnd) {
    const zoom::Rect point{100, 50, 100, 50};
    const zoom::Rect window{400, 257, 879, 509};
    const std::vector<zoom::Rect> open = zoom::Frames(point, window, 12);
    ASSERT_EQ(12u, open.size());
    EXPECT_EQ(point, open.front());
    EXPECT_EQ(window, open.back());
    for (size_t i = 1; i < open.size(); ++i) {
        EXPECT_GE(open[i].right - open[i].left, open[i - 1].right - open[i - 1].left);
    }
    const std::vector<zoom::Rect> close = zoom::Frames(window, zoom::Rect{}, 1);
    ASSERT_EQ(2u, close.size());
    EXPECT_EQ(zoom::Rect{}, close.back());
}

}  // namespace

namespace {

// Records the load's calls in order; the pointer and the screen are what a test sets.
struct FakeLoad : dlg::LoadSteps {
    std::optional<Geometry> geometry;
    std::optional<std::pair<long, long>> cursor;
    std::vector<std::string> calls;
    std::optional<Geometry> Measure() override { return geometry; }
    void MoveTo(int x, int y) override {
        calls.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    }
    void ArmButtons() override { calls.push_back("arm"); }
    void ShowSource(int16_t kind) override { calls.push_back("source " + std::to_string(kind)); }
    void FillTrackBox(const std::vector<std::string>& items) override {
        calls.push_back("items " + std::to_string(items.size()));
    }
    void SetTrackText(const std::string& text) override { calls.push_back("track '" + text + "'"); }
    void ShowFile(const std::string& path) override { calls.push_back("file " + path); }
    std::optional<std::pair<long, long>> CursorPos() override { return cursor; }
    void ZoomOpen() override {
        calls.push_back("zoom " + std::to_string(AnchorX) + "," + std::to_string(AnchorY));
    }
    void DefaultPointer() override { calls.push_back("pointer"); }
};

TEST(DialogLoad, StepsInOrderWithTheZoomFromThePointer) {
    FakeLoad load;
    // 1920 x 1080 screen, a 487 x 286 outer window at 96 DPI.
    load.geometry = FakeLoad::Geometry{1920, 1080, 487, 286, 15.0, 15.0};
    load.cursor = std::pair<long, long>(700, 40000);  // y beyond 16 bits keeps the old anchor
    AnchorX = 1;
    AnchorY = 2;
    dlg::LoadForm(load, 2, 0, "/music/a.mp3");
    EXPECT_EQ((std::vector<std::string>{"move 716,265", "arm", "source 2", "items 31", "track ''",
                                        "file /music/a.mp3", "zoom 700,2", "pointer"}),
              load.calls);
    EXPECT_EQ(1, LastApiResult);

    // No screen to measure: the window stays; no pointer: the zoom grows from 0, 0.
    FakeLoad blind;
    dlg::LoadForm(blind, 1, 12, "");
    EXPECT_EQ((std::vector<std::string>{"arm", "source 1", "items 31", "track '12'", "file ",
                                        "zoom 0,0", "pointer"}),
              blind.calls);
    EXPECT_EQ(0, LastApiResult);
}

}  // namespace
