// image-stats FILE.png [X Y W H]: "WIDTH HEIGHT BLACK_PERCENT COLOURED_PIXELS" for a PNG written
// by orbilon::WritePng (8-bit RGB, stored deflate blocks), so the display tests can tell black
// from coloured beads without an image library. With a rectangle, only that part counts, and
// the mean position of its lit (not black) pixels follows, relative to the rectangle (-1 -1 if
// none), to tell where the composition sits.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
    return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) |
           b[at + 3];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 6) {
        std::fprintf(stderr, "usage: image-stats FILE.png [X Y W H]\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> png((std::istreambuf_iterator<char>(in)), {});
    if (png.size() < 45 || std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8) != 0 ||
        std::memcmp(png.data() + 12, "IHDR", 4) != 0 || png[24] != 8 || png[25] != 2) {
        std::fprintf(stderr, "image-stats: not an 8-bit RGB PNG\n");
        return 1;
    }
    const uint32_t w = Be32(png, 16), h = Be32(png, 20);
    // Gather the IDAT chunks, then the stored blocks after the 2-byte zlib header.
    std::vector<uint8_t> z;
    for (size_t p = 33; p + 12 <= png.size();) {
        const uint32_t len = Be32(png, p);
        if (p + 12 + len > png.size()) break;
        if (std::memcmp(&png[p + 4], "IDAT", 4) == 0) {
            z.insert(z.end(), png.begin() + p + 8, png.begin() + p + 8 + len);
        }
        p += 12 + len;
    }
    std::vector<uint8_t> raw;
    for (size_t p = 2; p + 5 <= z.size();) {
        const bool last = z[p] & 1;
        if ((z[p] & 6) != 0) {
            std::fprintf(stderr, "image-stats: compressed blocks are not supported\n");
            return 1;
        }
        const size_t len = z[p + 1] | (z[p + 2] << 8);
        if (p + 5 + len > z.size()) break;
        raw.insert(raw.end(), z.begin() + p + 5, z.begin() + p + 5 + len);
        p += 5 + len;
        if (last) break;
    }
    const size_t stride = size_t{w} * 3 + 1;
    if (raw.size() != stride * h) {
        std::fprintf(stderr, "image-stats: truncated image data\n");
        return 1;
    }
    uint32_t x0 = 0, y0 = 0, x1 = w, y1 = h;
    if (argc == 6) {
        x0 = std::min<uint32_t>(std::atoi(argv[2]), w);
        y0 = std::min<uint32_t>(std::atoi(argv[3]), h);
        x1 = std::min<uint32_t>(x0 + std::atoi(argv[4]), w);
        y1 = std::min<uint32_t>(y0 + std::atoi(argv[5]), h);
    }
    uint64_t black = 0, coloured = 0, sumX = 0, sumY = 0;
    for (uint32_t y = y0; y < y1; ++y) {
        for (uint32_t x = x0; x < x1; ++x) {
            const uint8_t* px = &raw[y * stride + 1 + x * 3];
            const int hi = std::max({px[0], px[1], px[2]});
            const int lo = std::min({px[0], px[1], px[2]});
            if (hi < 16) {
                ++black;
            } else {
                sumX += x - x0;
                sumY += y - y0;
            }
            // Clearly tinted and bright enough: not the grey of an unlit or black bead.
            if (hi >= 64 && hi - lo >= 48) ++coloured;
        }
    }
    const uint64_t area = std::max<uint64_t>(uint64_t{x1 - x0} * (y1 - y0), 1);
    const uint64_t lit = area - black;
    std::printf("%u %u %llu %llu", x1 - x0, y1 - y0,
                static_cast<unsigned long long>(black * 100 / area),
                static_cast<unsigned long long>(coloured));
    if (argc == 6) {
        std::printf(" %lld %lld", lit ? static_cast<long long>(sumX / lit) : -1LL,
                    lit ? static_cast<long long>(sumY / lit) : -1LL);
    }
    std::printf("\n");
    return 0;
}
