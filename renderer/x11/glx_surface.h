// GLX adapter: describes the FBConfigs the server offers so PickPixelFormat can choose one, and
// owns the context and GLX window drawn into.
#pragma once

#include <GL/glx.h>

#include <memory>
#include <optional>
#include <vector>

#include "pixel_format.h"

namespace orbilon {

struct GlxFormat {
    GLXFBConfig config = nullptr;
    XVisualInfo visual{};
};

// The FBConfigs in the order the server returns them (numbered 1, 2, ... for the choice).
std::vector<PixelFormatDesc> DescribeFbConfigs(Display* display, int screen, GLXFBConfig* configs,
                                               int count);

// The window's format: the best enumerated one, else what glXChooseFBConfig offers for the
// fallback request. Nothing when GLX offers no window format at all.
std::optional<GlxFormat> ChooseGlxFormat(Display* display, int screen);

// The best window format whose visual is `visual`, for drawing into a window made by someone
// else; nothing when that visual has no OpenGL.
std::optional<GlxFormat> ChooseGlxFormatForVisual(Display* display, int screen, VisualID visual);

class GlxSurface {
public:
    // A context for the window, made current, swap interval 1 where offered. A context that
    // cannot be made leaves nothing current: drawing then has no effect.
    static std::unique_ptr<GlxSurface> Create(Display* display, Window window, GLXFBConfig config);
    ~GlxSurface();
    GlxSurface(const GlxSurface&) = delete;
    GlxSurface& operator=(const GlxSurface&) = delete;

    void Swap();

    // True once the context is current on the window: frames then reach the screen.
    bool current() const { return current_; }

private:
    GlxSurface(Display* display) : display_(display) {}

    Display* display_;
    GLXWindow drawable_ = 0;
    GLXContext context_ = nullptr;
    bool current_ = false;
};

}  // namespace orbilon
