// WGL adapter: describes the pixel formats the device context enumerates so PickPixelFormat
// can choose one, and owns the window's device context and OpenGL context.
#pragma once

#include <windows.h>

#include <memory>

#include "pixel_format.h"

namespace orbilon {

// What the shared choice needs to know of one enumerated format.
PixelFormatDesc DescribeFormat(const PIXELFORMATDESCRIPTOR& pfd);

// The request handed to ChoosePixelFormat when no enumerated format qualifies.
PIXELFORMATDESCRIPTOR FallbackDescriptor();

// Sets the best enumerated format on `dc`, else what ChoosePixelFormat offers for the fallback
// request. Results are not examined: a failure leaves drawing without effect.
void SetBestPixelFormat(HDC dc);

class WglSurface {
public:
    // Takes the window's device context, sets its pixel format, creates a context and makes it
    // current. Nothing is current when that fails; drawing then has no effect.
    static std::unique_ptr<WglSurface> Create(HWND window);
    ~WglSurface();
    WglSurface(const WglSurface&) = delete;
    WglSurface& operator=(const WglSurface&) = delete;

    void Swap();

private:
    WglSurface(HWND window, HDC dc) : window_(window), dc_(dc) {}

    HWND window_;
    HDC dc_;
    HGLRC context_ = nullptr;
};

}  // namespace orbilon
