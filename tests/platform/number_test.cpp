#include "number.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ParseNumber, DecimalForms) {
    EXPECT_EQ(ParseNumber("0"), 0.0);
    EXPECT_EQ(ParseNumber("12"), 12.0);
    EXPECT_EQ(ParseNumber("-7"), -7.0);
    EXPECT_EQ(ParseNumber("+3"), 3.0);
    EXPECT_EQ(ParseNumber("1.7"), 1.7);
    EXPECT_EQ(ParseNumber("-0.5"), -0.5);
    EXPECT_EQ(ParseNumber(".5"), 0.5);
    EXPECT_EQ(ParseNumber("5."), 5.0);
    EXPECT_EQ(ParseNumber("1e3"), 1000.0);
    EXPECT_EQ(ParseNumber("2.5E-1"), 0.25);
    EXPECT_EQ(ParseNumber("1e+2"), 100.0);
    EXPECT_EQ(ParseNumber(" \t 42 \t"), 42.0);
}

TEST(ParseNumber, HexAndOctal) {
    EXPECT_EQ(ParseNumber("&H10"), 16.0);
    EXPECT_EQ(ParseNumber("&hff"), 255.0);
    EXPECT_EQ(ParseNumber("&HFFFF"), 65535.0);
    EXPECT_EQ(ParseNumber("&O17"), 15.0);
    EXPECT_EQ(ParseNumber("  &o7 "), 7.0);
    EXPECT_FALSE(ParseNumber("&H"));
    EXPECT_FALSE(ParseNumber("&O8"));
    EXPECT_FALSE(ParseNumber("&HG"));
    EXPECT_FALSE(ParseNumber("&X1"));
    EXPECT_FALSE(ParseNumber("&"));
    EXPECT_FALSE(ParseNumber("-&H1"));
}

TEST(ParseNumber, RejectsEverythingElse) {
    for (const char* text : {"",    "   ",  "abc",   "1a",  "a1",  "1 2", "--1",   "+-1",
                             "+",   "-",    ".",     "1e",  "1e+", "e5",  "1.2.3", "inf",
                             "nan", "0x10", "1,000", "- 1", "１２" /* full-width digits */}) {
        EXPECT_FALSE(ParseNumber(text)) << '"' << text << '"';
    }
    EXPECT_FALSE(ParseNumber(std::string_view("1\0", 2)));
}

TEST(ParseNumber, ExtremesStayFinite) {
    EXPECT_TRUE(std::isinf(*ParseNumber("1e999")));
    EXPECT_EQ(*ParseNumber("1e-999"), 0.0);
    // Beyond the range both ways, wherever the first significant digit stands.
    const struct {
        const char* text;
        double want;
    } beyond[] = {{"-1e999", -HUGE_VAL},    {"1000e306", HUGE_VAL},
                  {"0.0001e309", 1e305},    {"1e99999999999999999999", HUGE_VAL},
                  {"-00.00012e-330", -0.0}, {"123456e-330", 0.0},
                  {"0.00e99999", 0.0},      {"1e-310", 1e-310}};
    for (const auto& c : beyond) {
        const auto value = ParseNumber(c.text);
        ASSERT_TRUE(value) << c.text;
        EXPECT_EQ(*value, c.want) << c.text;
        EXPECT_EQ(std::signbit(*value), std::signbit(c.want)) << c.text;
    }
    EXPECT_TRUE(std::isinf(*ParseNumber("&H" + std::string(400, 'F'))));
}

}  // namespace
