// Makes the settings dialog's pictures: the two 12 x 12 choice marks and the 32 x 32,
// 256-colour form icon, as BMP files, into the folder it is given. The build's dialog-art
// target writes them into frontend/settings/art, where they are committed.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Rgb {
    uint8_t r, g, b;
};

void Put16(std::vector<uint8_t>& o, uint32_t v) {
    o.push_back(v & 0xFF);
    o.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& o, uint32_t v) {
    Put16(o, v & 0xFFFF);
    Put16(o, v >> 16);
}

// BMP headers for a bottom-up image; `bits` 24 or 8, `paletteSize` entries follow.
std::vector<uint8_t> Header(int w, int h, int bits, int paletteSize, uint32_t imageBytes) {
    std::vector<uint8_t> o;
    const uint32_t offset = 14 + 40 + 4 * paletteSize;
    o.push_back('B');
    o.push_back('M');
    Put32(o, offset + imageBytes);
    Put32(o, 0);
    Put32(o, offset);
    Put32(o, 40);
    Put32(o, w);
    Put32(o, h);
    Put16(o, 1);
    Put16(o, bits);
    Put32(o, 0);
    Put32(o, imageBytes);
    Put32(o, 3780);  // 96 dots per inch
    Put32(o, 3780);
    Put32(o, paletteSize);
    Put32(o, 0);
    return o;
}

std::vector<uint8_t> Bmp24(int w, int h, const std::vector<Rgb>& px) {
    const int stride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> o = Header(w, h, 24, 0, stride * h);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const Rgb& c = px[y * w + x];
            o.push_back(c.b);
            o.push_back(c.g);
            o.push_back(c.r);
        }
        for (int p = w * 3; p < stride; ++p) o.push_back(0);
    }
    return o;
}

std::vector<uint8_t> Bmp8(int w, int h, const std::vector<Rgb>& palette,
                          const std::vector<uint8_t>& idx) {
    const int stride = (w + 3) & ~3;
    std::vector<uint8_t> o = Header(w, h, 8, 256, stride * h);
    for (int i = 0; i < 256; ++i) {
        const Rgb c = i < static_cast<int>(palette.size()) ? palette[i] : Rgb{0, 0, 0};
        o.push_back(c.b);
        o.push_back(c.g);
        o.push_back(c.r);
        o.push_back(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) o.push_back(idx[y * w + x]);
        for (int p = w; p < stride; ++p) o.push_back(0);
    }
    return o;
}

bool Save(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// A white square in a two-tone grey frame; `selected` fills the square with blue.
std::vector<Rgb> Mark(bool selected) {
    const int n = 12;
    std::vector<Rgb> px(n * n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const bool outer = x == 0 || y == 0 || x == n - 1 || y == n - 1;
            const bool inner = x == 1 || y == 1 || x == n - 2 || y == n - 2;
            Rgb c{255, 255, 255};
            if (outer) {
                c = {96, 96, 96};
            } else if (inner) {
                c = {176, 176, 176};
            } else if (selected) {
                // A little lighter towards the top-left, so the mark reads as filled, not flat.
                const int shade = (x + y - 4) * 6;
                c = {static_cast<uint8_t>(40 + 20 - shade / 2),
                     static_cast<uint8_t>(70 + 20 - shade / 2),
                     static_cast<uint8_t>(230 - shade / 3)};
            }
            px[y * n + x] = c;
        }
    }
    return px;
}

// The form icon: dark blue sky fading to lavender, with a bead strand spiralling upward.
void Icon(std::vector<Rgb>& palette, std::vector<uint8_t>& idx) {
    const int n = 32;
    // Entries 0-127: the background blend; 128-255: bead colours around the hue circle.
    for (int i = 0; i < 128; ++i) {
        const double t = i / 127.0;
        palette.push_back({static_cast<uint8_t>(220 * t), static_cast<uint8_t>(220 * t),
                           static_cast<uint8_t>(30 + 220 * t)});
    }
    for (int i = 0; i < 128; ++i) {
        const int hue = i / 16;                       // 8 hues
        const double light = 0.45 + (i % 16) / 28.0;  // 16 shades each
        const double h6 = hue * 6.0 / 8.0;
        const int sector = static_cast<int>(h6);
        const double f = h6 - sector;
        double r = 0, g = 0, b = 0;
        switch (sector) {
            case 0:
                r = 1, g = f, b = 0;
                break;
            case 1:
                r = 1 - f, g = 1, b = 0;
                break;
            case 2:
                r = 0, g = 1, b = f;
                break;
            case 3:
                r = 0, g = 1 - f, b = 1;
                break;
            case 4:
                r = f, g = 0, b = 1;
                break;
            default:
                r = 1, g = 0, b = 1 - f;
                break;
        }
        const auto ch = [&](double v) {
            return static_cast<uint8_t>(
                std::lround(std::fmin(255.0, 255.0 * v * light + 40 * (light - 0.45))));
        };
        palette.push_back({ch(r), ch(g), ch(b)});
    }
    idx.assign(n * n, 0);
    for (int y = 0; y < n; ++y) {
        const double v = std::fabs(std::sin(y / (n / 3.142)));
        for (int x = 0; x < n; ++x) idx[y * n + x] = static_cast<uint8_t>(std::lround(v * 127));
    }
    // Beads along a helix from the bottom to the top; nearer beads drawn larger and later.
    struct Bead {
        double x, y, z;
        int hue;
    };
    std::vector<Bead> beads;
    for (int i = 0; i < 14; ++i) {
        const double t = i / 13.0;
        const double a = t * 2.6 * 3.14159265;
        beads.push_back({16 + 9 * std::cos(a) + 3 * (t - 0.5), 29 - 26 * t, std::sin(a), i % 8});
    }
    std::vector<const Bead*> order;
    for (const Bead& b : beads) order.push_back(&b);
    for (size_t i = 0; i < order.size(); ++i)
        for (size_t j = i + 1; j < order.size(); ++j)
            if (order[j]->z < order[i]->z) std::swap(order[i], order[j]);
    for (const Bead* b : order) {
        const double rad = 2.0 + 0.9 * b->z;
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                const double dx = x + 0.5 - b->x, dy = y + 0.5 - b->y;
                const double d2 = dx * dx + dy * dy;
                if (d2 > rad * rad) continue;
                // Lit from the upper left: brighter towards that side.
                const double lit = 0.5 - (dx + dy) / (4 * rad) + (1 - d2 / (rad * rad)) * 0.4;
                const int shade = std::max(0, std::min(15, static_cast<int>(lit * 15)));
                idx[y * n + x] = static_cast<uint8_t>(128 + b->hue * 16 + shade);
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    std::vector<Rgb> palette;
    std::vector<uint8_t> idx;
    Icon(palette, idx);
    const bool ok = Save(dir + "/mark_off.bmp", Bmp24(12, 12, Mark(false))) &&
                    Save(dir + "/mark_on.bmp", Bmp24(12, 12, Mark(true))) &&
                    Save(dir + "/icon.bmp", Bmp8(32, 32, palette, idx));
    if (!ok) {
        std::fprintf(stderr, "dialog_art: cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
