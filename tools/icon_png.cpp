// Turns the dialog's 256-colour BMP icon into the PNG icons an install ships, enlarged by whole
// pixels so the picture stays sharp:  icon_png IN.bmp OUT.png SCALE
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "png.h"

namespace {

uint32_t Get(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b.at(at + i);
    return v;
}

int Fail(const char* why) {
    std::fprintf(stderr, "icon_png: %s\n", why);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return Fail("usage: icon_png IN.bmp OUT.png SCALE");
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> b{std::istreambuf_iterator<char>(in), {}};
    const int scale = std::atoi(argv[3]);
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return Fail("not a BMP file");
    const int w = static_cast<int>(Get(b, 18, 4));
    const int h = static_cast<int>(Get(b, 22, 4));
    if (Get(b, 28, 2) != 8 || Get(b, 30, 4) != 0 || w <= 0 || w > 1024 || h <= 0 || h > 1024 ||
        scale < 1 || scale > 16) {
        return Fail("expected an uncompressed, bottom-up, 8-bit BMP and a scale of 1 to 16");
    }
    const size_t palette = 14 + Get(b, 14, 4);
    const size_t pixels = Get(b, 10, 4);
    const size_t stride = (static_cast<size_t>(w) + 3) / 4 * 4;
    if (pixels + stride * h > b.size()) return Fail("the BMP file is cut short");
    std::vector<uint8_t> rgb;
    for (int y = 0; y < h * scale; ++y) {
        const size_t row = pixels + stride * (h - 1 - y / scale);
        for (int x = 0; x < w * scale; ++x) {
            const size_t entry = palette + 4 * b[row + x / scale];
            if (entry + 3 > b.size()) return Fail("a colour index lies outside the palette");
            rgb.insert(rgb.end(), {b[entry + 2], b[entry + 1], b[entry]});
        }
    }
    if (!orbilon::WritePng(argv[2], w * scale, h * scale, rgb)) return Fail("cannot write the PNG");
    return 0;
}
