// EGL on a Wayland display: one desktop-OpenGL context (no version asked, so Mesa gives its
// compatibility profile with the fixed-function pipeline the scene uses) shared by a window
// surface per output.
#pragma once

#include <EGL/egl.h>

#include <memory>
#include <string>

struct wl_display;
struct wl_egl_window;
struct wl_surface;

namespace orbilon {

class WaylandEgl {
public:
    // The context on `display`, or nullptr with the reason in *error.
    static std::unique_ptr<WaylandEgl> Create(wl_display* display, std::string* error);
    ~WaylandEgl();
    WaylandEgl(const WaylandEgl&) = delete;
    WaylandEgl& operator=(const WaylandEgl&) = delete;

    EGLDisplay display() const { return display_; }
    EGLConfig config() const { return config_; }
    EGLContext context() const { return context_; }
    // The context current without a surface, where the driver allows it (for clean-up).
    void MakeCurrentWithoutSurface();

private:
    WaylandEgl() = default;

    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLConfig config_ = nullptr;
    EGLContext context_ = EGL_NO_CONTEXT;
};

// A wl_surface's drawable: its wl_egl_window and the EGL surface over it.
class EglWindowSurface {
public:
    // nullptr when EGL cannot make a surface of it.
    static std::unique_ptr<EglWindowSurface> Create(WaylandEgl& egl, wl_surface* surface, int width,
                                                    int height);
    ~EglWindowSurface();
    EglWindowSurface(const EglWindowSurface&) = delete;
    EglWindowSurface& operator=(const EglWindowSurface&) = delete;

    void Resize(int width, int height);
    // Makes the shared context current on this surface; false when it cannot.
    bool MakeCurrent();
    // Posts the frame (and commits the wl_surface); never waits for the compositor.
    void Swap();

private:
    explicit EglWindowSurface(WaylandEgl& egl) : egl_(egl) {}

    WaylandEgl& egl_;
    wl_egl_window* window_ = nullptr;
    EGLSurface surface_ = EGL_NO_SURFACE;
    bool intervalSet_ = false;
};

}  // namespace orbilon
