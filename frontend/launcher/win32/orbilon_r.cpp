#include "orbilon_r.h"

#include <windows.h>

#include <memory>
#include <type_traits>

#include "app.h"
#include "resources.h"

namespace {

constexpr UINT_PTR kParentWatch = 1;

struct ObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, ObjectDeleter>;

HWND parent = nullptr;
Bitmap still;

void FitToParent(HWND window) {
    RECT pane{};
    if (!GetClientRect(parent, &pane)) return;
    RECT mine{};
    GetClientRect(window, &mine);
    if (mine.right == pane.right && mine.bottom == pane.bottom) return;
    MoveWindow(window, 0, 0, pane.right, pane.bottom, TRUE);
}

// The still scaled to fill the whole window; black where it cannot be drawn.
void Paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client{};
    GetClientRect(window, &client);
    BITMAP info{};
    HDC memory = still ? CreateCompatibleDC(dc) : nullptr;
    if (memory && GetObjectW(still.get(), sizeof info, &info)) {
        HGDIOBJ old = SelectObject(memory, still.get());
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, info.bmWidth, info.bmHeight,
                   SRCCOPY);
        SelectObject(memory, old);
    } else {
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    if (memory) DeleteDC(memory);
    EndPaint(window, &ps);
}

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the still covers everything
        case WM_SIZE:
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_TIMER:
            // The pane's end may reach this window only as its parent's absence.
            if (!IsWindow(parent)) app::EndProcess();
            FitToParent(window);
            return 0;
        case WM_CLOSE:
        case WM_DESTROY:
            // Once the preview form is gone no form remains, and the process ends.
            app::EndProcess();
        default:
            return DefWindowProcW(window, message, wp, lp);
    }
}

}  // namespace

void PlacePreview(int32_t parentHandle) {
    parent = reinterpret_cast<HWND>(static_cast<intptr_t>(parentHandle));
    // A handle of no window would leave a process that nothing ends.
    if (parentHandle == 0 || !IsWindow(parent)) app::EndProcess();

    still.reset(
        static_cast<HBITMAP>(LoadImageW(app::Instance, MAKEINTRESOURCEW(ORBILON_PREVIEW_BITMAP),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = PreviewProc;
    wc.hInstance = app::Instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"Orbilon_R";
    RegisterClassExW(&wc);
    HWND window = CreateWindowExW(0, L"Orbilon_R", L"Preview Window", WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, app::Instance, nullptr);
    if (!window) app::EndProcess();

    // A child now: a popup and a child at once is no valid style.
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    SetWindowLongPtrW(window, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD);
    if (!SetParent(window, parent)) app::EndProcess();
    FitToParent(window);
    ShowWindow(window, SW_SHOWNA);
    SetTimer(window, kParentWatch, 250, nullptr);
}
