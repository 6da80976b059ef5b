#include "shell_choice.h"

#include <string_view>

namespace orbilon {

namespace {

bool Set(const char* v) {
    return v && *v;
}

}  // namespace

ShellDecision ChooseShell(const ShellEnvironment& env) {
    if (env.screensaverWindow) return {Shell::X11, {}};
    if (Set(env.forced)) {
        const std::string_view forced(env.forced);
        if (forced == "x11") return {Shell::X11, {}};
        if (forced == "wayland") return {Shell::Wayland, {}};
        return {Shell::X11, "ORBILON_SHELL must be x11 or wayland"};
    }
    if (Set(env.waylandDisplay) || Set(env.waylandSocket)) return {Shell::Wayland, {}};
    return {Shell::X11, {}};
}

RoleDecision ChooseSurfaceRole(bool layerShell, bool xdgShell, const char* forced) {
    if (Set(forced)) {
        const std::string_view f(forced);
        if (f == "toplevel" && xdgShell) return {SurfaceRole::XdgFullscreen, {}};
        if (f != "toplevel" && f != "layer") {
            return {SurfaceRole::None, "ORBILON_WAYLAND_SURFACE must be layer or toplevel"};
        }
    }
    if (layerShell) return {SurfaceRole::LayerOverlay, {}};
    if (xdgShell) return {SurfaceRole::XdgFullscreen, {}};
    return {SurfaceRole::None, {}};
}

}  // namespace orbilon
