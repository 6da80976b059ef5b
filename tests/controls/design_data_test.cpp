#include "design_data.h"

#include <gtest/gtest.h>

namespace orbilon::controls {
namespace {

const FontSpec kAmbient{"IPAPGothic", 9.0, 400, 128, false, false, false};

TEST(DesignData, ParsesSectionsAndKeepsUnknownKeys) {
    const DesignData d = DesignData::Parse(
        "# dialog\n"
        "_extentx=3096\n"
        "[Cmd_OK]\r\n"
        "  Caption = OK\n"
        "garbage line\n"
        "=no key\n"
        "[Cmd_Cancel]\n"
        "caption=キャンセル\n"
        "Caption=取消\n"
        "[Cmd_Help]\n"
        "CAPTION=Again\n");
    ASSERT_EQ(d.Sections().size(), 4u);
    EXPECT_EQ(d.Find("")->Get("_ExtentX"), "3096");
    EXPECT_EQ(d.Find("Cmd_OK")->Get("caption"), " OK");  // values are not trimmed on the left
    ASSERT_NE(d.Find("Cmd_Cancel"), nullptr);
    EXPECT_EQ(d.Find("Cmd_Cancel")->Get("Caption"), "取消");  // the later one wins
    EXPECT_EQ(d.Find("Cmd_OK")->Entries().size(), 1u);
    EXPECT_EQ(d.Find("Cmd_Help")->Get("Caption"), "Again");
    EXPECT_EQ(d.Find("missing"), nullptr);
}

TEST(DesignData, FormatRoundTripsAwkwardValues) {
    DesignData d;
    d.For("Cmd_1").Set("Caption", "two\nlines\\ and = sign\t[x]\r");
    d.For("Cmd_1").Set("Font", "A;B;9.75;400;128;0;0;0");
    d.For("Cmd_2").Set("caption", "  padded  ");
    const std::string text = d.Format();
    EXPECT_NE(text.find("caption=two\\nlines"), std::string::npos);  // keys in lower case
    const DesignData back = DesignData::Parse(text);
    EXPECT_EQ(back.Sections(), d.Sections());
}

TEST(DesignData, FontNamesMayHoldSeparators) {
    const FontSpec f{"Odd;Name", 12.5, 700, 0, true, false, true};
    EXPECT_EQ(ParseFont(FormatFont(f)), f);
    EXPECT_FALSE(ParseFont("Name;9;400;128;0;0"));      // a field short
    EXPECT_FALSE(ParseFont("Name;nan;400;128;0;0;0"));  // no usable size
    EXPECT_FALSE(ParseFont("Name;9;99999;128;0;0;0"));  // weight beyond 16 bits
    EXPECT_FALSE(ParseFont("Name;-3;400;128;0;0;0"));
}

ButtonProperties Fresh() {
    ButtonProperties p;
    p.font = {"Designed", 9.75, 400, 128, false, false, false};
    return p;
}

TEST(ButtonProperties, EmptyStoreGivesTheReadDefaults) {
    ButtonProperties p = Fresh();
    ReadButtonProperties({}, kAmbient, p);
    EXPECT_EQ(p.IsEnabled, -1);
    EXPECT_EQ(p.caption, "Command1");
    EXPECT_EQ(p.font.name, "IPAPGothic");
    EXPECT_EQ(p.font.size, 9.75);  // only the name of the ambient font is taken
    EXPECT_EQ(p.FirstRun, 1);
    EXPECT_EQ(p.FontColour, 0);
    EXPECT_TRUE(p.opaque);
}

TEST(ButtonProperties, DefaultsAreNotStoredAndCommandReadsBackAsCommand1) {
    ButtonProperties p = Fresh();
    p.IsEnabled = -1;
    p.FirstRun = 1;
    p.font = kAmbient;
    PropertyBag bag;
    bag.Set("caption", "stale");
    bag.Set("_extentx", "3096");
    WriteButtonProperties(p, kAmbient, bag);
    ASSERT_EQ(bag.Entries().size(), 1u);  // only the host's own key remains
    EXPECT_EQ(bag.Entries()[0].first, "_extentx");

    ButtonProperties back = Fresh();
    ReadButtonProperties(bag, kAmbient, back);
    EXPECT_EQ(back.caption, "Command1");
}

TEST(ButtonProperties, WritesInOrderAndReadsBack) {
    ButtonProperties p = Fresh();
    p.IsEnabled = 0;
    p.caption = "参照...";
    p.FirstRun = 0;
    p.font = {"DejaVu Serif", 14, 700, 0, true, false, false};
    p.FontColour = 0x00FF0000;
    p.opaque = false;
    PropertyBag bag;
    WriteButtonProperties(p, kAmbient, bag);
    std::vector<std::string> keys;
    for (const auto& e : bag.Entries()) keys.push_back(e.first);
    EXPECT_EQ(keys, (std::vector<std::string>{"enabled", "caption", "firstrun", "font",
                                              "fontcolour", "visible"}));

    ButtonProperties back = Fresh();
    ReadButtonProperties(bag, kAmbient, back);
    EXPECT_EQ(back.IsEnabled, 0);
    EXPECT_EQ(back.caption, "参照...");
    EXPECT_EQ(back.FirstRun, 0);
    EXPECT_EQ(back.font, (FontSpec{"DejaVu Serif", 9.75, 400, 128, false, false, false}));
    EXPECT_EQ(back.FontColour, 0x00FF0000);
    EXPECT_FALSE(back.opaque);
}

TEST(ButtonProperties, UnreadableValuesLeaveTheFieldAlone) {
    PropertyBag bag;
    bag.Set("Enabled", "maybe");
    bag.Set("Font", "broken");
    bag.Set("FirstRun", "256");
    bag.Set("FontColour", "&HZZ");
    bag.Set("Visible", "99999");
    ButtonProperties p = Fresh();
    p.FontColour = 123;
    ReadButtonProperties(bag, kAmbient, p);
    EXPECT_EQ(p.IsEnabled, 0);
    EXPECT_EQ(p.font.name, "Designed");
    EXPECT_EQ(p.FirstRun, 0);
    EXPECT_EQ(p.FontColour, 123);
    EXPECT_TRUE(p.opaque);

    bag.Set("enabled", "-1");
    bag.Set("fontcolour", "&H80000012&");  // hexadecimal, as colours are usually written
    ReadButtonProperties(bag, kAmbient, p);
    EXPECT_EQ(p.IsEnabled, -1);
    EXPECT_EQ(p.FontColour, static_cast<int32_t>(0x80000012u));
}

}  // namespace
}  // namespace orbilon::controls
