// Strand colours: hue, saturation and value blending, and the conversion beads use.
#pragma once

namespace orbilon {

// Hue, saturation, value, each 0 ... 1 (hue wraps: 0 and 1 are the same red).
struct Hsv {
    float h = 0, s = 0, v = 0;
    friend bool operator==(const Hsv&, const Hsv&) = default;
};

struct Rgb {
    float r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

Rgb HsvToRgb(float h, float s, float v);

// Moves from start toward target by weight t (0 ... 1). Saturation and value go straight; the
// hue climbs (downward false) or descends (downward true), wrapping through 1/0 when the target
// lies on the other side of the start.
Hsv BlendHsv(const Hsv& start, const Hsv& target, float t, bool downward);

// The hue direction a colour transition uses: the shorter way round the circle (a gap of
// exactly half a circle climbs when the target is above, descends when it is below).
bool HueDownward(float startHue, float targetHue);

}  // namespace orbilon
