// Choice of the window's pixel format: double-buffered RGBA window formats with OpenGL support,
// hardware first, then by colour and depth bits. The window system adapter describes the
// formats it enumerates; the choice itself needs no display.
#pragma once

#include <optional>
#include <span>

namespace orbilon {

struct PixelFormatDesc {
    bool supportOpenGL = false;
    bool drawToWindow = false;
    bool doubleBuffer = false;
    bool rgba = false;
    int colorBits = 0;
    int depthBits = 0;
    bool generic = false;             // a software format, not the hardware driver's
    bool genericAccelerated = false;  // a generic format with some acceleration
};

// The score of a format, or nothing when it does not qualify.
std::optional<int> ScorePixelFormat(const PixelFormatDesc& format);

// The 1-based number of the best format (highest score, the lowest number among equals), or
// nothing when no format qualifies with a positive score.
std::optional<int> PickPixelFormat(std::span<const PixelFormatDesc> formats);

// What to ask the window system for when nothing qualifies.
PixelFormatDesc FallbackPixelFormatRequest();

}  // namespace orbilon
