#include "model/colour.h"

namespace orbilon {

Rgb HsvToRgb(float h, float s, float v) {
    // Breakpoints compared in double, offsets subtracted as floats: both as six-digit decimals.
    const double hd = h;
    Rgb c;
    if (hd < 0.166667) {
        c = {1, 6 * h, 0};
    } else if (hd < 0.333333) {
        c = {1 - 6 * (h - 0.166667f), 1, 0};
    } else if (hd < 0.5) {
        c = {0, 1, 6 * (h - 0.333333f)};
    } else if (hd < 0.666667) {
        c = {0, 1 - 6 * (h - 0.5f), 1};
    } else if (hd < 0.833333) {
        c = {6 * (h - 0.666667f), 0, 1};
    } else {
        c = {1, 0, 1 - 6 * (h - 0.833333f)};
    }
    auto shade = [s, v](float channel) { return v * (1 - s * (1 - channel)); };
    return {shade(c.r), shade(c.g), shade(c.b)};
}

Hsv BlendHsv(const Hsv& start, const Hsv& target, float t, bool downward) {
    const double s = start.h, e = target.h, w = t;
    double hue;
    if (!downward) {
        if (e >= s) {
            hue = s + w * (e - s);
        } else {
            hue = s + w * (1 - (s - e));
            if (hue > 1) hue -= 1;
        }
    } else {
        if (s >= e) {
            hue = s - w * (s - e);
        } else {
            hue = s - w * (1 - (e - s));
            if (hue < 0) hue += 1;
        }
    }
    auto linear = [w](float a, float b) {
        return static_cast<float>(a + w * (static_cast<double>(b) - a));
    };
    return {static_cast<float>(hue), linear(start.s, target.s), linear(start.v, target.v)};
}

bool HueDownward(float startHue, float targetHue) {
    const float d = targetHue - startHue;
    if (targetHue > startHue) return d > 0.5f;
    if (targetHue == startHue) return false;
    return d >= -0.5f;
}

}  // namespace orbilon
