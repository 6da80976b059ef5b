#include "command_win32.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <new>
#include <utility>

#include "button_machine.h"
#include "command_resources.h"
#include "face_geometry.h"
#include "screen_units.h"
#include "units.h"
#include "wide.h"

namespace orbilon::controls::win32 {

namespace {

using ::orbilon::win32::Utf8;
using ::orbilon::win32::Wide;

constexpr wchar_t kClassName[] = L"Command";
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMilliseconds = 100;
constexpr double kDesignFontPoints = 9.75;
constexpr char kDesignFont[] = "ＭＳ Ｐゴシック";

// Faces tried in turn when the stored one is not installed (Wine has none of Windows' fonts;
// Windows outside Japan may lack it): the metric-compatible free face, then Windows' own
// Japanese UI faces. With none of them GDI picks a Shift-JIS face by the character set.
constexpr const wchar_t* kFallbackFaces[] = {L"IPAPGothic", L"IPA Pゴシック", L"MS UI Gothic",
                                             L"Yu Gothic UI", L"Meiryo UI"};

HINSTANCE g_instance = nullptr;

struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using GdiBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, DeleteGdiObject>;
using GdiFont = std::unique_ptr<std::remove_pointer_t<HFONT>, DeleteGdiObject>;

// A memory device context with one bitmap selected into it for as long as it lives.
class MemoryImage {
public:
    MemoryImage() = default;
    MemoryImage(const MemoryImage&) = delete;
    MemoryImage& operator=(const MemoryImage&) = delete;
    ~MemoryImage() { Reset(); }

    // A 32-bit top-down DIB section of that size; false when GDI refuses it.
    bool Make(int width, int height) {
        Reset();
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        dc_ = CreateCompatibleDC(nullptr);
        if (!bitmap_ || !dc_) {
            Reset();
            return false;
        }
        old_ = SelectObject(dc_, bitmap_.get());
        width_ = width;
        height_ = height;
        return true;
    }

    void Reset() {
        if (dc_) {
            SelectObject(dc_, old_);
            DeleteDC(dc_);
        }
        dc_ = nullptr;
        old_ = nullptr;
        bitmap_.reset();
        width_ = height_ = 0;
    }

    HDC Dc() const { return dc_; }
    HBITMAP Bitmap() const { return bitmap_.get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    GdiBitmap bitmap_;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
    int width_ = 0, height_ = 0;
};

int ResourceId(Picture picture) {
    switch (picture) {
        case Picture::Normal:
            return IDB_COMMAND_NORMAL;
        case Picture::HighLight:
            return IDB_COMMAND_HIGHLIGHT;
        case Picture::Pressed:
            return IDB_COMMAND_PRESSED;
        case Picture::Disable:
            return IDB_COMMAND_DISABLE;
        case Picture::Selected:
            return IDB_COMMAND_SELECTED;
        case Picture::HighLightSelect:
            return IDB_COMMAND_HIGHLIGHTSELECT;
        case Picture::None:
            break;
    }
    return 0;
}

using Scale = ::orbilon::win32::ScreenScale;
Scale ScreenScale() {
    return ::orbilon::win32::ScreenTwipsPerPixel();
}

COLORREF FromOleColour(int32_t colour) {
    const units::OleColour c = units::DecodeOleColour(static_cast<uint32_t>(colour));
    return c.system ? GetSysColor(c.index) : RGB(c.r, c.g, c.b);
}

bool FaceInstalled(const std::wstring& face) {
    if (face.empty() || face.size() >= LF_FACESIZE) return false;
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    face.copy(query.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    EnumFontFamiliesExW(
        screen, &query,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM flag) -> int {
            *reinterpret_cast<bool*>(flag) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

MouseButton ButtonOf(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            return MouseButton::Left;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return MouseButton::Right;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            return MouseButton::Middle;
        default:
            return MouseButton::Other;
    }
}

unsigned MaskOf(MouseButton button) {
    return 1u << static_cast<unsigned>(button);
}

class Button {
public:
    explicit Button(HWND window) : hwnd_(window) {
        for (size_t i = 1; i < pictures_.size(); ++i) {
            pictures_[i].reset(static_cast<HBITMAP>(
                LoadImageW(g_instance, MAKEINTRESOURCEW(ResourceId(static_cast<Picture>(i))),
                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        }
    }

    void ReadProperties(const PropertyBag& bag) {
        ButtonProperties p;
        ReadButtonProperties(bag, AmbientFont(), p);
        m_.IsEnabled = p.IsEnabled;
        caption_ = Wide(p.caption);
        SetWindowTextW(hwnd_, caption_.c_str());
        MakeFont(p.font.name);
        m_.FirstRun = p.FirstRun;
        fontColour_ = p.FontColour;
        opaque_ = p.opaque;
        RefreshFace();
        // A disabled button still needs its face.
        if (!m_.Enabled()) ApplyEnabled();
    }

    LRESULT Handle(UINT message, WPARAM wp, LPARAM lp) {
        switch (message) {
            case WM_PAINT:
                Paint();
                return 0;
            case WM_ERASEBKGND:
                return 1;  // the paint covers every pixel
            case WM_SIZE:
                ApplyEnabled();
                return 0;
            case WM_SETTEXT: {
                const LRESULT r = DefWindowProcW(hwnd_, message, wp, lp);
                caption_ = lp ? reinterpret_cast<const wchar_t*>(lp) : L"";
                InvalidateRect(hwnd_, nullptr, FALSE);
                return r;
            }
            case WM_MOUSEMOVE:
                // While the button holds the pointer, moves outside it arrive too.
                if (Over(lp)) React(m_.MouseMove());
                return 0;
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_MBUTTONDOWN:
                Press(ButtonOf(message));
                return 0;
            case WM_LBUTTONUP:
            case WM_RBUTTONUP:
            case WM_MBUTTONUP:
                Release(ButtonOf(message), lp);
                return 0;
            case WM_CAPTURECHANGED:
                CaptureLost(reinterpret_cast<HWND>(lp));
                return 0;
            case WM_SETFOCUS:
                if (OwnFocusChange(reinterpret_cast<HWND>(wp), true)) React(m_.FocusIn());
                return 0;
            case WM_KILLFOCUS:
                if (OwnFocusChange(reinterpret_cast<HWND>(wp), false)) React(m_.FocusOut());
                return 0;
            case WM_TIMER:
                if (wp == kPollTimer) PollCursor();
                return 0;
            case WM_DESTROY:
                KillTimer(hwnd_, kPollTimer);
                return 0;
            default:
                return DefWindowProcW(hwnd_, message, wp, lp);
        }
    }

    void Initialize() {
        m_.Initialize();
        SetTimer(hwnd_, kPollTimer, kPollMilliseconds, nullptr);
    }

    void SetEnabled(bool enabled) {
        m_.IsEnabled = enabled ? kTrue : kFalse;
        ApplyEnabled();
    }

    void SetFontColour(int32_t colour) {
        fontColour_ = colour;
        RefreshFace();
        InvalidateRect(hwnd_, nullptr, FALSE);
    }

    void SetVisible(uint8_t visible) {
        opaque_ = visible != 0;
        if (opaque_) RefreshFace();
        InvalidateRect(hwnd_, nullptr, FALSE);
    }

    uint8_t State() const { return m_.ButtonState; }
    HBITMAP Face() const { return face_.Bitmap(); }
    std::wstring FontFace() const { return fontFace_; }

private:
    FontSpec AmbientFont() const {
        FontSpec ambient;
        ambient.name = kDesignFont;
        HWND parent = GetParent(hwnd_);
        auto font =
            parent ? reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0)) : nullptr;
        LOGFONTW lf{};
        if (font && GetObjectW(font, sizeof lf, &lf) == sizeof lf && lf.lfFaceName[0])
            ambient.name = Utf8(lf.lfFaceName);
        return ambient;
    }

    // The caption keeps the design size, weight and character set; only the face comes from
    // the design data. A face that is not installed falls back (see kFallbackFaces).
    void MakeFont(const std::string& name) {
        std::wstring face = Wide(name);
        if (!FaceInstalled(face)) {
            face.clear();
            for (const wchar_t* candidate : kFallbackFaces) {
                if (FaceInstalled(candidate)) {
                    face = candidate;
                    break;
                }
            }
        }
        LOGFONTW lf{};
        lf.lfHeight =
            -static_cast<LONG>(std::lround(kDesignFontPoints * 1440.0 / 72.0 / ScreenScale().y));
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = SHIFTJIS_CHARSET;
        lf.lfQuality = DEFAULT_QUALITY;
        face.copy(lf.lfFaceName, LF_FACESIZE - 1);
        font_.reset(CreateFontIndirectW(&lf));
        fontFace_.clear();
        if (HDC dc = GetDC(hwnd_)) {
            const HGDIOBJ old = SelectObject(dc, font_.get());
            wchar_t used[LF_FACESIZE] = {};
            if (GetTextFaceW(dc, LF_FACESIZE, used) > 0) fontFace_ = used;
            TEXTMETRICW tm{};
            lineHeight_ = GetTextMetricsW(dc, &tm) ? tm.tmHeight : 0;
            SelectObject(dc, old);
            ReleaseDC(hwnd_, dc);
        }
    }

    void React(Reaction reaction) {
        if (reaction.paint != Picture::None) PaintFace(reaction.paint);
        if (reaction.click) Click();
    }

    // The parent may destroy this button from its handler, so the click comes last.
    void Click() {
        HWND parent = GetParent(hwnd_);
        const auto id = static_cast<WORD>(GetDlgCtrlID(hwnd_));
        if (parent)
            SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(hwnd_));
    }

    void Press(MouseButton button) {
        pressed_ |= MaskOf(button);
        if (GetCapture() != hwnd_) SetCapture(hwnd_);
        React(m_.MouseDown(button));
        // The press paints first, the focus it brings second.
        if (button == MouseButton::Left && GetFocus() != hwnd_) SetFocus(hwnd_);
    }

    bool Over(LPARAM lp) const {
        RECT client{};
        GetClientRect(hwnd_, &client);
        const POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        return PtInRect(&client, at) != 0;
    }

    // Only a release whose press the button saw counts, and a press dragged off and released
    // elsewhere does not click.
    void Release(MouseButton button, LPARAM lp) {
        if (!(pressed_ & MaskOf(button))) return;
        pressed_ &= ~MaskOf(button);
        const Reaction r = m_.MouseUp(button, Over(lp));
        if (r.paint != Picture::None) PaintFace(r.paint);
        if (pressed_ == 0 && GetCapture() == hwnd_) ReleaseCapture();
        if (r.click) Click();
    }

    // Another window took the pointer while a button was down (a message box, a window
    // switch): the press ends without a click.
    void CaptureLost(HWND taker) {
        if (taker == hwnd_ || pressed_ == 0) return;
        const bool left = pressed_ & MaskOf(MouseButton::Left);
        pressed_ = 0;
        if (left) {
            const Reaction r = m_.MouseUp(MouseButton::Left, false);
            if (r.paint != Picture::None) PaintFace(r.paint);
        }
    }

    // Switching to another program's window takes the focus away and gives it back to the
    // same button; neither is a change of the button's own, so both are ignored.
    bool OwnFocusChange(HWND other, bool arriving) {
        const HWND root = GetAncestor(hwnd_, GA_ROOT);
        return m_.OwnFocusChange(arriving, other == nullptr || GetAncestor(other, GA_ROOT) != root);
    }

    void PollCursor() {
        POINT at{};
        if (!GetCursorPos(&at)) return;
        if (WindowFromPoint(at) != hwnd_) React(m_.CursorLeft());
    }

    void ApplyEnabled() { PaintFace(m_.Enabled() ? Picture::Normal : Picture::Disable); }

    void RefreshFace() {
        const ButtonMachine::Refresh r = m_.RefreshFace();
        if (!r.paint) return;
        if (r.resetCaptionColour) fontColour_ = 0;
        PaintFace(Picture::Normal);
    }

    void PaintFace(Picture picture) {
        m_.NotePaint();
        RECT client{};
        GetClientRect(hwnd_, &client);
        const int w = client.right, h = client.bottom;
        if (w <= 0 || h <= 0) return;
        if ((face_.Width() != w || face_.Height() != h) && !face_.Make(w, h)) return;
        const HDC dc = face_.Dc();

        const RECT all{0, 0, w, h};
        FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
        PaintGradient(dc, w, h);

        HBITMAP source = pictures_[static_cast<size_t>(picture)].get();
        if (source) {
            const Scale s = ScreenScale();
            const auto W = static_cast<int32_t>(std::lround(w * s.x));
            const auto H = static_cast<int32_t>(std::lround(h * s.y));
            const HDC src = CreateCompatibleDC(dc);
            const HGDIOBJ old = SelectObject(src, source);
            SetStretchBltMode(dc, COLORONCOLOR);
            for (const FramePiece& piece : FramePieces(W, H)) {
                const Rect d = ToPixels(piece.dest, s.x, s.y);
                const Rect r = ToPixels(piece.src, kPictureTwipsPerPixel, kPictureTwipsPerPixel);
                if (d.w == r.w && d.h == r.h)
                    BitBlt(dc, d.x, d.y, d.w, d.h, src, r.x, r.y, SRCCOPY);
                else
                    StretchBlt(dc, d.x, d.y, d.w, d.h, src, r.x, r.y, r.w, r.h, SRCCOPY);
            }
            SelectObject(src, old);
            DeleteDC(src);
        }
        GdiFlush();
        InvalidateRect(hwnd_, nullptr, FALSE);
    }

    void PaintGradient(HDC dc, int w, int h) {
        const GradientTones tones = TonesFor(m_.HoverShade);
        TRIVERTEX v[2] = {{0, 0, tones.top.red, tones.top.green, tones.top.blue, tones.top.alpha},
                          {w - 1, h - 1, tones.bottom.red, tones.bottom.green, tones.bottom.blue,
                           tones.bottom.alpha}};
        GRADIENT_RECT mesh{0, 1};
        GradientFill(dc, v, 2, &mesh, 1, GRADIENT_FILL_RECT_V);
    }

    // The face is only shown here, never drawn; the caption, a label without a window of
    // its own, goes on top.
    void Paint() {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(hwnd_, &ps);
        if (!dc) return;
        RECT client{};
        GetClientRect(hwnd_, &client);
        if (opaque_ && face_.Dc())
            BitBlt(dc, 0, 0, face_.Width(), face_.Height(), face_.Dc(), 0, 0, SRCCOPY);
        else
            PaintParentBackground(dc, client);
        PaintCaption(dc, client);
        EndPaint(hwnd_, &ps);
    }

    void PaintParentBackground(HDC dc, const RECT& client) {
        HWND parent = GetParent(hwnd_);
        if (!parent) {
            FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
            return;
        }
        POINT origin{0, 0};
        MapWindowPoints(hwnd_, parent, &origin, 1);
        POINT old{};
        OffsetViewportOrgEx(dc, -origin.x, -origin.y, &old);
        SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        SetViewportOrgEx(dc, old.x, old.y, nullptr);
    }

    void PaintCaption(HDC dc, const RECT& client) {
        if (caption_.empty()) return;
        const Scale s = ScreenScale();
        const auto W = static_cast<int32_t>(std::lround(client.right * s.x));
        const auto H = static_cast<int32_t>(std::lround(client.bottom * s.y));
        const Rect r = ToPixels(CaptionRect(W, H), s.x, s.y);
        // The designed height fits the design font's 13-pixel line; a taller face keeps its
        // place but is not cut off below.
        RECT box{r.x, r.y, r.x + r.w, r.y + std::max(r.h, lineHeight_)};
        const HGDIOBJ old =
            SelectObject(dc, font_ ? font_.get() : GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, m_.Enabled() ? FromOleColour(fontColour_) : GetSysColor(COLOR_GRAYTEXT));
        DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &box,
                  DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
    }

    HWND hwnd_;
    ButtonMachine m_;  // IsEnabled, FirstRun, ButtonState, HoverShade, MouseIsDown
    std::array<GdiBitmap, 7> pictures_;  // indexed by Picture; None holds nothing
    MemoryImage face_;
    GdiFont font_;
    std::wstring fontFace_;
    int lineHeight_ = 0;
    std::wstring caption_;
    int32_t fontColour_ = 0;
    bool opaque_ = true;
    unsigned pressed_ = 0;  // mouse buttons pressed on the button, by MaskOf
};

Button* Of(HWND window) {
    if (!window) return nullptr;
    wchar_t name[16] = {};
    if (GetClassNameW(window, name, 16) == 0 || lstrcmpW(name, kClassName) != 0) return nullptr;
    return reinterpret_cast<Button*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK CommandProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_NCCREATE) {
        auto* button = new (std::nothrow) Button(window);
        if (!button) return FALSE;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(button));
        return DefWindowProcW(window, message, wp, lp);
    }
    auto* button = reinterpret_cast<Button*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete button;
        return DefWindowProcW(window, message, wp, lp);
    }
    if (message == WM_CREATE && button) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lp);
        const auto* design = static_cast<const PropertyBag*>(create->lpCreateParams);
        button->ReadProperties(design ? *design : PropertyBag{});
        return 0;
    }
    return button ? button->Handle(message, wp, lp) : DefWindowProcW(window, message, wp, lp);
}

}  // namespace

bool RegisterCommandClass(HINSTANCE instance) {
    g_instance = instance;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = CommandProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (RegisterClassExW(&wc)) return true;
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateCommand(HWND parent, int id, const PropertyBag& design, int x, int y, int width,
                   int height) {
    return CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, x, y, width,
                           height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           g_instance, const_cast<PropertyBag*>(&design));
}

void InitializeCommand(HWND button) {
    if (Button* b = Of(button)) b->Initialize();
}

void SetCommandEnabled(HWND button, bool enabled) {
    if (Button* b = Of(button)) b->SetEnabled(enabled);
}

void SetCommandFontColour(HWND button, int32_t colour) {
    if (Button* b = Of(button)) b->SetFontColour(colour);
}

void SetCommandVisible(HWND button, uint8_t visible) {
    if (Button* b = Of(button)) b->SetVisible(visible);
}

uint8_t CommandState(HWND button) {
    const Button* b = Of(button);
    return b ? b->State() : 0;
}

HBITMAP CommandFace(HWND button) {
    const Button* b = Of(button);
    return b ? b->Face() : nullptr;
}

std::wstring CommandFontFace(HWND button) {
    const Button* b = Of(button);
    return b ? b->FontFace() : std::wstring();
}

}  // namespace orbilon::controls::win32
