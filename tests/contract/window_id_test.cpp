// Window ids as the screen-saver services and our own command lines write them.
#include "window_id.h"

#include <gtest/gtest.h>

namespace orbilon {
namespace {

TEST(WindowId, HexOrDecimalWholeNumbersThatNameAWindow) {
    EXPECT_EQ(0x2a00007u, ParseWindowId("0x2a00007"));
    EXPECT_EQ(0x2A00007u, ParseWindowId("0X2A00007"));
    EXPECT_EQ(44040199u, ParseWindowId("44040199"));
    EXPECT_EQ(4294967295u, ParseWindowId("0xffffffff"));
    EXPECT_EQ(4294967295u, ParseWindowId("4294967295"));
    EXPECT_EQ(7u, ParseWindowId("007"));
    for (const char* bad : {"",     "0",     "0x",         "0x0",         "x12",
                            "12x",  " 123",  "123 ",       "+5",          "-5",
                            "12a",  "0x1g",  "0x1_0",      "0x-1",        "1e3",
                            "&H10", "0b101", "4294967296", "0x100000000", "99999999999999999999"}) {
        EXPECT_EQ(std::nullopt, ParseWindowId(bad)) << "'" << bad << "'";
    }
}

}  // namespace
}  // namespace orbilon
