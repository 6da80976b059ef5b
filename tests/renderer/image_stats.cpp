// image-stats FILE.png: "WIDTH HEIGHT BLACK_PERCENT COLOURED_PIXELS" for a PNG written by
// orbilon::WritePng (8-bit RGB, stored deflate blocks), so the display tests can tell black
// from coloured beads without an image library.
#include <algorithm>
#include <cstdint>
#include <cstdio>
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
    if (argc != 2) {
        std::fprintf(stderr, "usage: image-stats FILE.png\n");
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
    uint64_t black = 0, coloured = 0;
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            const uint8_t* px = &raw[y * stride + 1 + x * 3];
            const int hi = std::max({px[0], px[1], px[2]});
            const int lo = std::min({px[0], px[1], px[2]});
            if (hi < 16) ++black;
            // Clearly tinted and bright enough: not the grey of an unlit or black bead.
            if (hi >= 64 && hi - lo >= 48) ++coloured;
        }
    }
    std::printf("%u %u %llu %llu\n", w, h,
                static_cast<unsigned long long>(black * 100 / (uint64_t{w} * h)),
                static_cast<unsigned long long>(coloured));
    return 0;
}
