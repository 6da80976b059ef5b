// The two scaled kinds of random draw.
#pragma once

#include <cstdint>

#include "model/random.h"

namespace orbilon {

// k/32767 as single-precision constants.
inline constexpr float K1 = 3.05185094e-05f;
inline constexpr float K15 = 0.000457777642f;
inline constexpr float K25 = 0.000762962736f;
inline constexpr float K60 = 0.00183111057f;
inline constexpr float K66 = 0.00201422162f;
inline constexpr float K80 = 0.00244148076f;
inline constexpr float K100 = 0.00305185094f;
inline constexpr float K175 = 0.00534073915f;
inline constexpr float K200 = 0.00610370189f;
inline constexpr float K225 = 0.00686666463f;
inline constexpr float K360 = 0.0109866634f;
inline constexpr float K400 = 0.0122074038f;

// r * scale, in double so the caller adds its terms before the one rounding to float.
inline double Draw(float scale) {
    return NextRandom() * static_cast<double>(scale);
}

// base + floor(span * r / 32767) in 32-bit integers (span * r stays below 2^31).
inline int32_t DrawLength(int32_t base, int32_t span) {
    return base + span * static_cast<int32_t>(NextRandom()) / 32767;
}

}  // namespace orbilon
