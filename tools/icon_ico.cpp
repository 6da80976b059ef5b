// Turns the dialog's 256-colour BMP icon into the Windows programs' icon file: the bitmap's own
// header, palette and rows, an opaque mask, one image.  icon_ico IN.bmp OUT.ico
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

uint32_t Get(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b.at(at + i);
    return v;
}

void Put(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

int Fail(const char* why) {
    std::fprintf(stderr, "icon_ico: %s\n", why);
    return 1;
}

constexpr size_t FileHeader = 14;
constexpr size_t InfoHeader = 40;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return Fail("usage: icon_ico IN.bmp OUT.ico");
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<uint8_t> b{std::istreambuf_iterator<char>(in), {}};
    if (b.size() < FileHeader + InfoHeader || b[0] != 'B' || b[1] != 'M') {
        return Fail("not a BMP file");
    }
    const uint32_t w = Get(b, 18, 4);
    const uint32_t h = Get(b, 22, 4);
    // An icon directory holds sizes up to 256 and a bottom-up image of whole rows.
    if (Get(b, 14, 4) != InfoHeader || Get(b, 28, 2) != 8 || Get(b, 30, 4) != 0 || w == 0 ||
        w > 256 || h == 0 || h > 256) {
        return Fail("expected an uncompressed, bottom-up, 8-bit BMP of at most 256 x 256");
    }
    const uint32_t colours = Get(b, 46, 4) ? Get(b, 46, 4) : 256;
    const size_t palette = FileHeader + InfoHeader;
    const size_t pixels = Get(b, 10, 4);
    const size_t stride = (w + 3) / 4 * 4;
    if (colours > 256 || pixels < palette + 4 * colours || pixels + stride * h > b.size()) {
        return Fail("the BMP file is cut short");
    }
    const size_t maskStride = (w + 31) / 32 * 4;

    // The image: the info header with the height of colour rows and mask together.
    std::vector<uint8_t> image(b.begin() + FileHeader, b.begin() + palette);
    for (int i = 0; i < 4; ++i) image[8 + i] = static_cast<uint8_t>((2 * h) >> (8 * i));
    for (int i = 0; i < 4; ++i) image[20 + i] = 0;  // size of the image: left to the reader
    image.insert(image.end(), b.begin() + palette, b.begin() + palette + 4 * colours);
    image.insert(image.end(), b.begin() + pixels, b.begin() + pixels + stride * h);
    image.insert(image.end(), maskStride * h, 0);  // every pixel opaque

    std::vector<uint8_t> out;
    Put(out, 0, 2);                          // reserved
    Put(out, 1, 2);                          // an icon
    Put(out, 1, 2);                          // one image
    out.push_back(static_cast<uint8_t>(w));  // 256 is written as 0
    out.push_back(static_cast<uint8_t>(h));
    out.push_back(colours >= 256 ? 0 : static_cast<uint8_t>(colours));
    out.push_back(0);
    Put(out, 1, 2);  // planes
    Put(out, 8, 2);  // bits per pixel
    Put(out, static_cast<uint32_t>(image.size()), 4);
    Put(out, 6 + 16, 4);  // the image follows the directory
    out.insert(out.end(), image.begin(), image.end());

    std::ofstream file(argv[2], std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (!file) return Fail("cannot write the icon file");
    return 0;
}
