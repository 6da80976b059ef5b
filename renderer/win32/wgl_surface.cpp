#include "wgl_surface.h"

#include <vector>

namespace orbilon {

PixelFormatDesc DescribeFormat(const PIXELFORMATDESCRIPTOR& pfd) {
    PixelFormatDesc d;
    d.supportOpenGL = (pfd.dwFlags & PFD_SUPPORT_OPENGL) != 0;
    d.drawToWindow = (pfd.dwFlags & PFD_DRAW_TO_WINDOW) != 0;
    d.doubleBuffer = (pfd.dwFlags & PFD_DOUBLEBUFFER) != 0;
    d.rgba = pfd.iPixelType == PFD_TYPE_RGBA;
    d.colorBits = pfd.cColorBits;
    d.depthBits = pfd.cDepthBits;
    d.generic = (pfd.dwFlags & PFD_GENERIC_FORMAT) != 0;
    d.genericAccelerated = (pfd.dwFlags & PFD_GENERIC_ACCELERATED) != 0;
    return d;
}

PIXELFORMATDESCRIPTOR FallbackDescriptor() {
    const PixelFormatDesc want = FallbackPixelFormatRequest();
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = static_cast<BYTE>(want.colorBits);
    pfd.cDepthBits = static_cast<BYTE>(want.depthBits);
    return pfd;
}

void SetBestPixelFormat(HDC dc) {
    // Formats are numbered from 1 for as long as DescribePixelFormat knows them.
    std::vector<PixelFormatDesc> formats;
    PIXELFORMATDESCRIPTOR pfd{};
    for (int n = 1; DescribePixelFormat(dc, n, sizeof pfd, &pfd) != 0; ++n) {
        formats.push_back(DescribeFormat(pfd));
    }
    if (const auto best = PickPixelFormat(formats)) {
        DescribePixelFormat(dc, *best, sizeof pfd, &pfd);
        SetPixelFormat(dc, *best, &pfd);
        return;
    }
    pfd = FallbackDescriptor();
    SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd);
}

std::unique_ptr<WglSurface> WglSurface::Create(HWND window) {
    std::unique_ptr<WglSurface> surface(new WglSurface(window, GetDC(window)));
    if (!surface->dc_) return surface;
    SetBestPixelFormat(surface->dc_);
    surface->context_ = wglCreateContext(surface->dc_);
    if (surface->context_ && !wglMakeCurrent(surface->dc_, surface->context_)) {
        wglDeleteContext(surface->context_);
        surface->context_ = nullptr;
    }
    // One frame per buffer swap, where the driver can pace swaps at all.
    using SwapIntervalFn = BOOL(WINAPI*)(int);
    if (surface->context_) {
        if (const auto swapInterval = reinterpret_cast<SwapIntervalFn>(
                reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")))) {
            swapInterval(1);
        }
    }
    return surface;
}

WglSurface::~WglSurface() {
    if (dc_) ReleaseDC(window_, dc_);
    if (context_) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(context_);
    }
}

void WglSurface::Swap() {
    if (context_) wglSwapLayerBuffers(dc_, WGL_SWAP_MAIN_PLANE);
}

}  // namespace orbilon
