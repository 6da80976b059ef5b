#include "wayland_egl.h"

#include <EGL/eglext.h>
#include <wayland-egl.h>

#include <vector>

#include "egl_config_choice.h"

namespace orbilon {

namespace {

EglConfigTraits Traits(EGLDisplay d, EGLConfig c) {
    auto get = [&](EGLint attribute) {
        EGLint v = 0;
        eglGetConfigAttrib(d, c, attribute, &v);
        return v;
    };
    EglConfigTraits t;
    t.red = get(EGL_RED_SIZE);
    t.green = get(EGL_GREEN_SIZE);
    t.blue = get(EGL_BLUE_SIZE);
    t.alpha = get(EGL_ALPHA_SIZE);
    t.depth = get(EGL_DEPTH_SIZE);
    t.window = (get(EGL_SURFACE_TYPE) & EGL_WINDOW_BIT) != 0;
    t.openGl = (get(EGL_RENDERABLE_TYPE) & EGL_OPENGL_BIT) != 0;
    return t;
}

}  // namespace

std::unique_ptr<WaylandEgl> WaylandEgl::Create(wl_display* display, std::string* error) {
    std::unique_ptr<WaylandEgl> egl(new WaylandEgl);
    auto fail = [&](const char* why) {
        *error = why;
        return nullptr;
    };
    egl->display_ = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, display, nullptr);
    EGLint major = 0, minor = 0;
    if (egl->display_ == EGL_NO_DISPLAY || !eglInitialize(egl->display_, &major, &minor)) {
        egl->display_ = EGL_NO_DISPLAY;
        return fail("cannot initialise EGL on the Wayland display");
    }
    if (!eglBindAPI(EGL_OPENGL_API)) return fail("EGL offers no desktop OpenGL");

    // Every configuration is weighed by the rule: eglChooseConfig would sort deeper colour
    // (10-bit) first.
    EGLint count = 0;
    eglGetConfigs(egl->display_, nullptr, 0, &count);
    std::vector<EGLConfig> configs(count > 0 ? count : 0);
    if (count > 0) eglGetConfigs(egl->display_, configs.data(), count, &count);
    configs.resize(count > 0 ? count : 0);
    std::vector<EglConfigTraits> traits;
    traits.reserve(configs.size());
    for (EGLConfig c : configs) traits.push_back(Traits(egl->display_, c));
    const auto chosen = ChooseEglConfig(traits);
    if (!chosen) return fail("EGL has no 8-bit RGB window configuration for OpenGL");
    egl->config_ = configs[*chosen];

    egl->context_ = eglCreateContext(egl->display_, egl->config_, EGL_NO_CONTEXT, nullptr);
    if (egl->context_ == EGL_NO_CONTEXT) return fail("cannot create an OpenGL context");
    return egl;
}

WaylandEgl::~WaylandEgl() {
    if (display_ == EGL_NO_DISPLAY) return;
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_ != EGL_NO_CONTEXT) eglDestroyContext(display_, context_);
    eglTerminate(display_);
}

void WaylandEgl::MakeCurrentWithoutSurface() {
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_);
}

std::unique_ptr<EglWindowSurface> EglWindowSurface::Create(WaylandEgl& egl, wl_surface* surface,
                                                           int width, int height) {
    std::unique_ptr<EglWindowSurface> s(new EglWindowSurface(egl));
    s->window_ = wl_egl_window_create(surface, width, height);
    if (!s->window_) return nullptr;
    s->surface_ = eglCreatePlatformWindowSurface(egl.display(), egl.config(), s->window_, nullptr);
    if (s->surface_ == EGL_NO_SURFACE) return nullptr;
    return s;
}

EglWindowSurface::~EglWindowSurface() {
    if (surface_ != EGL_NO_SURFACE) {
        if (eglGetCurrentSurface(EGL_DRAW) == surface_) egl_.MakeCurrentWithoutSurface();
        eglDestroySurface(egl_.display(), surface_);
    }
    if (window_) wl_egl_window_destroy(window_);
}

void EglWindowSurface::Resize(int width, int height) {
    wl_egl_window_resize(window_, width, height, 0, 0);
}

bool EglWindowSurface::MakeCurrent() {
    if (!eglMakeCurrent(egl_.display(), surface_, surface_, egl_.context())) return false;
    if (!intervalSet_) {
        // The compositor paces each surface through frame callbacks; a swap must never block.
        eglSwapInterval(egl_.display(), 0);
        intervalSet_ = true;
    }
    return true;
}

void EglWindowSurface::Swap() {
    eglSwapBuffers(egl_.display(), surface_);
}

}  // namespace orbilon
