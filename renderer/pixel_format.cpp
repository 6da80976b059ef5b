#include "pixel_format.h"

namespace orbilon {

bool ShowsAsDrawn(const PixelFormatDesc& f) {
    return f.visualClass == VisualClass::kTrueColor && f.visualAlphaBits <= f.screenAlphaBits;
}

std::optional<int> ScorePixelFormat(const PixelFormatDesc& f) {
    if (!f.supportOpenGL || !f.drawToWindow || !f.doubleBuffer || !f.rgba) return std::nullopt;
    if (!ShowsAsDrawn(f)) return std::nullopt;
    int score = f.colorBits + 2 * f.depthBits;
    // Deep colour costs a little: it buys nothing for flat-shaded small shapes. Truncated
    // toward zero, so 24 bits cost 4 and 32 bits cost 8.
    if (f.colorBits > 16) score += (16 - f.colorBits) / 2;
    if (!f.generic) {
        score += 2000;
    } else if (f.genericAccelerated) {
        score += 1000;
    }
    return score;
}

std::optional<int> PickPixelFormat(std::span<const PixelFormatDesc> formats) {
    std::optional<int> best;
    int bestScore = 0;
    for (size_t i = 0; i < formats.size(); ++i) {
        const auto score = ScorePixelFormat(formats[i]);
        if (score && *score > bestScore) {
            bestScore = *score;
            best = static_cast<int>(i) + 1;
        }
    }
    return best;
}

PixelFormatDesc FallbackPixelFormatRequest() {
    PixelFormatDesc d;
    d.supportOpenGL = true;
    d.drawToWindow = true;
    d.doubleBuffer = true;
    d.rgba = true;
    d.colorBits = 24;
    d.depthBits = 24;
    return d;
}

}  // namespace orbilon
