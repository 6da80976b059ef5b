// Placeholder until the window class lands: a system push button.
#include "command.h"

namespace orbilon::controls::win32 {

bool RegisterCommandClass(HINSTANCE) { return true; }

HWND CreateCommand(HWND parent, int id, const PropertyBag&, int x, int y, int width, int height) {
    return CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, y, width,
                           height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

void InitializeCommand(HWND) {}

void SetCommandEnabled(HWND button, bool enabled) { EnableWindow(button, enabled); }

}  // namespace orbilon::controls::win32
