#include "face_geometry.h"

#include <cmath>
#include <limits>

namespace orbilon::controls {

namespace {

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return std::nullopt;
}

std::optional<uint16_t> Channel(std::string_view pair) {
    const auto hi = HexDigit(pair[0]);
    const auto lo = HexDigit(pair[1]);
    if (!hi || !lo) return std::nullopt;
    return static_cast<uint16_t>((*hi * 16 + *lo) << 8);
}

// A geometry value as the frame code holds it; nothing when it overflows 16 bits.
std::optional<int16_t> Short(int64_t v) {
    if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
        return std::nullopt;
    return static_cast<int16_t>(v);
}

}  // namespace

std::optional<Tone> ParseTone(std::string_view text) {
    if (text.size() != 8 || text[0] != '&' || (text[1] != 'H' && text[1] != 'h'))
        return std::nullopt;
    const auto r = Channel(text.substr(2, 2));
    const auto g = Channel(text.substr(4, 2));
    const auto b = Channel(text.substr(6, 2));
    if (!r || !g || !b) return std::nullopt;
    return Tone{*r, *g, *b, 0};
}

GradientTones TonesFor(bool hoverShade) {
    const Tone shade = ParseTone(kShadeText).value_or(Tone{});
    const Tone white = ParseTone(kWhiteText).value_or(Tone{});
    if (hoverShade) return {shade, white};
    return {white, shade};
}

std::vector<FramePiece> FramePieces(int32_t width, int32_t height) {
    const auto wInner = Short(int64_t{width} - 2 * kCorner);
    const auto wRight = Short(int64_t{width} - kCorner);
    const auto hInner = Short(int64_t{height} - 2 * kCorner);
    const auto hBottom = Short(int64_t{height} - kCorner);
    constexpr int16_t srcEdgeW = kPictureWidth - 2 * kCorner;   // 840
    constexpr int16_t srcEdgeH = kPictureHeight - 2 * kCorner;  // 255
    constexpr int16_t srcRight = kPictureWidth - kCorner;       // 900
    constexpr int16_t srcBottom = kPictureHeight - kCorner;     // 315

    std::vector<FramePiece> pieces;
    auto add = [&pieces](std::optional<Rect> dest, Rect src) {
        if (dest && dest->w > 0 && dest->h > 0) pieces.push_back({*dest, src});
    };
    auto rect = [](std::optional<int16_t> x, std::optional<int16_t> y, std::optional<int16_t> w,
                   std::optional<int16_t> h) -> std::optional<Rect> {
        if (!x || !y || !w || !h) return std::nullopt;
        return Rect{*x, *y, *w, *h};
    };
    const std::optional<int16_t> one = 1, corner = kCorner;

    add(rect(one, one, corner, corner), {0, 0, kCorner, kCorner});
    add(rect(corner, one, wInner, corner), {kCorner, 1, srcEdgeW, kCorner});
    add(rect(wRight, one, corner, corner), {srcRight, 1, kCorner, kCorner});
    add(rect(wRight, corner, corner, hInner), {srcRight, kCorner, kCorner, srcEdgeH});
    add(rect(wRight, hBottom, corner, corner), {srcRight, srcBottom, kCorner, kCorner});
    add(rect(corner, hBottom, wInner, corner), {kCorner, srcBottom, srcEdgeW, kCorner});
    add(rect(one, hBottom, corner, corner), {0, srcBottom, kCorner, kCorner});
    add(rect(one, corner, corner, hInner), {1, kCorner, kCorner, srcEdgeH});
    return pieces;
}

Rect ToPixels(const Rect& t, double tppX, double tppY) {
    if (!(tppX > 0) || !(tppY > 0)) return {};
    auto px = [](double twips, double tpp) {
        return static_cast<int32_t>(std::lround(twips / tpp));
    };
    const int32_t x0 = px(t.x, tppX), x1 = px(static_cast<double>(t.x) + t.w, tppX);
    const int32_t y0 = px(t.y, tppY), y1 = px(static_cast<double>(t.y) + t.h, tppY);
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect CaptionRect(int32_t width, int32_t height) {
    // Integer division truncating toward zero, as the caption was always placed.
    const int64_t top = (int64_t{height} - kCaptionHeight - 20) / 2;
    return {0, static_cast<int32_t>(top), width, kCaptionHeight};
}

}  // namespace orbilon::controls
