// What the Command button's face consists of, computed without a toolkit: the two gradient
// tones, the eight frame pieces cut from a state picture, and the caption's place.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace orbilon::controls {

// A gradient vertex colour: 16 bits a channel, the 8-bit value in the high byte.
struct Tone {
    uint16_t red = 0, green = 0, blue = 0, alpha = 0;
    bool operator==(const Tone&) const = default;
};

// Reads "&HRRGGBB": the six digits in pairs from the left as red, green and blue.
std::optional<Tone> ParseTone(std::string_view text);

inline constexpr std::string_view kShadeText = "&HC6C5D7";
inline constexpr std::string_view kWhiteText = "&HFFFFFF";

struct GradientTones {
    Tone top, bottom;
};

// Hovered faces carry the tone at the top, all others white at the top.
GradientTones TonesFor(bool hoverShade);

struct Rect {
    int32_t x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Rect&) const = default;
};

// One piece of the frame: where it goes on the control and where it comes from in the
// picture, both in twips.
struct FramePiece {
    Rect dest;
    Rect src;
};

inline constexpr int32_t kCorner = 60;          // 4 pixels
inline constexpr int32_t kPictureWidth = 960;   // 64 pixels
inline constexpr int32_t kPictureHeight = 375;  // 25 pixels
inline constexpr double kPictureTwipsPerPixel = 15.0;

// The frame pieces of a W x H twips control. The geometry is held in signed 16-bit values:
// a piece whose values do not fit, or whose size comes out empty, is left out.
std::vector<FramePiece> FramePieces(int32_t width, int32_t height);

// Converts a twips rectangle to pixels by rounding its edges, so neighbouring pieces meet
// without gaps at any scale.
Rect ToPixels(const Rect& twips, double twipsPerPixelX, double twipsPerPixelY);

inline constexpr int32_t kCaptionHeight = 195;

// The caption label's rectangle in twips: full width, centred a little above the middle.
Rect CaptionRect(int32_t width, int32_t height);

}  // namespace orbilon::controls
