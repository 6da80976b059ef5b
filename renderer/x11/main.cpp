// Orbilon.dll: the full-screen animation. Switches on the command line are ignored, as the
// saver always runs full screen, unless a screen-saver service names its own window in
// $XSCREENSAVER_WINDOW.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "window_id.h"
#include "x11_saver.h"

int main() {
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
