// The X11 services of the front end: windows found by title and their rectangles, the pointer's
// visibility, and what has to happen however the process ends. One connection of the layer's
// own; callers never touch Xlib directly.
#pragma once

#include <optional>
#include <string>

namespace platform {

using WindowId = unsigned long;  // an X11 window id (XID); 0 means none

struct WindowRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// True while the layer has a display to talk to (false with the offscreen Qt platform or
// without $DISPLAY; every window operation then answers "none").
bool HaveDisplay();

// FindWindowA(NULL, title): a top-level window, mapped or not, whose _NET_WM_NAME or
// WM_NAME is exactly title; 0 when none. Top-level: a child of the root, or a client window
// a window manager has framed.
WindowId FindWindowByTitle(const std::string& title);

// Whether FindWindowByTitle(title) would find a window, for asking again and again: the
// window once found is remembered and followed through its events until it is destroyed or
// retitled, so while it stays an answer costs no round trip to the server.
bool WindowTitledExists(const std::string& title);

// Whether the id names an existing window.
bool WindowExists(WindowId id);

// ShowCursor(flag): non-zero flag counts up, zero counts down; the pointer is hidden
// screen-wide while the counter is below 0. Returns the counter after the call.
int ShowCursor(int flag);

// GetWindowRect: the outer rectangle in root coordinates.
std::optional<WindowRect> GetWindowRect(WindowId id);

// The screen's root window.
WindowId ScreenRoot();

// Before the toolkit starts: the folder Qt makes for itself ($TMPDIR/runtime-USER) when there
// is no usable runtime folder. RemoveToolkitRuntimeDir, after the start, has it removed at
// the end when this process made it (it was not there before and is empty then).
std::string ToolkitRuntimeDirIfAbsent();
void RemoveToolkitRuntimeDir(const std::string& absentBefore);

// What has to happen however the process ends, also from a signal handler: async-signal-safe.
// Runs what ClearAtEnd and RemoveToolkitRuntimeDir registered; EndProcess runs it itself.
void RunEndActions();

// Has the window cleared (to its background, with exposures) when the process ends: what a
// renderer drew on the root window stays there otherwise.
void ClearAtEnd(WindowId window);

// Immediate end of the process, status 0 unless given; nothing of the front end runs
// afterwards.
[[noreturn]] void EndProcess(int status = 0);

}  // namespace platform
