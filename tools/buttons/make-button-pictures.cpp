// Draws the Command button's six state pictures and writes them as 64 x 25, 24-bit BMP
// files. Only the outer 4-pixel ring of each is ever shown (corners as they are, edges
// stretched), so all artwork lives there; the inside is a neutral fill.
//
//     make-button-pictures OUTDIR
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kW = 64, kH = 25, kRing = 4;

struct Rgb {
    uint8_t r, g, b;
};

constexpr Rgb Hex(uint32_t v) {
    return {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

Rgb Mix(Rgb a, Rgb b) {
    return {uint8_t((a.r + b.r) / 2), uint8_t((a.g + b.g) / 2), uint8_t((a.b + b.b) / 2)};
}

// A look: the colour of each ring layer from the outside in, for the top/left and the
// bottom/right sides (equal for flat looks).
struct Look {
    const char* name;
    std::array<Rgb, kRing> lit;
    std::array<Rgb, kRing> shaded;
};

constexpr Rgb kBackground = Hex(0xEFEFEF);  // the form colour around the rounded corners
constexpr Rgb kInside = Hex(0xDCDCE6);

const Look kLooks[] = {
    // Idle: slate border with a soft raised bevel.
    {"Normal",
     {Hex(0x6E7585), Hex(0xFFFFFF), Hex(0xFAFAFC), Hex(0xF4F4F8)},
     {Hex(0x6E7585), Hex(0xA9ABBD), Hex(0xBDBECE), Hex(0xCACAD9)}},
    // Cursor over it: a warm orange glow inside the slate border.
    {"HighLight",
     {Hex(0x6E7585), Hex(0xF29A1E), Hex(0xF8BE5A), Hex(0xFCDDA0)},
     {Hex(0x6E7585), Hex(0xE8870C), Hex(0xF2AE48), Hex(0xF8CF88)}},
    // Pressed: dark border, sunken bevel (shadow at the top and left).
    {"Pressed",
     {Hex(0x3A4050), Hex(0x7D8096), Hex(0x9A9CB0), Hex(0xB2B3C5)},
     {Hex(0x3A4050), Hex(0xE6E6EE), Hex(0xD8D8E4), Hex(0xCDCDDA)}},
    // Disabled: pale, flat, no accent.
    {"Disable",
     {Hex(0xB9BCC4), Hex(0xF2F2F2), Hex(0xF2F2F2), Hex(0xF2F2F2)},
     {Hex(0xB9BCC4), Hex(0xE4E4E8), Hex(0xE4E4E8), Hex(0xE4E4E8)}},
    // Focused: a blue ring.
    {"Selected",
     {Hex(0x1F5AA6), Hex(0x4C8AD8), Hex(0x93BDEB), Hex(0xCFE1F6)},
     {Hex(0x1F5AA6), Hex(0x3F7CCB), Hex(0x82B0E2), Hex(0xBFD6F0)}},
    // Focused with the cursor over it: the blue ring around the orange glow.
    {"HighLightSelect",
     {Hex(0x1F5AA6), Hex(0x4C8AD8), Hex(0xF29A1E), Hex(0xFAC670)},
     {Hex(0x1F5AA6), Hex(0x3F7CCB), Hex(0xE8870C), Hex(0xF2B658)}},
};

std::vector<Rgb> Draw(const Look& look) {
    std::vector<Rgb> px(kW * kH, kInside);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const int left = x, right = kW - 1 - x, top = y, bottom = kH - 1 - y;
            const int layer = std::min(std::min(left, right), std::min(top, bottom));
            if (layer >= kRing) continue;
            const bool litSide = std::min(top, left) <= std::min(bottom, right);
            Rgb c = litSide ? look.lit[layer] : look.shaded[layer];
            // Round the outer corners by one pixel.
            const int dx = std::min(left, right), dy = std::min(top, bottom);
            if (dx == 0 && dy == 0)
                c = kBackground;
            else if (dx + dy == 1)
                c = Mix(c, kBackground);
            px[y * kW + x] = c;
        }
    }
    return px;
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::vector<uint8_t> EncodeBmp(const std::vector<Rgb>& px) {
    const uint32_t rowBytes = (kW * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * kH;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + imageBytes);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, kW);
    Put32(out, kH);  // positive: rows bottom-up
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // no compression
    Put32(out, imageBytes);
    Put32(out, 3780);  // 96 dots per inch
    Put32(out, 3780);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = kH - 1; y >= 0; --y) {
        for (int x = 0; x < kW; ++x) {
            const Rgb c = px[y * kW + x];
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        for (uint32_t pad = kW * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    for (const Look& look : kLooks) {
        const std::string path = std::string(argv[1]) + "/" + look.name + ".bmp";
        const std::vector<uint8_t> bytes = EncodeBmp(Draw(look));
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!f) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.c_str());
            return 1;
        }
    }
    return 0;
}
