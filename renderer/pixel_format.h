// Choice of the window's pixel format: double-buffered RGBA window formats with OpenGL support
// whose window pixels show as they are drawn, hardware first, then by colour and depth bits. The
// window system adapter describes the formats it enumerates; the choice itself needs no display.
#pragma once

#include <optional>
#include <span>

namespace orbilon {

// How a window's pixel values become colours. Only TrueColor maps them fixed; DirectColor
// goes through a colour map the window would have to fill, the others are indexed.
enum class VisualClass { kTrueColor, kDirectColor, kOther, kNone };

struct PixelFormatDesc {
    bool supportOpenGL = false;
    bool drawToWindow = false;
    bool doubleBuffer = false;
    bool rgba = false;
    int colorBits = 0;
    int depthBits = 0;
    bool generic = false;             // a software format, not the hardware driver's
    bool genericAccelerated = false;  // a generic format with some acceleration
    // The window visual that comes with the format (formats without one describe TrueColor).
    VisualClass visualClass = VisualClass::kTrueColor;
    // Bits of a window pixel outside its colour channels (an alpha channel a compositor
    // blends with), for this format's visual and for the screen's default visual.
    int visualAlphaBits = 0;
    int screenAlphaBits = 0;
};

// True when a window of this format shows its colours as drawn: a TrueColor visual with no
// alpha channel beyond the screen's own, so it is neither see-through under a compositor nor
// drawn through an empty colour map.
bool ShowsAsDrawn(const PixelFormatDesc& format);

// The score of a format, or nothing when it does not qualify (or does not show as drawn).
std::optional<int> ScorePixelFormat(const PixelFormatDesc& format);

// The 1-based number of the best format (highest score, the lowest number among equals), or
// nothing when no format qualifies with a positive score.
std::optional<int> PickPixelFormat(std::span<const PixelFormatDesc> formats);

// What to ask the window system for when nothing qualifies.
PixelFormatDesc FallbackPixelFormatRequest();

}  // namespace orbilon
