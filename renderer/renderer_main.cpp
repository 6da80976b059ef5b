// Orbilon.dll: the full-screen animation. Switches on the command line are ignored, as the
// saver always runs full screen. It runs on Wayland where the session is Wayland, else on X11,
// where a screen-saver service may name its own window in $XSCREENSAVER_WINDOW;
// ORBILON_SHELL=x11 or =wayland picks one by hand.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell_choice.h"
#include "wayland_saver.h"
#include "window_id.h"
#include "x11_saver.h"

int main() {
    const orbilon::ShellDecision shell = orbilon::ChooseShell({
        .waylandDisplay = std::getenv("WAYLAND_DISPLAY"),
        .waylandSocket = std::getenv("WAYLAND_SOCKET"),
        .screensaverWindow = std::getenv("XSCREENSAVER_WINDOW"),
        .forced = std::getenv("ORBILON_SHELL"),
    });
    if (!shell.error.empty()) {
        std::fprintf(stderr, "Orbilon.dll: %s\n", shell.error.c_str());
        return 1;
    }
    if (shell.shell == orbilon::Shell::Wayland) return orbilon::RunWaylandSaver();

    const char* target = std::getenv("XSCREENSAVER_WINDOW");
    if (!target) return orbilon::RunSaver();
    const auto id = orbilon::ParseWindowId(target);
    if (!id) {
        // Shown on one line whatever the variable holds.
        std::string shown(target, std::min<size_t>(std::char_traits<char>::length(target), 40));
        for (char& c : shown) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
        }
        std::fprintf(stderr, "Orbilon.dll: XSCREENSAVER_WINDOW='%s' is not a window id\n",
                     shown.c_str());
        return 1;
    }
    return orbilon::RunInWindow(*id);
}
