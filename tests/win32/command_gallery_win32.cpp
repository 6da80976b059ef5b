// The Win32 Command button on a real display, for command_test.sh.
//
//     command_gallery.exe gallery   the six looks (plus a transparent face and a wide button)
//                                   in the Qt gallery's layout, titled "Command gallery"
//     command_gallery.exe host      an armed button (id 1) and a disabled one (id 2), titled
//                                   "Command host"; prints "click ID" for each BN_CLICKED
//
// Both windows sit at the screen's origin, so window and screen pixels coincide, and live until
// they are closed. Before showing, each prints the pixels it expects as
//     point X Y R G B TOLERANCE     (gallery: a frame or gradient pixel of a button)
//     look NAME X Y R G B           (host: the top edge of button 1 in that look)
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "command_resources.h"
#include "command_win32.h"
#include "face_geometry.h"
#include "wide.h"

namespace cw = orbilon::controls::win32;
namespace cc = orbilon::controls;

namespace {

constexpr int kButtonW = 117, kButtonH = 28;  // 1755 x 420 twips at 96 DPI
const COLORREF kFormColour = RGB(0xEF, 0xEF, 0xEF);

// A state picture as 0x00RRGGBB pixels, rows top to bottom.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Picture LoadPicture(int id) {
    Picture p;
    auto bitmap = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return p;
    BITMAP bm{};
    GetObjectW(bitmap, sizeof bm, &bm);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    p.pixels.resize(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC screen = GetDC(nullptr);
    if (GetDIBits(screen, bitmap, 0, bm.bmHeight, p.pixels.data(), &info, DIB_RGB_COLORS)) {
        p.width = bm.bmWidth;
        p.height = bm.bmHeight;
    }
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return p;
}

void PrintPoint(int x, int y, uint32_t rgb, int tolerance) {
    std::printf("point %d %d %u %u %u %d\n", x, y, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF,
                rgb & 0xFF, tolerance);
}

uint32_t Blend(const cc::Tone& a, const cc::Tone& b, double t) {
    const auto mix = [t](uint16_t from, uint16_t to) {
        return static_cast<uint32_t>(std::lround(((from >> 8) * (1 - t) + (to >> 8) * t)));
    };
    return (mix(a.red, b.red) << 16) | (mix(a.green, b.green) << 8) | mix(a.blue, b.blue);
}

// Frame pixels of a button at (bx, by) and where they come from in its picture (corners as
// they are, edges from their middle), then two gradient pixels inside the frame.
void PrintButtonPoints(int bx, int by, const Picture& pic, bool hoverShade) {
    const int w = kButtonW, h = kButtonH;
    const int frame[][4] = {{1, 1, 1, 1},      {2, 3, 2, 3},          {3, 2, 3, 2},
                            {w / 2, 1, 32, 1}, {1, h / 2, 1, 12},     {w - 2, h - 2, 62, 23},
                            {w - 3, 2, 61, 2}, {w / 2, h - 2, 32, 23}};
    for (const auto& f : frame) PrintPoint(bx + f[0], by + f[1], pic.At(f[2], f[3]), 0);
    const cc::GradientTones tones = cc::TonesFor(hoverShade);
    for (int y : {5, h - 6})
        PrintPoint(bx + 5, by + y, Blend(tones.top, tones.bottom, y / double(h - 1)), 6);
}

struct Host {
    bool printClicks = false;
};
Host g_host;

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wp) == BN_CLICKED && g_host.printClicks) {
                std::printf("click %u\n", LOWORD(wp));
                std::fflush(stdout);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wp, lp);
    }
}

HWND MakeForm(const wchar_t* title, int width, int height) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FormProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = CreateSolidBrush(kFormColour);
    wc.lpszClassName = L"CommandGalleryForm";
    RegisterClassExW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, title, WS_POPUP | WS_CLIPCHILDREN, 0, 0, width,
                           height, nullptr, nullptr, wc.hInstance, nullptr);
}

orbilon::controls::PropertyBag Captioned(const char* caption) {
    orbilon::controls::PropertyBag bag;
    bag.Set("caption", caption);
    return bag;
}

LPARAM Middle() {
    return MAKELPARAM(kButtonW / 2, kButtonH / 2);
}

int Gallery() {
    HWND form = MakeForm(L"Command gallery", 420, 200);
    const int pictureIds[] = {IDB_COMMAND_NORMAL,   IDB_COMMAND_HIGHLIGHT,
                              IDB_COMMAND_PRESSED,  IDB_COMMAND_DISABLE,
                              IDB_COMMAND_SELECTED, IDB_COMMAND_HIGHLIGHTSELECT};
    const char* looks[] = {"Normal",  "HighLight", "Pressed",
                           "Disable", "Selected",  "HighLightSelect"};
    HWND b[6];
    for (int i = 0; i < 6; ++i) {
        const int x = 10 + (i % 3) * 135, y = 10 + (i / 3) * 45;
        b[i] = cw::CreateCommand(form, 10 + i, Captioned(looks[i]), x, y, kButtonW, kButtonH);
        const Picture pic = LoadPicture(pictureIds[i]);
        if (pic.width != 64 || pic.height != 25) {
            std::fprintf(stderr, "no %s picture in the resources\n", looks[i]);
            return 1;
        }
        PrintButtonPoints(x, y, pic, i == 1);
    }
    HWND clear =
        cw::CreateCommand(form, 20, Captioned("透明 (Visible 0)"), 10, 100, kButtonW, kButtonH);
    cw::SetCommandVisible(clear, 0);
    // The face gone, the form shows through where the frame would be.
    PrintPoint(10 + 1, 100 + 1,
               GetRValue(kFormColour) << 16 | GetGValue(kFormColour) << 8 | GetBValue(kFormColour),
               0);
    cw::CreateCommand(form, 21, Captioned("参照... 幅の広いボタン"), 145, 100, 260, 40);
    std::fflush(stdout);
    ShowWindow(form, SW_SHOWNORMAL);
    UpdateWindow(form);

    // The same looks as the Qt gallery, through the messages the real events send.
    cw::InitializeCommand(b[0]);
    cw::InitializeCommand(b[1]);
    SetCursorPos(10 + 135 + 30, 10 + 14);  // keeps the poll content
    SendMessageW(b[1], WM_MOUSEMOVE, 0, Middle());
    SetFocus(b[2]);  // not armed: the focus selects it, then a press
    SendMessageW(b[2], WM_LBUTTONDOWN, MK_LBUTTON, Middle());
    cw::SetCommandEnabled(b[3], false);
    SendMessageW(b[4], WM_SETFOCUS, 0, 0);
    SendMessageW(b[5], WM_SETFOCUS, 0, 0);
    SendMessageW(b[5], WM_MOUSEMOVE, 0, Middle());
    std::printf("font %s\n", orbilon::win32::Utf8(cw::CommandFontFace(b[0])).c_str());
    std::fflush(stdout);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

int HostForm() {
    g_host.printClicks = true;
    HWND form = MakeForm(L"Command host", 300, 100);
    HWND armed = cw::CreateCommand(form, 1, Captioned("設定"), 10, 10, kButtonW, kButtonH);
    HWND off = cw::CreateCommand(form, 2, Captioned("ｷｬﾝｾﾙ"), 150, 10, kButtonW, kButtonH);
    const struct {
        const char* name;
        int id;
    } looks[] = {{"Normal", IDB_COMMAND_NORMAL},
                 {"HighLight", IDB_COMMAND_HIGHLIGHT},
                 {"Selected", IDB_COMMAND_SELECTED},
                 {"HighLightSelect", IDB_COMMAND_HIGHLIGHTSELECT}};
    for (const auto& look : looks) {
        const uint32_t rgb = LoadPicture(look.id).At(32, 1);
        std::printf("look %s %d %d %u %u %u\n", look.name, 10 + kButtonW / 2, 10 + 1,
                    (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    }
    std::fflush(stdout);
    ShowWindow(form, SW_SHOWNORMAL);
    UpdateWindow(form);
    cw::InitializeCommand(armed);
    cw::InitializeCommand(off);
    cw::SetCommandEnabled(off, false);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    std::printf("closed\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (!cw::RegisterCommandClass(GetModuleHandleW(nullptr))) return 1;
    const std::string mode = argc > 1 ? argv[1] : "gallery";
    if (mode == "gallery") return Gallery();
    if (mode == "host") return HostForm();
    std::fprintf(stderr, "usage: command_gallery.exe gallery|host\n");
    return 2;
}
