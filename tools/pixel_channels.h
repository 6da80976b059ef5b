// Colour channels of an X pixel as 8-bit values, whatever the width of the visual's masks
// (5-6-5 on 16-bit screens, 8-8-8 on 24-bit ones, 10-10-10 on deep ones).
#pragma once

#include <cstdint>

namespace orbilon {

// The channel that `mask` selects from `pixel`, scaled to 0..255 so that the channel's
// largest value is 255 (rounded to nearest for channels narrower than 8 bits).
inline uint8_t ChannelTo8(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    const unsigned long value = (pixel & mask) >> __builtin_ctzl(mask);
    const int bits = __builtin_popcountl(mask);
    if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
    const unsigned long max = (1UL << bits) - 1;
    return static_cast<uint8_t>((value * 255 + max / 2) / max);
}

}  // namespace orbilon
