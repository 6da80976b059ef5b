#include "profile.h"

#include <gtest/gtest.h>

namespace {

using orbilon::profile::GetValue;
using orbilon::profile::SetValue;

std::string Get(std::string_view text, std::string_view key, std::string_view section = "S") {
    return GetValue(text, section, key).value_or("<missing>");
}

TEST(ProfileRead, NamesAndValues) {
    const std::string text =
        "; comment=1\r\n"
        "top=before any section\r\n"
        "  [ s ]  \r\n"
        "  Key  =  value with blanks  \r\n"
        "quoted=\"  kept  \"\r\n"
        "half=\"open\r\n"
        "empty=\r\n"
        "noequals\r\n"
        "[other]\r\n"
        "key=wrong section\r\n";
    EXPECT_EQ(Get(text, "KEY"), "value with blanks");
    EXPECT_EQ(Get(text, "key", "  S "), "value with blanks");
    EXPECT_EQ(Get(text, "quoted"), "  kept  ");
    EXPECT_EQ(Get(text, "half"), "\"open");
    EXPECT_EQ(Get(text, "empty"), "");
    EXPECT_EQ(Get(text, "noequals"), "<missing>");
    EXPECT_EQ(Get(text, "top"), "<missing>");
    EXPECT_EQ(Get(text, "; comment"), "<missing>");
    EXPECT_EQ(Get(text, "key", "missing"), "<missing>");
    EXPECT_EQ(Get(text, "key", "Other"), "wrong section");
}

TEST(ProfileRead, LineEndingsAndFirstMatch) {
    EXPECT_EQ(Get("[S]\nk=lf\n", "k"), "lf");
    EXPECT_EQ(Get("[S]\r\nk=crlf\r\n", "k"), "crlf");
    EXPECT_EQ(Get("[S]\r\nk=no final newline", "k"), "no final newline");
    // The first line wins; a key only in a repeated section is still found.
    const std::string text = "[S]\nk=1\nk=2\n[S]\nk=3\nj=4\n";
    EXPECT_EQ(Get(text, "k"), "1");
    EXPECT_EQ(Get(text, "j"), "4");
}

TEST(ProfileRead, CutTo255BytesOnCharacterBoundary) {
    const std::string long_ascii(300, 'x');
    EXPECT_EQ(Get("[S]\nk=" + long_ascii + "\n", "k"), std::string(255, 'x'));
    // 254 ASCII bytes then a two-byte character: cutting at 255 would split it.
    const std::string split = std::string(254, 'x') + "\x82\xa0" + "tail";
    EXPECT_EQ(Get("[S]\nk=" + split + "\n", "k"), std::string(254, 'x'));
    const std::string exact = std::string(253, 'x') + "\x82\xa0";
    EXPECT_EQ(Get("[S]\nk=" + exact + "tail\n", "k"), exact);
}

TEST(ProfileRead, TwoByteCharactersAreWholeCharacters) {
    // "ア" is 83 41 and "ヂ" 83 61: folding the second byte's case would make them one key.
    const std::string text = "[S]\n\x83\x61=vowel-ji\n";
    EXPECT_EQ(Get(text, "\x83\x61"), "vowel-ji");
    EXPECT_EQ(Get(text, "\x83\x41"), "<missing>");
    // "ゾ" is 83 5D: its second byte is ']' and must not close the section name.
    const std::string section = "[\x83\x5d]\nk=zo\n";
    EXPECT_EQ(Get(section, "k", "\x83\x5d"), "zo");
    // Half-width katakana are single bytes and match exactly.
    EXPECT_EQ(Get("[S]\nBGM\xd8\xcb\xdf\xb0\xc4=1\n", "bgm\xd8\xcb\xdf\xb0\xc4"), "1");
}

TEST(ProfileRead, BadBytesNeverBreakParsing) {
    std::string text = "[S]\nk";
    text += '\0';
    text += "=nul\n\x81\n[S\n";
    text += '\0';
    text += "]\nj=\x81";
    EXPECT_EQ(Get(text, std::string_view("k\0", 2)), "nul");
    EXPECT_EQ(Get(text, "j"), "\x81");  // a lone lead byte at the end stays a byte
    // A lead byte before '=' or ']' is not a pair: those are no trail bytes.
    EXPECT_EQ(Get("[S]\n\xfa=lone\n", "\xfa"), "lone");
    EXPECT_EQ(Get("", "k"), "<missing>");
    EXPECT_EQ(Get("\n\n\r\r\n[", "k"), "<missing>");
    EXPECT_EQ(Get("[S]\n" + std::string(1 << 20, '=') + "\nk=after a long line", "k"),
              "after a long line");
}

TEST(ProfileWrite, ReplacesInPlaceAndKeepsEverythingElse) {
    const std::string text = "; mine\r\n[S]\r\n  K = old  \r\nother=x\r\n\r\n[T]\r\nk=t\r\n";
    EXPECT_EQ(*SetValue(text, "s", "k", "new"),
              "; mine\r\n[S]\r\nk=new\r\nother=x\r\n\r\n[T]\r\nk=t\r\n");
    // The last line keeps having no newline.
    EXPECT_EQ(*SetValue("[S]\nk=1", "S", "k", "2"), "[S]\nk=2");
}

TEST(ProfileWrite, AddsKeyAtEndOfSectionBeforeBlankLines) {
    const std::string text = "[S]\na=1\n\n[T]\nb=2\n";
    EXPECT_EQ(*SetValue(text, "S", "k", "v"), "[S]\na=1\nk=v\n\n[T]\nb=2\n");
    EXPECT_EQ(*SetValue(text, "T", "k", "v"), "[S]\na=1\n\n[T]\nb=2\nk=v\n");
    EXPECT_EQ(*SetValue("[S]", "S", "k", "v"), "[S]\r\nk=v\r\n");
    EXPECT_EQ(*SetValue("[S]\r\nk0=0", "S", "k", "v"), "[S]\r\nk0=0\r\nk=v\r\n");
    // Into the first of two sections of the same name.
    EXPECT_EQ(*SetValue("[S]\na=1\n[S]\nb=2\n", "S", "k", "v"), "[S]\na=1\nk=v\n[S]\nb=2\n");
}

TEST(ProfileWrite, AddsSectionAtEndInTheFilesStyle) {
    EXPECT_EQ(*SetValue("", "Section", "k", "v"), "[Section]\r\nk=v\r\n");
    EXPECT_EQ(*SetValue("[A]\nx=1\n", "B", "k", "v"), "[A]\nx=1\n[B]\nk=v\n");
    EXPECT_EQ(*SetValue("[A]\r\nx=1", "B", "k", "v"), "[A]\r\nx=1\r\n[B]\r\nk=v\r\n");
    EXPECT_EQ(*SetValue("[A]\nx=1\r", "B", "k", "v"), "[A]\nx=1\r\n[B]\nk=v\n");
}

TEST(ProfileWrite, ValuesReadBackExactly) {
    for (const std::string value :
         {"", " lead", "trail ", "\"quoted\"", "\"", "a=b", "[x]", ";x", "\x83\x5d\\"}) {
        const auto text = SetValue("[S]\nk=old\n", "S", "k", value);
        ASSERT_TRUE(text) << value;
        EXPECT_EQ(GetValue(*text, "S", "k"), value) << *text;
    }
}

TEST(ProfileWrite, RefusesWhatCannotBeOneLine) {
    const struct {
        const char *section, *key, *value;
    } refused[] = {{"S", "k", "a\nb"},
                   {"S", "k", "a\rb"},
                   {"S", "a=b", "v"},
                   {"S", "[k", "v"},
                   {"S", ";k", "v"},
                   {"S", " ", "v"},
                   {"", "k", "v"},
                   {"a]b", "k", "v"},
                   // A trailing lone lead byte would pair with the ']' or '=' written after it.
                   {"S\x81", "k", "v"},
                   {"S", "k\x81", "v"}};
    for (const auto& r : refused) EXPECT_FALSE(SetValue("", r.section, r.key, r.value)) << r.key;
    EXPECT_FALSE(SetValue("", "S", "k", std::string_view("a\0b", 3)));
    // "ゾ" ends in a ']' byte but is a valid section name.
    EXPECT_TRUE(SetValue("", "\x83\x5d", "k", "v"));
}

}  // namespace

TEST(ProfileWrite, SeveralWritesAllOrNothing) {
    using orbilon::profile::KeyValue;
    using orbilon::profile::SetValues;
    const std::string text = "[S]\r\nb=old\r\n";
    const KeyValue writes[] = {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"a", "4"}};
    // Each write sees the ones before it: "a" is added, then replaced where it now stands.
    EXPECT_EQ(*SetValues(text, "S", writes), "[S]\r\nb=2\r\na=4\r\nc=3\r\n");
    EXPECT_EQ(*SetValues(text, "S", {}), text);
    // A refused last write takes the earlier ones with it.
    const KeyValue bad[] = {{"a", "1"}, {"b", "x\ny"}};
    EXPECT_FALSE(SetValues(text, "S", bad));
    EXPECT_FALSE(SetValues(text, "a]b", writes));
}
