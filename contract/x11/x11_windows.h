// Window lookups shared by the renderer, the front end and the test tool: every program
// finds the others' windows by title, so they must all read a title the same way.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <string>

namespace orbilon {

// Reads window titles on one display; the atoms are looked up once.
class WindowTitles {
public:
    explicit WindowTitles(Display* d);
    // _NET_WM_NAME (UTF-8) where the window has it, WM_NAME otherwise; empty when neither.
    std::string operator()(Window w) const;

private:
    Display* d_;
    Atom netWmName_ = None;
    Atom utf8String_ = None;
};

// Calls visit on every window below start, depth first (a window before its children),
// until it returns true; returns
// that window, or None. Window managers reparent clients into frames, so top-level windows
// are not always children of the root.
Window FindWindowBelow(Display* d, Window start, const std::function<bool(Window)>& visit);

}  // namespace orbilon
