// wininfo TITLE: what Win32 itself says about the top-level window of that exact title and the
// windows inside it, one fact a line, for the Wine tests:
//   client=W H          the client area in pixels
//   origin=X Y          the client area's top-left corner on the screen
//   window=X Y W H      the outer frame on the screen
//   dpi=N               the screen's logical DPI
//   child id=N class=C x=X y=Y w=W h=H enabled=0|1 items=N text=T
// Child places are relative to the top window's client area; items only for combo boxes.
// Exit status 1 when no such window exists.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* w) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, -1, out.data(), n, nullptr, nullptr);
    out.pop_back();
    return out;
}

BOOL CALLBACK Child(HWND w, LPARAM top) {
    wchar_t cls[64] = {}, text[256] = {};
    GetClassNameW(w, cls, 64);
    // GetWindowText reads only captions of another process's windows; the message reads
    // a control's text.
    SendMessageW(w, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    RECT r{};
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, reinterpret_cast<HWND>(top), reinterpret_cast<POINT*>(&r), 2);
    std::printf("child id=%d class=%s x=%ld y=%ld w=%ld h=%ld enabled=%d", GetDlgCtrlID(w),
                Utf8(cls).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top,
                IsWindowEnabled(w) ? 1 : 0);
    if (lstrcmpiW(cls, L"ComboBox") == 0) {
        std::printf(" items=%ld", static_cast<long>(SendMessageW(w, CB_GETCOUNT, 0, 0)));
    }
    std::printf(" text=%s\n", Utf8(text).c_str());
    return TRUE;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 2) {
        std::fprintf(stderr, "usage: wininfo TITLE\n");
        return 2;
    }
    HWND top = FindWindowW(nullptr, argv[1]);
    if (!top) return 1;
    RECT c{};
    GetClientRect(top, &c);
    POINT o{0, 0};
    ClientToScreen(top, &o);
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    RECT w{};
    GetWindowRect(top, &w);
    std::printf("client=%ld %ld\norigin=%ld %ld\nwindow=%ld %ld %ld %ld\ndpi=%d\n", c.right,
                c.bottom, o.x, o.y, w.left, w.top, w.right - w.left, w.bottom - w.top, dpi);
    EnumChildWindows(top, Child, reinterpret_cast<LPARAM>(top));
    return 0;
}
