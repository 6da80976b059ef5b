// Sizes for the preview placement: the pane's size in twips as 16-bit values, and the
// picture's size in pixels derived back from them.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace orbilon {

// Pixels times the twips-per-pixel factor, rounded halves to even; 0 when it does not fit.
inline int16_t PixelsToTwips(int pixels, double twipsPerPixel) {
    const double r = std::nearbyint(static_cast<double>(pixels) * twipsPerPixel);
    if (!(r >= std::numeric_limits<int16_t>::min() && r <= std::numeric_limits<int16_t>::max()))
        return 0;
    return static_cast<int16_t>(r);
}

inline int TwipsToPixels(int16_t twips, double twipsPerPixel) {
    if (!(twipsPerPixel > 0)) return 0;
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

}  // namespace orbilon
