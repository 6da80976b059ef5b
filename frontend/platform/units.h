// Units the front end's forms are written in: twips (1440 per inch) and OLE colours.
#pragma once

#include <cstdint>

namespace orbilon::units {

// Twips per pixel at a logical DPI: 15 at 96 DPI, and 15 where the DPI is unknown.
inline double TwipsPerPixel(double dpi) {
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

// An OLE colour: &H00BBGGRR, or &H800000xx for system colour xx.
struct OleColour {
    bool system = false;
    int index = 0;  // the system colour's number
    int r = 0, g = 0, b = 0;
    bool operator==(const OleColour&) const = default;
};
inline OleColour DecodeOleColour(uint32_t colour) {
    if ((colour & 0xFF000000u) == 0x80000000u) return {true, static_cast<int>(colour & 0xFFu)};
    return {false, 0, static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
            static_cast<int>((colour >> 16) & 0xFF)};
}

}  // namespace orbilon::units
