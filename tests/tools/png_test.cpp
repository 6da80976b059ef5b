#include "png.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
    return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) |
           b[at + 3];
}

TEST(Png, HeaderAndStoredPixelsRoundTrip) {
    // 200 x 120 RGB is over one stored block's 65535 bytes, so the block split is exercised.
    const int w = 200, h = 120;
    std::vector<uint8_t> rgb(w * h * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 7);
    const auto png = orbilon::EncodePng(w, h, rgb);
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(0, std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(0, std::memcmp(png.data() + 12, "IHDR", 4));
    EXPECT_EQ(static_cast<uint32_t>(w), Be32(png, 16));
    EXPECT_EQ(static_cast<uint32_t>(h), Be32(png, 20));

    // Walk the stored blocks of the IDAT chunk and compare the scanlines.
    ASSERT_EQ(0, std::memcmp(png.data() + 37, "IDAT", 4));
    const uint32_t idatLen = Be32(png, 33);
    size_t p = 41 + 2;
    std::vector<uint8_t> raw;
    for (;;) {
        const bool last = png[p] & 1;
        const size_t len = png[p + 1] | (png[p + 2] << 8);
        EXPECT_EQ(static_cast<uint8_t>(~png[p + 1]), png[p + 3]);
        raw.insert(raw.end(), png.begin() + p + 5, png.begin() + p + 5 + len);
        p += 5 + len;
        if (last) break;
    }
    EXPECT_EQ(41 + idatLen - 4, p);
    ASSERT_EQ(static_cast<size_t>((w * 3 + 1) * h), raw.size());
    for (int y = 0; y < h; ++y) {
        EXPECT_EQ(0, raw[y * (w * 3 + 1)]);
        EXPECT_EQ(0, std::memcmp(&raw[y * (w * 3 + 1) + 1], &rgb[y * w * 3], w * 3));
    }
}

TEST(Png, RefusesMismatchedSizes) {
    EXPECT_TRUE(orbilon::EncodePng(2, 2, std::vector<uint8_t>(11)).empty());
    EXPECT_TRUE(orbilon::EncodePng(0, 2, {}).empty());
    EXPECT_FALSE(orbilon::WritePng("/nonexistent-dir/x.png", 1, 1, {1, 2, 3}));
}

}  // namespace
