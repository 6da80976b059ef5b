// Finding a top-level window by its exact title, and following it once found. Xlib only, so
// the front end's platform layer and the benchmark tools share it.
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "x11_windows.h"

namespace orbilon {

// FindWindowA(NULL, title) over the top-level windows, mapped or not: the root's children
// and, under a window manager, the client windows it has framed (its _NET_CLIENT_LIST, or
// failing that the windows carrying WM_STATE inside each frame). Nothing deeper is visited,
// so the cost follows the number of top-level windows, not of all windows. None when absent.
Window FindTopLevelTitled(Display* d, const std::string& title, const WindowTitles& titles);

// Answers "does a window with this title exist?" as FindTopLevelTitled does, but remembers
// the window once found and then follows it through its own events (destroyed, retitled):
// while it stays, a call only looks at events already received and costs no round trip.
// Uses the display's event queue for that window's structure and property events; other
// events are left alone.
class WindowWatch {
public:
    WindowWatch(Display* d, std::string title);
    ~WindowWatch();
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;

    bool Present();
    Window watched() const { return watched_; }

private:
    void Forget();

    Display* d_;
    std::string title_;
    WindowTitles titles_;
    Atom netWmName_;
    Window watched_ = None;
};

}  // namespace orbilon
