#include "egl_offscreen.h"

#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstring>

namespace orbilon {

std::unique_ptr<EglOffscreen> EglOffscreen::Create(int width, int height, std::string* error) {
    std::unique_ptr<EglOffscreen> s(new EglOffscreen(width, height));
    auto fail = [&](const char* why) {
        *error = why;
        return nullptr;
    };
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!clientExtensions || !std::strstr(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        return fail("EGL has no surfaceless platform");
    }
    auto getDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getDisplay) return fail("EGL has no platform displays");
    s->display_ = getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (s->display_ == EGL_NO_DISPLAY || !eglInitialize(s->display_, &major, &minor)) {
        s->display_ = EGL_NO_DISPLAY;
        return fail("cannot initialise EGL");
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_DEPTH_SIZE,
                                       24,
                                       EGL_NONE};
    EGLConfig config;
    EGLint count = 0;
    if (!eglChooseConfig(s->display_, configAttributes, &config, 1, &count) || count < 1) {
        return fail("no EGL configuration for OpenGL on a pbuffer");
    }
    if (!eglBindAPI(EGL_OPENGL_API)) return fail("EGL offers no desktop OpenGL");
    s->context_ = eglCreateContext(s->display_, config, EGL_NO_CONTEXT, nullptr);
    if (s->context_ == EGL_NO_CONTEXT) return fail("cannot create an OpenGL context");
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    s->surface_ = eglCreatePbufferSurface(s->display_, config, surfaceAttributes);
    if (s->surface_ == EGL_NO_SURFACE) return fail("cannot create a pbuffer of that size");
    if (!eglMakeCurrent(s->display_, s->surface_, s->surface_, s->context_)) {
        return fail("cannot make the context current");
    }
    return s;
}

EglOffscreen::~EglOffscreen() {
    if (display_ == EGL_NO_DISPLAY) return;
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (surface_ != EGL_NO_SURFACE) eglDestroySurface(display_, surface_);
    if (context_ != EGL_NO_CONTEXT) eglDestroyContext(display_, context_);
    eglTerminate(display_);
}

std::vector<uint8_t> EglOffscreen::ReadRgb() const {
    const size_t row = static_cast<size_t>(width_) * 3;
    std::vector<uint8_t> bottomUp(row * height_);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<uint8_t> rgb(bottomUp.size());
    for (int y = 0; y < height_; ++y) {
        std::memcpy(&rgb[y * row], &bottomUp[(height_ - 1 - y) * row], row);
    }
    return rgb;
}

}  // namespace orbilon
