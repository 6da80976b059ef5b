// Which window system the renderer runs on, and, on Wayland, which role its surfaces take. Plain
// decisions over the environment and the compositor's globals, so they run without a display.
#pragma once

#include <string>

namespace orbilon {

enum class Shell { X11, Wayland };

// The variables that decide; null where unset.
struct ShellEnvironment {
    const char* waylandDisplay = nullptr;     // WAYLAND_DISPLAY
    const char* waylandSocket = nullptr;      // WAYLAND_SOCKET (a connection handed over)
    const char* screensaverWindow = nullptr;  // XSCREENSAVER_WINDOW
    const char* forced = nullptr;             // ORBILON_SHELL: "x11" or "wayland"
};

struct ShellDecision {
    Shell shell = Shell::X11;
    // Non-empty when the environment asks for something that cannot be: the run must not start.
    std::string error;
};

// A service's window ($XSCREENSAVER_WINDOW, even empty: X11 then reports it) is an X window, so
// such runs stay on X11; otherwise ORBILON_SHELL when set, then Wayland wherever a Wayland
// connection is named (also when $DISPLAY names XWayland beside it), else X11.
ShellDecision ChooseShell(const ShellEnvironment& env);

enum class SurfaceRole {
    // A zwlr_layer_shell_v1 surface on the overlay layer over the whole output.
    LayerOverlay,
    // An xdg_toplevel made full screen on its output.
    XdgFullscreen,
    None,
};

struct RoleDecision {
    SurfaceRole role = SurfaceRole::None;
    // Non-empty when `forced` names no role: the run must not start.
    std::string error;
};

// Layer shell where offered: it covers panels and takes the keyboard without a window manager's
// say; xdg-shell elsewhere. `forced` (ORBILON_WAYLAND_SURFACE, null where unset) is "layer" or
// "toplevel" to prefer that role where the compositor offers it, as tests of the full-screen
// path on a compositor with layer shell do.
RoleDecision ChooseSurfaceRole(bool layerShell, bool xdgShell, const char* forced = nullptr);

}  // namespace orbilon
