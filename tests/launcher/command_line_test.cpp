#include "command_line.h"

#include <gtest/gtest.h>

namespace orbilon {
namespace {

TEST(ModeLetter, OnlyTheSecondCharacterCountsAndItsCaseIsIgnored) {
    for (const char* s : {"/s", "-s", "xS", "/S", "/s:123", "/sx"})
        EXPECT_EQ(ModeLetter(s), 'S') << s;
    EXPECT_EQ(ModeLetter("s/"), '/');  // the first character is never the letter
    EXPECT_EQ(ModeLetter("/"), 0);
    EXPECT_EQ(ModeLetter(""), 0);
    EXPECT_EQ(ModeLetter("/p 1"), 'P');
    EXPECT_EQ(ModeLetter("/C:1234"), 'C');
}

TEST(ModeLetter, CountsCharactersNotBytes) {
    EXPECT_EQ(ModeLetter("\xC3\xA9s"), 'S');    // é then s
    EXPECT_EQ(ModeLetter("/\xEF\xBD\x93"), 0);  // full-width s is not S
    EXPECT_EQ(FromFourthCharacter("\xC3\xA9p 42"), "42");
}

TEST(FromFourthCharacter, TakesTheTail) {
    EXPECT_EQ(FromFourthCharacter("/p 1234"), "1234");
    EXPECT_EQ(FromFourthCharacter("/p:1234"), "1234");
    EXPECT_EQ(FromFourthCharacter("/p1234"), "234");
    EXPECT_EQ(FromFourthCharacter("/p"), "");
    EXPECT_EQ(FromFourthCharacter("/p "), "");
}

TEST(ReadHandle, TheThreeFormsOfThePreviewSwitch) {
    EXPECT_EQ(ReadHandle(FromFourthCharacter("/p 1234")), 1234);
    EXPECT_EQ(ReadHandle(FromFourthCharacter("/p:1234")), 1234);
    EXPECT_EQ(ReadHandle(FromFourthCharacter("/p1234")), 234);
}

TEST(ReadHandle, BlanksTabsAndLineFeedsAreIgnoredAnywhere) {
    EXPECT_EQ(ReadHandle("  12 34"), 1234);
    EXPECT_EQ(ReadHandle("1\t2\n3"), 123);
    EXPECT_EQ(ReadHandle("- 5"), -5);
    EXPECT_EQ(ReadHandle("1 . 5 e 1"), 15);
    // A carriage return is not among them and ends the number.
    EXPECT_EQ(ReadHandle("12\r34"), 12);
}

TEST(ReadHandle, StopsAtTheFirstCharacterThatCannotContinue) {
    EXPECT_EQ(ReadHandle("42abc"), 42);
    EXPECT_EQ(ReadHandle("42x7"), 42);
    EXPECT_EQ(ReadHandle("1.2.3"), 1);
    EXPECT_EQ(ReadHandle("2e"), 2);  // an exponent without digits is not read
    EXPECT_EQ(ReadHandle("2e+"), 2);
    EXPECT_EQ(ReadHandle("2E3"), 2000);
    EXPECT_EQ(ReadHandle("2D3"), 2000);
    EXPECT_EQ(ReadHandle("+7"), 7);
    EXPECT_EQ(ReadHandle(".5e1"), 5);
}

TEST(ReadHandle, NoNumberGivesZero) {
    for (const char* s : {"", "   ", "abc", "-", "+", ".", "e5", "--1", "inf", "nan", "0x10"})
        EXPECT_EQ(ReadHandle(s), 0) << s;
}

TEST(ReadHandle, RoundsHalvesToEven) {
    EXPECT_EQ(ReadHandle("2.5"), 2);
    EXPECT_EQ(ReadHandle("3.5"), 4);
    EXPECT_EQ(ReadHandle("-2.5"), -2);
    EXPECT_EQ(ReadHandle("2.51"), 3);
    EXPECT_EQ(ReadHandle("0.4999"), 0);
}

TEST(ReadHandle, ValuesOutsideThirtyTwoBitsLeaveZero) {
    EXPECT_EQ(ReadHandle("2147483647"), 2147483647);
    EXPECT_EQ(ReadHandle("-2147483648"), INT32_MIN);
    EXPECT_EQ(ReadHandle("2147483647.4"), 2147483647);
    EXPECT_EQ(ReadHandle("2147483647.5"), 0);           // rounds to 2^31
    EXPECT_EQ(ReadHandle("-2147483648.5"), INT32_MIN);  // halves to even stays in range
    EXPECT_EQ(ReadHandle("2147483648"), 0);
    EXPECT_EQ(ReadHandle("4294967295"), 0);
    EXPECT_EQ(ReadHandle("1e400"), 0);
    EXPECT_EQ(ReadHandle("99999999999999999999999999"), 0);
}

TEST(ReadHandle, HexadecimalAndOctal) {
    EXPECT_EQ(ReadHandle("&H1F"), 31);
    EXPECT_EQ(ReadHandle("&h 1f"), 31);
    EXPECT_EQ(ReadHandle("&O17"), 15);
    EXPECT_EQ(ReadHandle("&O19"), 1);
    EXPECT_EQ(ReadHandle("&HFFFF"), -1);  // 16-bit reading
    EXPECT_EQ(ReadHandle("&H10000"), 65536);
    EXPECT_EQ(ReadHandle("&HFFFFFFFF"), -1);  // 32-bit reading
    EXPECT_EQ(ReadHandle("&H100000000"), 0);
    EXPECT_EQ(ReadHandle("&Hxyz"), 0);
    EXPECT_EQ(ReadHandle("&X12"), 0);
}

}  // namespace
}  // namespace orbilon
