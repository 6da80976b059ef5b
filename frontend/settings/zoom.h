// Zoom animation of Orbilon_B: a rectangle growing from the anchor point to a window's frame
// when the settings dialog opens, and shrinking back to it when the dialog closes. The
// frames and the anchor are shared; each platform draws them (window_zoom.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The screen point the animations grow from and shrink to, in pixels; 0, 0 until the
// settings dialog sets it.
extern int16_t AnchorX;
extern int16_t AnchorY;

namespace zoom {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};

// A screen coordinate as an anchor coordinate: one that does not fit signed 16 bits leaves
// the previous value.
inline int16_t AnchorCoordinate(long value, int16_t previous) {
    return value >= INT16_MIN && value <= INT16_MAX ? static_cast<int16_t>(value) : previous;
}

// The outlines of an animation of `count` frames from `from` to `to`, both ends included.
inline std::vector<Rect> Frames(const Rect& from, const Rect& to, int count) {
    std::vector<Rect> out;
    if (count < 2) count = 2;
    out.reserve(static_cast<std::size_t>(count));
    const auto lerp = [](int a, int b, int i, int n) {
        return a + static_cast<int>((static_cast<long long>(b - a) * i) / n);
    };
    for (int i = 0; i < count; ++i) {
        out.push_back({lerp(from.left, to.left, i, count - 1), lerp(from.top, to.top, i, count - 1),
                       lerp(from.right, to.right, i, count - 1),
                       lerp(from.bottom, to.bottom, i, count - 1)});
    }
    return out;
}

}  // namespace zoom
