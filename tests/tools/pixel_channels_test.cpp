#include "pixel_channels.h"

#include <gtest/gtest.h>

namespace {

using orbilon::ChannelTo8;

TEST(PixelChannels, SixteenBitChannelsSpanTheFullRange) {
    // 5-6-5: full channels are white, not the (31, 63, 31) a plain shift would give.
    EXPECT_EQ(255, ChannelTo8(0xFFFF, 0xF800));
    EXPECT_EQ(255, ChannelTo8(0xFFFF, 0x07E0));
    EXPECT_EQ(255, ChannelTo8(0xFFFF, 0x001F));
    EXPECT_EQ(0, ChannelTo8(0x0000, 0xF800));
    // Mid values round to nearest: 16/31 and 32/63 of 255.
    EXPECT_EQ(132, ChannelTo8(16u << 11, 0xF800));
    EXPECT_EQ(130, ChannelTo8(32u << 5, 0x07E0));
    EXPECT_EQ(66, ChannelTo8(8, 0x001F));
    // Neighbouring channels do not leak in.
    EXPECT_EQ(0, ChannelTo8(0x07FF, 0xF800));
}

TEST(PixelChannels, EightBitAndDeeperChannels) {
    EXPECT_EQ(0x12, ChannelTo8(0x123456, 0xFF0000));
    EXPECT_EQ(0x34, ChannelTo8(0x123456, 0x00FF00));
    EXPECT_EQ(0x56, ChannelTo8(0x123456, 0x0000FF));
    // 10-bit channels keep their top 8 bits.
    EXPECT_EQ(255, ChannelTo8(0x3FFu << 20, 0x3FF00000));
    EXPECT_EQ(0x80, ChannelTo8(0x200u << 10, 0x000FFC00));
    // 1-bit and missing channels.
    EXPECT_EQ(255, ChannelTo8(1, 1));
    EXPECT_EQ(0, ChannelTo8(0xFFFFFF, 0));
}

}  // namespace
