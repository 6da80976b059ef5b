// The Command window class fed the messages Windows sends it: looks painted into its face,
// clicks reaching the parent, the enabled state, and a caption font with Japanese glyphs.
// Needs a display (Wine's windows), see tests/win32/CMakeLists.txt.
#include "command_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "command_resources.h"

namespace {

namespace cw = orbilon::controls::win32;
using orbilon::controls::PropertyBag;

constexpr int kW = 117, kH = 28;

struct Clicks {
    int count = 0;
    HWND from = nullptr;
    bool destroySender = false;
};
Clicks g_clicks;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        ++g_clicks.count;
        g_clicks.from = reinterpret_cast<HWND>(lp);
        if (g_clicks.destroySender) DestroyWindow(g_clicks.from);
        return 0;
    }
    return DefWindowProcW(window, message, wp, lp);
}

// 0x00RRGGBB
uint32_t FacePixel(HWND button, int x, int y) {
    DIBSECTION ds{};
    HBITMAP face = cw::CommandFace(button);
    if (!face || GetObjectW(face, sizeof ds, &ds) != sizeof ds || !ds.dsBm.bmBits)
        return 0xFF000000;
    GdiFlush();
    const auto* row = static_cast<const uint8_t*>(ds.dsBm.bmBits) + y * ds.dsBm.bmWidthBytes;
    const uint8_t* p = row + x * 4;
    return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

uint32_t PicturePixel(int id, int x, int y) {
    auto bitmap = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return 0xFE000000;
    HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return uint32_t{GetRValue(c)} << 16 | uint32_t{GetGValue(c)} << 8 | GetBValue(c);
}

// The top edge's middle tells the six looks apart.
uint32_t Look(HWND button) {
    return FacePixel(button, kW / 2, 1);
}
uint32_t LookOf(int id) {
    return PicturePixel(id, 32, 1);
}

LPARAM Inside() {
    return MAKELPARAM(kW / 2, kH / 2);
}
LPARAM Outside() {
    return MAKELPARAM(kW + 40, kH + 40);
}

class CommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_clicks = {};
        HINSTANCE instance = GetModuleHandleW(nullptr);
        ASSERT_TRUE(cw::RegisterCommandClass(instance));
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = instance;
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = L"CommandTestParent";
        RegisterClassExW(&wc);
        parent_ = CreateWindowExW(0, wc.lpszClassName, L"Command test", WS_POPUP | WS_VISIBLE, 300,
                                  300, 300, 120, nullptr, nullptr, instance, nullptr);
        ASSERT_NE(parent_, nullptr);
        // The poll must not see the cursor over a button unless a test puts it there.
        SetCursorPos(5, 5);
    }
    void TearDown() override { DestroyWindow(parent_); }

    HWND Make(const PropertyBag& bag = {}, int id = 7) {
        return cw::CreateCommand(parent_, id, bag, 10, 10, kW, kH);
    }

    HWND parent_ = nullptr;
};

TEST_F(CommandTest, MouseAndFocusMessagesPaintTheLooksAndClickOnce) {
    HWND b = Make();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Look(b), LookOf(IDB_COMMAND_NORMAL));
    // Before it is armed, the cursor changes nothing.
    SendMessageW(b, WM_MOUSEMOVE, 0, Inside());
    EXPECT_EQ(cw::CommandState(b), 0);

    cw::InitializeCommand(b);
    SendMessageW(b, WM_MOUSEMOVE, 0, Inside());
    EXPECT_EQ(cw::CommandState(b), 2);
    EXPECT_EQ(Look(b), LookOf(IDB_COMMAND_HIGHLIGHT));
    // Hovered: the tone at the top, white at the bottom, blending in between.
    const uint32_t top = FacePixel(b, 6, 4), bottom = FacePixel(b, 6, kH - 5);
    EXPECT_LT(top & 0xFF, bottom & 0xFF);
    EXPECT_NEAR(static_cast<int>(bottom >> 16), 255, 12);

    // The press focuses it: state 4, still Pressed, the pointer held.
    SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, Inside());
    EXPECT_EQ(GetFocus(), b);
    EXPECT_EQ(GetCapture(), b);
    EXPECT_EQ(cw::CommandState(b), 4);
    EXPECT_EQ(Look(b), LookOf(IDB_COMMAND_PRESSED));
    SendMessageW(b, WM_LBUTTONUP, 0, Inside());
    EXPECT_EQ(g_clicks.count, 1);
    EXPECT_EQ(g_clicks.from, b);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Look(b), LookOf(IDB_COMMAND_HIGHLIGHTSELECT));

    // The focus leaving returns it to Normal.
    SetFocus(parent_);
    EXPECT_EQ(cw::CommandState(b), 1);
    EXPECT_EQ(Look(b), LookOf(IDB_COMMAND_NORMAL));
    const uint32_t idleTop = FacePixel(b, 6, 4), idleBottom = FacePixel(b, 6, kH - 5);
    EXPECT_GT(idleTop & 0xFF, idleBottom & 0xFF);
}

TEST_F(CommandTest, OnlyAPressReleasedOverTheButtonClicks) {
    HWND b = Make();
    cw::InitializeCommand(b);
    SendMessageW(b, WM_MOUSEMOVE, 0, Inside());
    // Dragged off before the release: no click, the pointer let go.
    SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, Inside());
    SendMessageW(b, WM_LBUTTONUP, 0, Outside());
    EXPECT_EQ(g_clicks.count, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    // A release whose press went elsewhere.
    SendMessageW(b, WM_LBUTTONUP, 0, Inside());
    SendMessageW(b, WM_RBUTTONUP, 0, Inside());
    EXPECT_EQ(g_clicks.count, 0);
    // A press cut short by another window taking the pointer ends without a click.
    SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, Inside());
    SetCapture(parent_);
    ReleaseCapture();
    SendMessageW(b, WM_LBUTTONUP, 0, Inside());
    EXPECT_EQ(g_clicks.count, 0);
}

TEST_F(CommandTest, ADisabledButtonShowsDisableAndNeitherReactsNorClicks) {
    PropertyBag bag;
    bag.Set("enabled", "False");
    HWND b = Make(bag);
    cw::InitializeCommand(b);
    EXPECT_EQ(Look(b), LookOf(IDB_COMMAND_DISABLE));
    SendMessageW(b, WM_MOUSEMOVE, 0, Inside());
    SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, Inside());
    SendMessageW(b, WM_LBUTTONUP, 0, Inside());
    EXPECT_EQ(g_clicks.count, 0);
    EXPECT_EQ(cw::CommandState(b), 1);
    EXPECT_EQ(Look(b), LookOf(IDB_COMMAND_DISABLE));

    cw::SetCommandEnabled(b, true);
    EXPECT_EQ(Look(b), LookOf(IDB_COMMAND_NORMAL));
    // A resize shows Normal whatever the state, and keeps the state.
    SendMessageW(b, WM_MOUSEMOVE, 0, Inside());
    SetWindowPos(b, nullptr, 0, 0, kW + 10, kH, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(cw::CommandState(b), 2);
    EXPECT_EQ(FacePixel(b, (kW + 10) / 2, 1), LookOf(IDB_COMMAND_NORMAL));
}

TEST_F(CommandTest, TheCursorPollEndsTheHover) {
    HWND b = Make();
    cw::InitializeCommand(b);
    SendMessageW(b, WM_MOUSEMOVE, 0, Inside());
    ASSERT_EQ(cw::CommandState(b), 2);
    // The cursor is far away: within a few ticks the hover ends.
    const DWORD start = GetTickCount();
    MSG msg;
    while (cw::CommandState(b) == 2 && GetTickCount() - start < 5000) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(20);
    }
    EXPECT_EQ(cw::CommandState(b), 1);
    EXPECT_EQ(Look(b), LookOf(IDB_COMMAND_NORMAL));
}

TEST_F(CommandTest, AParentMayDestroyTheButtonFromItsClick) {
    HWND b = Make();
    cw::InitializeCommand(b);
    g_clicks.destroySender = true;
    SendMessageW(b, WM_MOUSEMOVE, 0, Inside());
    SendMessageW(b, WM_LBUTTONDOWN, MK_LBUTTON, Inside());
    SendMessageW(b, WM_LBUTTONUP, 0, Inside());
    EXPECT_EQ(g_clicks.count, 1);
    EXPECT_FALSE(IsWindow(b));
}

TEST_F(CommandTest, TheCaptionFontHasJapaneseGlyphsWhateverFaceIsStored) {
    for (const char* stored :
         {"ＭＳ Ｐゴシック;9.75;400;128;0;0;0", "No Such Face;12;700;0;0;0;0"}) {
        PropertyBag bag;
        bag.Set("font", stored);
        bag.Set("caption", "設定");
        HWND b = Make(bag);
        const std::wstring face = cw::CommandFontFace(b);
        EXPECT_FALSE(face.empty()) << stored;
        HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                                 face.c_str());
        HDC dc = GetDC(b);
        const HGDIOBJ old = SelectObject(dc, font);
        WORD glyphs[4] = {};
        const wchar_t text[] = L"設定ｷｬ";
        ASSERT_EQ(GetGlyphIndicesW(dc, text, 4, glyphs, GGI_MARK_NONEXISTING_GLYPHS), 4u);
        for (WORD g : glyphs) EXPECT_NE(g, 0xFFFF) << stored;
        SelectObject(dc, old);
        ReleaseDC(b, dc);
        DeleteObject(font);
        wchar_t text2[16] = {};
        GetWindowTextW(b, text2, 16);
        EXPECT_STREQ(text2, L"設定");
        DestroyWindow(b);
    }
}

}  // namespace
