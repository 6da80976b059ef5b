// wintool: the Win32 side of the Windows front end's tests under Wine (the native xtool sees
// the same windows as X11 windows, but not their handles or their controls).
//
//   wintool window W H [TITLE]  create a shown borderless top-level window of W x H pixels
//                          (title "wintool pane"), print its handle (decimal), destroy it when
//                          stdin closes
//   wintool still SCR W H  the same, titled "wintool still", showing the preview's still from
//                          SCR's resources drawn as the preview draws it
//   wintool find TITLE     the top-level window with that title: handle, visible, client size
//   wintool text TITLE     the texts of that window's static controls, one a line (UTF-8)
//   wintool close TITLE    post WM_CLOSE to that window
//   wintool children TITLE the child windows of that window: class, visible, rectangle in
//                          the window's client coordinates, one a line
//   wintool foreground     the title of the foreground window
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "still.h"
#include "wide.h"

namespace {

using orbilon::win32::Utf8;
using orbilon::win32::Wide;

HWND pane = nullptr;
preview::Bitmap still;

LRESULT CALLBACK PaneProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_DESTROY) PostQuitMessage(0);
    if (m == WM_PAINT && still) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        RECT r{};
        GetClientRect(w, &r);
        preview::DrawStill(dc, r, still.get());
        EndPaint(w, &ps);
        return 0;
    }
    return DefWindowProcW(w, m, wp, lp);
}

DWORD WINAPI WatchStdin(void*) {
    char buffer[64];
    DWORD n = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &n, nullptr) && n > 0) {
    }
    PostMessageW(pane, WM_CLOSE, 0, 0);
    return 0;
}

int Window(int width, int height, const std::wstring& title) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PaneProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = CreateSolidBrush(RGB(64, 64, 64));
    wc.lpszClassName = L"wintool";
    RegisterClassW(&wc);
    // No frame: the X11 window Wine makes for it is the client area, for screenshots.
    pane = CreateWindowExW(0, L"wintool", title.c_str(), WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                           0, width, height, nullptr, nullptr, wc.hInstance, nullptr);
    if (!pane) return 1;
    std::printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(pane)));
    std::fflush(stdout);
    CreateThread(nullptr, 0, WatchStdin, nullptr, 0, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}

BOOL CALLBACK PrintStatic(HWND child, LPARAM) {
    wchar_t cls[32] = {};
    GetClassNameW(child, cls, 32);
    if (lstrcmpiW(cls, L"Static") == 0) {
        wchar_t text[512] = {};
        GetWindowTextW(child, text, 512);
        if (text[0]) std::printf("%s\n", Utf8(text).c_str());
    }
    return TRUE;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM parent) {
    wchar_t cls[64] = {};
    GetClassNameW(child, cls, 64);
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, reinterpret_cast<HWND>(parent), reinterpret_cast<POINT*>(&r), 2);
    std::printf("%s visible=%d left=%ld top=%ld right=%ld bottom=%ld\n", Utf8(cls).c_str(),
                IsWindowVisible(child), r.left, r.top, r.right, r.bottom);
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string cmd = argc > 1 ? argv[1] : "";
    if (cmd == "foreground" && argc == 2) {
        wchar_t title[256] = {};
        GetWindowTextW(GetForegroundWindow(), title, 256);
        std::printf("%s\n", Utf8(title).c_str());
        return 0;
    }
    // Titles as the system passed them, whatever the process's code page.
    int n = 0;
    wchar_t** wargv = CommandLineToArgvW(GetCommandLineW(), &n);
    const auto arg = [&](int i) {
        return wargv && n == argc ? std::wstring(wargv[i]) : Wide(argv[i]);
    };
    if (cmd == "still" && argc == 5) {
        const HMODULE scr = LoadLibraryExW(
            arg(2).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        still = preview::LoadStill(scr);
        if (!still) return 1;
        return Window(std::atoi(argv[3]), std::atoi(argv[4]), L"wintool still");
    }
    if (cmd == "window" && (argc == 4 || argc == 5))
        return Window(std::atoi(argv[2]), std::atoi(argv[3]), argc == 5 ? arg(4) : L"wintool pane");
    if (argc != 3 || (cmd != "find" && cmd != "text" && cmd != "close" && cmd != "children")) {
        std::fprintf(stderr,
                     "usage: wintool window W H [TITLE] | find|text|close|children TITLE | "
                     "foreground\n");
        return 2;
    }
    const std::wstring title = arg(2);
    HWND w = FindWindowW(nullptr, title.c_str());
    if (!w) return 1;
    if (cmd == "find") {
        RECT r{};
        GetClientRect(w, &r);
        std::printf("%lu visible=%d width=%ld height=%ld\n",
                    static_cast<unsigned long>(reinterpret_cast<uintptr_t>(w)), IsWindowVisible(w),
                    r.right, r.bottom);
    } else if (cmd == "children") {
        EnumChildWindows(w, PrintChild, reinterpret_cast<LPARAM>(w));
    } else if (cmd == "text") {
        EnumChildWindows(w, PrintStatic, 0);
    } else {
        PostMessageW(w, WM_CLOSE, 0, 0);
    }
    return 0;
}
