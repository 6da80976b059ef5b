// The choice of an EGL configuration for the saver's window surfaces: 8-bit red, green and
// blue without alpha (an alpha channel lets the compositor blend the desktop through; a 10-bit
// format changes nothing the scene shows and some compositors cannot scan it out), desktop
// OpenGL, and a depth buffer for the depth test.
#pragma once

#include <optional>
#include <span>

namespace orbilon {

struct EglConfigTraits {
    int red = 0, green = 0, blue = 0, alpha = 0;
    int depth = 0;
    bool window = false;  // EGL_WINDOW_BIT in EGL_SURFACE_TYPE
    bool openGl = false;  // EGL_OPENGL_BIT in EGL_RENDERABLE_TYPE
};

// The index of the configuration to use: among the fitting ones, a 24-bit depth buffer first,
// then the deepest; the first of equals. Nothing when none fits.
std::optional<size_t> ChooseEglConfig(std::span<const EglConfigTraits> configs);

}  // namespace orbilon
