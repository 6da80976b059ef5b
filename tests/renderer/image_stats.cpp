// image-stats [--spread] FILE.png [X Y W H]: "WIDTH HEIGHT BLACK_PERCENT COLOURED_PIXELS" for any
// PNG (our own writer's, xtool's, grim's or a compositor's screenshot tool's), so the display
// tests can tell black from coloured beads. With a rectangle, only that part counts, and the
// mean position of its lit (not black) pixels follows, relative to the rectangle (-1 -1 if
// none), to tell where the composition sits; with --spread, then how far the lit pixels spread
// about that mean (standard deviations across and down, -1 -1 if none), to compare the
// composition's shape on screens of different sizes.
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
    const bool spread = argc > 1 && std::strcmp(argv[1], "--spread") == 0;
    if (spread) {
        --argc;
        ++argv;
    }
    if (argc != 2 && argc != 6) {
        std::fprintf(stderr, "usage: image-stats [--spread] FILE.png [X Y W H]\n");
        return 2;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, argv[1])) {
        std::fprintf(stderr, "image-stats: %s: %s\n", argv[1], image.message);
        return 1;
    }
    // Colour as stored: a screenshot of an XRGB surface may carry an alpha channel of junk,
    // which compositing onto black would darken.
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        std::fprintf(stderr, "image-stats: %s: %s\n", argv[1], image.message);
        png_image_free(&image);
        return 1;
    }
    const uint32_t w = image.width, h = image.height;
    const size_t stride = size_t{w} * 4;
    uint32_t x0 = 0, y0 = 0, x1 = w, y1 = h;
    if (argc == 6) {
        x0 = std::min<uint32_t>(std::atoi(argv[2]), w);
        y0 = std::min<uint32_t>(std::atoi(argv[3]), h);
        x1 = std::min<uint32_t>(x0 + std::atoi(argv[4]), w);
        y1 = std::min<uint32_t>(y0 + std::atoi(argv[5]), h);
    }
    uint64_t black = 0, coloured = 0;
    double sumX = 0, sumY = 0, sumXX = 0, sumYY = 0;
    for (uint32_t y = y0; y < y1; ++y) {
        for (uint32_t x = x0; x < x1; ++x) {
            const uint8_t* px = &rgb[y * stride + x * 4];
            const int hi = std::max({px[0], px[1], px[2]});
            const int lo = std::min({px[0], px[1], px[2]});
            if (hi < 16) {
                ++black;
            } else {
                const double dx = x - x0, dy = y - y0;
                sumX += dx;
                sumY += dy;
                sumXX += dx * dx;
                sumYY += dy * dy;
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
        const double mx = lit ? sumX / lit : -1, my = lit ? sumY / lit : -1;
        std::printf(" %lld %lld", static_cast<long long>(mx), static_cast<long long>(my));
        if (spread) {
            std::printf(" %.0f %.0f", lit ? std::sqrt(std::max(0.0, sumXX / lit - mx * mx)) : -1,
                        lit ? std::sqrt(std::max(0.0, sumYY / lit - my * my)) : -1);
        }
    }
    std::printf("\n");
    return 0;
}
