#include "screen_units.h"

#include <windows.h>

#include "units.h"

namespace orbilon::win32 {

namespace {

// The primary monitor's effective DPI: what a per-monitor aware program draws at there. The
// screen's device context gives it on systems without GetDpiForMonitor (Windows 7).
POINT PrimaryMonitorDpi() {
    POINT dpi{96, 96};
    if (HDC dc = GetDC(nullptr)) {
        dpi = {GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY)};
        ReleaseDC(nullptr, dc);
    }
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    if (HMODULE shcore = LoadLibraryW(L"shcore.dll")) {
        const auto get = reinterpret_cast<GetDpiForMonitorFn>(
            reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
        UINT x = 0, y = 0;
        if (get &&
            SUCCEEDED(get(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY),
                          0 /* MDT_EFFECTIVE_DPI */, &x, &y)) &&
            x > 0 && y > 0) {
            dpi = {static_cast<LONG>(x), static_cast<LONG>(y)};
        }
        FreeLibrary(shcore);
    }
    return dpi;
}

}  // namespace

ScreenScale ScreenTwipsPerPixel() {
    const POINT dpi = PrimaryMonitorDpi();
    ScreenScale s;
    s.x = units::TwipsPerPixel(dpi.x);
    s.y = units::TwipsPerPixel(dpi.y);
    if (dpi.y > 0) s.dpiY = dpi.y;
    return s;
}

}  // namespace orbilon::win32
