#include "win32_monitors.h"

namespace orbilon {

namespace {

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT r, LPARAM out) {
    reinterpret_cast<std::vector<ScreenRect>*>(out)->push_back(
        {r->left, r->top, r->right - r->left, r->bottom - r->top});
    return TRUE;
}

}  // namespace

ScreenRect VirtualScreen() {
    return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
            GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

std::vector<ScreenRect> DisplayMonitors() {
    std::vector<ScreenRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

std::vector<Viewport> MonitorViewportsOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return MonitorViewports(DisplayMonitors(), {r.left, r.top, r.right - r.left, r.bottom - r.top});
}

void CoverVirtualScreen(HWND window) {
    const ScreenRect s = VirtualScreen();
    SetWindowPos(window, HWND_TOPMOST, s.x, s.y, s.width, s.height, SWP_NOACTIVATE);
}

}  // namespace orbilon
