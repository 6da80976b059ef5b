// What the WGL adapter tells the shared choice about each enumerated pixel format, and what it
// asks ChoosePixelFormat for when none qualifies.
#include <gtest/gtest.h>

#include <vector>

#include "win32/wgl_surface.h"

namespace {

PIXELFORMATDESCRIPTOR Format(DWORD flags, BYTE colour, BYTE depth, BYTE type = PFD_TYPE_RGBA) {
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = flags;
    pfd.iPixelType = type;
    pfd.cColorBits = colour;
    pfd.cDepthBits = depth;
    return pfd;
}

constexpr DWORD kWindowGl = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;

TEST(WglFormats, EnumeratedFormatsChosenByTheSharedRule) {
    // As a driver would list them: unusable ones first, then software, accelerated, hardware.
    const std::vector<PIXELFORMATDESCRIPTOR> listed = {
        Format(PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL, 32, 24),  // single-buffered
        Format(kWindowGl, 32, 24, PFD_TYPE_COLORINDEX),           // colour index
        Format(PFD_DRAW_TO_BITMAP | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER, 32, 24),
        Format(PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER, 32, 24),  // GDI only
        Format(kWindowGl | PFD_GENERIC_FORMAT, 32, 32),         // software
        Format(kWindowGl | PFD_GENERIC_FORMAT | PFD_GENERIC_ACCELERATED, 32, 24),
        Format(kWindowGl, 16, 16),  // hardware
        Format(kWindowGl, 16, 16),
    };
    std::vector<orbilon::PixelFormatDesc> described;
    for (const auto& pfd : listed) described.push_back(orbilon::DescribeFormat(pfd));
    for (size_t i = 0; i < 4; ++i) EXPECT_FALSE(orbilon::ScorePixelFormat(described[i])) << i;
    EXPECT_EQ(orbilon::ScorePixelFormat(described[4]), 32 + 64 - 8);
    EXPECT_EQ(orbilon::ScorePixelFormat(described[5]), 32 + 48 - 8 + 1000);
    EXPECT_EQ(orbilon::ScorePixelFormat(described[6]), 16 + 32 + 2000);
    EXPECT_EQ(orbilon::PickPixelFormat(described), 7) << "hardware first, the lower number";
    described.resize(6);
    EXPECT_EQ(orbilon::PickPixelFormat(described), 6);
    described.resize(4);
    EXPECT_FALSE(orbilon::PickPixelFormat(described));
}

TEST(WglFormats, FallbackRequest) {
    const PIXELFORMATDESCRIPTOR pfd = orbilon::FallbackDescriptor();
    EXPECT_EQ(pfd.nSize, 40);
    EXPECT_EQ(pfd.nVersion, 1);
    EXPECT_EQ(pfd.dwFlags, kWindowGl);
    EXPECT_EQ(pfd.iPixelType, PFD_TYPE_RGBA);
    EXPECT_EQ(pfd.cColorBits, 24);
    EXPECT_EQ(pfd.cDepthBits, 24);
    EXPECT_EQ(pfd.cAlphaBits + pfd.cStencilBits + pfd.cAccumBits + pfd.cAuxBuffers, 0);
}

}  // namespace
