// An OpenGL context on an offscreen pbuffer through Mesa's surfaceless EGL platform: drawing
// that needs no display at all.
#pragma once

#include <EGL/egl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orbilon {

class EglOffscreen {
public:
    // A current desktop-OpenGL context on a width x height RGB pbuffer with a depth buffer, or
    // nullptr with the reason in *error.
    static std::unique_ptr<EglOffscreen> Create(int width, int height, std::string* error);
    ~EglOffscreen();
    EglOffscreen(const EglOffscreen&) = delete;
    EglOffscreen& operator=(const EglOffscreen&) = delete;

    // The pbuffer's pixels as RGB bytes, rows top to bottom.
    std::vector<uint8_t> ReadRgb() const;

private:
    EglOffscreen(int width, int height) : width_(width), height_(height) {}

    int width_;
    int height_;
    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLContext context_ = EGL_NO_CONTEXT;
    EGLSurface surface_ = EGL_NO_SURFACE;
};

}  // namespace orbilon
