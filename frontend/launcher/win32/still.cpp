#include "still.h"

#include "resources.h"

namespace preview {

Bitmap LoadStill(HINSTANCE module) {
    return Bitmap(static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(ORBILON_PREVIEW_BITMAP),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

void DrawStill(HDC dc, const RECT& area, HBITMAP still) {
    BITMAP info{};
    HDC memory = still ? CreateCompatibleDC(dc) : nullptr;
    if (memory && GetObjectW(still, sizeof info, &info)) {
        HGDIOBJ old = SelectObject(memory, still);
        // Smooth scaling; HALFTONE needs the brush origin set after it.
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, memory,
                   0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        SelectObject(memory, old);
    } else {
        FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    if (memory) DeleteDC(memory);
}

}  // namespace preview
