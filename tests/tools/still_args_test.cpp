#include "still_args.h"

#include <gtest/gtest.h>

#include <vector>

namespace orbilon {
namespace {

std::optional<StillArgs> Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "orbilon-still");
    return ParseStillArgs(static_cast<int>(args.size()), args.data());
}

TEST(StillArgs, ReadsSeedFramesSizeAndPath) {
    const auto a = Parse({"4294967295", "0", "1", "8192", "out.png"});
    ASSERT_TRUE(a);
    EXPECT_EQ(4294967295u, a->seed);
    EXPECT_EQ(0u, a->frames);
    EXPECT_EQ(1, a->width);
    EXPECT_EQ(8192, a->height);
    EXPECT_EQ("out.png", a->out);
}

TEST(StillArgs, RefusesWrongCountsSizesAndNumbers) {
    EXPECT_FALSE(Parse({"1", "2", "3", "4"}));
    EXPECT_FALSE(Parse({"1", "2", "3", "4", "o.png", "extra"}));
    EXPECT_FALSE(Parse({"1", "2", "0", "4", "o.png"}));
    EXPECT_FALSE(Parse({"1", "2", "3", "8193", "o.png"}));
    EXPECT_FALSE(Parse({"1", "2", "4294967296", "4", "o.png"}));
    EXPECT_FALSE(Parse({"-1", "2", "3", "4", "o.png"}));
    EXPECT_FALSE(Parse({"1", "2x", "3", "4", "o.png"}));
    EXPECT_FALSE(Parse({"1", "2", "3", "4", ""}));
}

}  // namespace
}  // namespace orbilon
