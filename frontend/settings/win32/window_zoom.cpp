#include "window_zoom.h"

#include "zoom.h"

int16_t AnchorX = 0;
int16_t AnchorY = 0;

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

void SetAnchorFromCursor() {
    POINT p{};
    if (!GetCursorPos(&p)) {
        AnchorX = 0;
        AnchorY = 0;
        return;
    }
    AnchorX = zoom::AnchorCoordinate(p.x, AnchorX);
    AnchorY = zoom::AnchorCoordinate(p.y, AnchorY);
}
