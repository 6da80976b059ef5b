#include "orbilon_r_win32.h"

#include <windows.h>

#include "app.h"
#include "still.h"

namespace {

constexpr UINT_PTR kParentWatch = 1;

HWND parent = nullptr;
preview::Bitmap still;

void FitToParent(HWND window) {
    RECT pane{};
    if (!GetClientRect(parent, &pane)) return;
    RECT mine{};
    GetClientRect(window, &mine);
    if (mine.right == pane.right && mine.bottom == pane.bottom) return;
    MoveWindow(window, 0, 0, pane.right, pane.bottom, TRUE);
}

void Paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client{};
    GetClientRect(window, &client);
    preview::DrawStill(dc, client, still.get());
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

    still = preview::LoadStill(app::Instance);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = PreviewProc;
    wc.hInstance = app::Instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"Orbilon_R";
    RegisterClassExW(&wc);
    // Born a child of the pane, so it never shows as a window of its own.
    HWND window = CreateWindowExW(0, L"Orbilon_R", L"Preview Window", WS_CHILD | WS_CLIPSIBLINGS, 0,
                                  0, 0, 0, parent, nullptr, app::Instance, nullptr);
    if (!window) app::EndProcess();
    FitToParent(window);
    ShowWindow(window, SW_SHOWNA);
    SetTimer(window, kParentWatch, 250, nullptr);
}
