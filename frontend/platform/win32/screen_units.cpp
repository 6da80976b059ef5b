#include "screen_units.h"

#include <windows.h>

#include "units.h"

namespace orbilon::win32 {

ScreenScale ScreenTwipsPerPixel() {
    ScreenScale s;
    if (HDC screen = GetDC(nullptr)) {
        const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
        const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
        s.x = units::TwipsPerPixel(dpiX);
        s.y = units::TwipsPerPixel(dpiY);
        if (dpiY > 0) s.dpiY = dpiY;
        ReleaseDC(nullptr, screen);
    }
    return s;
}

}  // namespace orbilon::win32
