#include "window_zoom_win32.h"

#include "zoom.h"

namespace {

void Zoom(HWND window, bool opening) {
    const RECT point{AnchorX, AnchorY, AnchorX, AnchorY};
    RECT frame{};
    if (!GetWindowRect(window, &frame)) return;
    DrawAnimatedRects(window, IDANI_CAPTION, opening ? &point : &frame, opening ? &frame : &point);
}

}  // namespace

void ZoomOpen(HWND window) {
    Zoom(window, true);
}

void ZoomClose(HWND window) {
    Zoom(window, false);
}
