// The settings dialog Orbilon_P as a Win32 window class with a modal loop of its own. The
// labels, marks, heading frame and both shadings are drawn by the form and its panel (so they
// stand on the shading without a background of their own); the track box is a system combo
// box, the four buttons are Command windows.
#include "orbilon_p_win32.h"

// windows.h first: the other system headers build on it.
// clang-format off
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
// clang-format on

#include <algorithm>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "command_win32.h"
#include "design_data.h"
#include "dialog_layout.h"
#include "doc_page.h"
#include "orbilon_p_form.h"
#include "orbilon_p_logic.h"
#include "orbilon_p_resources.h"
#include "screen_units.h"
#include "settings.h"
#include "wide.h"
#include "window_contract.h"
#include "window_zoom_win32.h"

namespace {

namespace dlg = orbilon::dialog;
namespace cmd = orbilon::controls::win32;
using orbilon::win32::Utf8;
using orbilon::win32::Wide;

constexpr const wchar_t* kFormClass = L"Orbilon_P";
constexpr const wchar_t* kPanelClass = L"Orbilon_P_Panel";

// Control ids; clear of IDOK and IDCANCEL, which IsDialogMessage sends for Enter and Escape.
enum : int { kIdRepeat = 1001, kIdCmdBgm, kIdCmdSet, kIdCmdCan, kIdCmdEtc };

using dlg::TwipRect;
constexpr int kMarkSize = 12;  // pixels of the two mark pictures, drawn at 96 DPI

template <class H>
struct GdiDeleter {
    void operator()(H h) const { DeleteObject(h); }
};
template <class H>
using Gdi = std::unique_ptr<std::remove_pointer_t<H>, GdiDeleter<H>>;

struct IconDeleter {
    void operator()(HICON h) const { DestroyIcon(h); }
};
using Icon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

// A memory device context with a bitmap selected into it, restored and freed on the way out.
class MemoryDc {
public:
    MemoryDc(HDC screen, int width, int height)
        : dc_(CreateCompatibleDC(screen)),
          bitmap_(CreateCompatibleBitmap(screen, width > 0 ? width : 1, height > 0 ? height : 1)),
          old_(SelectObject(dc_, bitmap_)) {}
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC get() const { return dc_; }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

// The DPI of the primary monitor, where the dialog opens: its own where Windows (8.1 on) tells
// a per-monitor aware program, else the screen's logical DPI.
// Twips per pixel (15 at 96 DPI).
struct Scale {
    double x = 15.0, y = 15.0;
    int dpiY = 96;

    static Scale OfScreen() {
        const orbilon::win32::ScreenScale screen = orbilon::win32::ScreenTwipsPerPixel();
        return {screen.x, screen.y, screen.dpiY};
    }
    RECT Px(const TwipRect& r) const {
        const int left = dlg::TwipsToPixels(r.left, x);
        const int top = dlg::TwipsToPixels(r.top, y);
        return {left, top, left + dlg::TwipsToPixels(r.width, x),
                top + dlg::TwipsToPixels(r.height, y)};
    }
};

int CALLBACK FaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// The first of the faces the system has; "ＭＳ Ｐゴシック" is missing outside Japanese Windows,
// where IPAPGothic (metric-compatible) may stand in. None found: the first, for the mapper.
std::wstring PickFace(std::initializer_list<const wchar_t*> faces, BYTE charset) {
    HDC dc = GetDC(nullptr);
    std::wstring chosen = *faces.begin();
    for (const wchar_t* face : faces) {
        LOGFONTW lf{};
        lf.lfCharSet = charset;
        lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
        bool found = false;
        EnumFontFamiliesExW(dc, &lf, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
        if (found) {
            chosen = face;
            break;
        }
    }
    ReleaseDC(nullptr, dc);
    return chosen;
}

Gdi<HFONT> MakeFont(const std::wstring& face, double points, BYTE charset, int dpiY) {
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(points * dpiY / 72.0 + 0.5);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = charset;
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    return Gdi<HFONT>(CreateFontIndirectW(&lf));
}

// Rows 0 to height inclusive, each one colour from the |sin| level of its row, as one
// GradientFill call of single-row rectangles.
void Shade(HDC dc, int width, int height, COLORREF (*colour)(int level)) {
    if (width <= 0 || height <= 0) return;
    const size_t rows = static_cast<size_t>(height) + 1;
    std::vector<TRIVERTEX> vertices(rows * 2);
    std::vector<GRADIENT_RECT> rects(rows);
    for (size_t y = 0; y < rows; ++y) {
        const COLORREF c = colour(dlg::GradientLevel(static_cast<int>(y), height));
        for (int end = 0; end < 2; ++end) {
            TRIVERTEX& v = vertices[y * 2 + end];
            v.x = end ? width : 0;
            v.y = static_cast<LONG>(y) + end;
            v.Red = static_cast<COLOR16>(GetRValue(c) << 8);
            v.Green = static_cast<COLOR16>(GetGValue(c) << 8);
            v.Blue = static_cast<COLOR16>(GetBValue(c) << 8);
            v.Alpha = 0;
        }
        rects[y] = {static_cast<ULONG>(y * 2), static_cast<ULONG>(y * 2 + 1)};
    }
    GradientFill(dc, vertices.data(), static_cast<ULONG>(vertices.size()), rects.data(),
                 static_cast<ULONG>(rects.size()), GRADIENT_FILL_RECT_V);
}

COLORREF ToColorRef(const dlg::Rgb& c) {
    return RGB(c.r, c.g, c.b);
}
COLORREF FormShade(int level) {
    return ToColorRef(dlg::FormShade(level));
}
COLORREF PanelShade(int level) {
    return ToColorRef(dlg::PanelShade(level));
}

// A one-line label's text, without "&" prefixes. Not clipped: the places were sized for
// "ＭＳ Ｐゴシック", and a stand-in face may run a few pixels wider; nothing lies right of them.
void DrawLabel(HDC dc, const std::string& text, RECT r, UINT format) {
    const std::wstring w = Wide(text);
    DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &r,
              format | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

bool Inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

class Form : private orbilon::dialog::FormHandlers {
public:
    Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    ~Form();

    void Run();

private:
    static Form* FormOf(HWND hwnd, UINT msg, LPARAM lp);
    static void Paint(HWND hwnd, Form& form, void (Form::*paint)(HDC));
    static LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static void RegisterClasses(HINSTANCE instance);

    void Create();
    HWND MakeButton(HWND parent, int id, const char* name, const TwipRect& place);
    void Load() override;
    void ShowSource(int16_t kind) override;
    void ChooseFile() override;
    void Save() override;
    void OpenHomePage() override;
    void Close();
    void Command(int id, int code);
    void PaintForm(HDC dc);
    void PaintPanel(HDC dc);
    void Message(const std::string& text);
    std::string RepeatText() const;

    HINSTANCE instance_ = GetModuleHandleW(nullptr);
    Scale scale_ = Scale::OfScreen();
    orbilon::controls::DesignData design_;
    Gdi<HFONT> formFont_, panelFont_;
    Gdi<HBITMAP> marks_[2];
    Icon icon_;
    HWND hwnd_ = nullptr, panel_ = nullptr, repeat_ = nullptr;
    HWND cmdBgm_ = nullptr, cmdSet_ = nullptr, cmdCan_ = nullptr, cmdEtc_ = nullptr;
    HWND focus_ = nullptr;  // the control to give the focus back to on activation
    int selectedMark_ = -1;
    bool closing_ = false, done_ = false;
};

void Form::RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;  // the shadings cover everything
    wc.lpfnWndProc = FormProc;
    wc.lpszClassName = kFormClass;
    RegisterClassExW(&wc);  // fails harmlessly when a second dialog registers again
    wc.lpfnWndProc = PanelProc;
    wc.lpszClassName = kPanelClass;
    RegisterClassExW(&wc);
}

orbilon::controls::DesignData LoadDesignData(HINSTANCE instance) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(IDR_ORBILON_P_DESIGN), RT_RCDATA);
    HGLOBAL data = found ? LoadResource(instance, found) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) return {};
    return orbilon::controls::DesignData::Parse(
        std::string_view(static_cast<const char*>(bytes), SizeofResource(instance, found)));
}

// The 32 x 32 form icon from its bitmap, all of it opaque.
Icon MakeIcon(HINSTANCE instance) {
    Gdi<HBITMAP> colour(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDB_ORBILON_P_ICON), IMAGE_BITMAP, 0, 0, 0)));
    if (!colour) return nullptr;
    BITMAP bm{};
    GetObjectW(colour.get(), sizeof bm, &bm);
    const std::vector<BYTE> zeros(static_cast<size_t>((bm.bmWidth + 15) / 16 * 2) * bm.bmHeight);
    Gdi<HBITMAP> mask(CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, zeros.data()));
    ICONINFO info{TRUE, 0, 0, mask.get(), colour.get()};
    return Icon(CreateIconIndirect(&info));
}

Form::Form() {
    RegisterClasses(instance_);
    design_ = LoadDesignData(instance_);
    formFont_ = MakeFont(
        PickFace({Wide(dlg::kFormFace).c_str(), L"MS PGothic", L"IPAPGothic"}, SHIFTJIS_CHARSET),
        dlg::kFormPoints, SHIFTJIS_CHARSET, scale_.dpiY);
    panelFont_ =
        MakeFont(PickFace({Wide(dlg::kPanelFace).c_str(), L"DejaVu Sans"}, DEFAULT_CHARSET),
                 dlg::kPanelPoints, DEFAULT_CHARSET, scale_.dpiY);
    const int markIds[2] = {IDB_ORBILON_P_MARK_OFF, IDB_ORBILON_P_MARK_ON};
    for (int i = 0; i < 2; ++i) {
        marks_[i].reset(static_cast<HBITMAP>(
            LoadImageW(instance_, MAKEINTRESOURCEW(markIds[i]), IMAGE_BITMAP, 0, 0, 0)));
    }
    icon_ = MakeIcon(instance_);
    Create();
}

Form::~Form() {
    if (hwnd_) DestroyWindow(hwnd_);
}

HWND Form::MakeButton(HWND parent, int id, const char* name, const TwipRect& place) {
    static const orbilon::controls::PropertyBag kNone;
    const orbilon::controls::PropertyBag* bag = design_.Find(name);
    const RECT r = scale_.Px(place);
    return cmd::CreateCommand(parent, id, bag ? *bag : kNone, r.left, r.top, r.right - r.left,
                              r.bottom - r.top);
}

void Form::Create() {
    cmd::RegisterCommandClass(instance_);
    // A fixed border with a caption bar and the close box, not resizable.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const RECT client = scale_.Px({0, 0, dlg::kClientWidth, dlg::kClientHeight});
    RECT outer = client;
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    hwnd_ = CreateWindowExW(0, kFormClass, Wide(orbilon::kDialogTitle).c_str(), style,
                            CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
                            outer.bottom - outer.top, nullptr, nullptr, instance_, this);
    if (!hwnd_) return;
    // Where the system's frame differs from what AdjustWindowRectEx said, the client area
    // still gets its exact size.
    RECT got{}, frame{};
    GetClientRect(hwnd_, &got);
    GetWindowRect(hwnd_, &frame);
    const int dw = client.right - got.right, dh = client.bottom - got.bottom;
    if (dw || dh) {
        SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left + dw,
                     frame.bottom - frame.top + dh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (icon_) {
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));
    }

    // Creation order is the tab order: the track box and "..." in the panel, then 設定,
    // ｷｬﾝｾﾙ and その他の作品. Everything else is drawn, and never takes the focus.
    const RECT p = scale_.Px(dlg::kPanel);
    panel_ = CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, L"",
                             WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, p.left, p.top,
                             p.right - p.left, p.bottom - p.top, hwnd_, nullptr, instance_, this);
    const RECT c = scale_.Px(dlg::kRepeat);
    // The drop-down shows eight entries at a time.
    const int listHeight = 8 * (c.bottom - c.top - 4) + 2;
    repeat_ = CreateWindowExW(
        0, L"COMBOBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, c.left,
        c.top, c.right - c.left, c.bottom - c.top + listHeight, panel_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdRepeat)), instance_, nullptr);
    SendMessageW(repeat_, WM_SETFONT, reinterpret_cast<WPARAM>(panelFont_.get()), FALSE);
    // The closed box's height follows its font; bring it to its place's height. Wine's
    // selection field comes out 2 pixels taller than asked, so measure and correct.
    const int wanted = c.bottom - c.top;
    LRESULT field = SendMessageW(repeat_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int tries = 0; tries < 3 && field > 0; ++tries) {
        RECT box{};
        GetWindowRect(repeat_, &box);
        const int off = wanted - (box.bottom - box.top);
        if (off == 0) break;
        field += off;
        SendMessageW(repeat_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
    cmdBgm_ = MakeButton(panel_, kIdCmdBgm, "Cmd_BGM", dlg::kCmdBgm);
    cmdSet_ = MakeButton(hwnd_, kIdCmdSet, "Cmd_Set", dlg::kCmdSet);
    cmdCan_ = MakeButton(hwnd_, kIdCmdCan, "Cmd_Can", dlg::kCmdCan);
    cmdEtc_ = MakeButton(hwnd_, kIdCmdEtc, "Cmd_Etc", dlg::kCmdEtc);
}

void Form::Run() {
    if (!hwnd_) return;
    Load();
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    SetForegroundWindow(hwnd_);
    MSG msg;
    while (!done_) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // A quit request belongs to whoever runs the loop outside this one.
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (hwnd_ && IsDialogMessageW(hwnd_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Form::Load() {
    struct Steps : dlg::LoadSteps {
        Form& form;
        explicit Steps(Form& f) : form(f) {}
        std::optional<Geometry> Measure() override {
            RECT outer{};
            if (!GetWindowRect(form.hwnd_, &outer)) return std::nullopt;
            return Geometry{GetSystemMetrics(SM_CXSCREEN),
                            GetSystemMetrics(SM_CYSCREEN),
                            outer.right - outer.left,
                            outer.bottom - outer.top,
                            form.scale_.x,
                            form.scale_.y};
        }
        void MoveTo(int x, int y) override {
            SetWindowPos(form.hwnd_, nullptr, x, y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        void ArmButtons() override {
            for (HWND b : {form.cmdBgm_, form.cmdSet_, form.cmdCan_, form.cmdEtc_}) {
                if (b) cmd::InitializeCommand(b);
            }
        }
        void ShowSource(int16_t kind) override { form.ShowSource(kind); }
        void FillTrackBox(const std::vector<std::string>& items) override {
            for (const std::string& item : items) {
                SendMessageW(form.repeat_, CB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(Wide(item).c_str()));
            }
        }
        // After the entries: Wine empties the box's text when the first entry arrives.
        void SetTrackText(const std::string& text) override {
            SetWindowTextW(form.repeat_, Wide(text).c_str());
        }
        // The file label is painted from BGMFile.
        void ShowFile(const std::string&) override {}
        std::optional<std::pair<long, long>> CursorPos() override {
            POINT p{};
            if (!GetCursorPos(&p)) return std::nullopt;
            return std::pair<long, long>(p.x, p.y);
        }
        void ZoomOpen() override { ::ZoomOpen(form.hwnd_); }
        void DefaultPointer() override { SetCursor(LoadCursorW(nullptr, IDC_ARROW)); }
    } steps(*this);
    dlg::LoadForm(steps, BGMKind, RepeatTrack, BGMFile);
}

void Form::ShowSource(int16_t kind) {
    const dlg::SourceView view = dlg::ViewFor(kind);
    selectedMark_ = view.selectedMark;
    EnableWindow(repeat_, view.repeatEnabled);
    if (cmdBgm_) cmd::SetCommandEnabled(cmdBgm_, view.fileButtonEnabled);
    for (const TwipRect& mark : dlg::kMarks) {
        const RECT r = scale_.Px(mark);
        InvalidateRect(panel_, &r, FALSE);
    }
}

void Form::ChooseFile() {
    const std::wstring filter =
        Wide(dlg::kFilterDescription) + L'\0' + Wide(dlg::kFilterPattern) + L'\0';
    const std::wstring title = Wide(dlg::kFileDialogTitle);
    wchar_t file[255] = {};
    wchar_t fileTitle[255] = {};
    OPENFILENAMEW ofn{};
    // The record's pre-2000 layout (76 bytes on 32-bit Windows), at this build's pointer size.
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    ofn.hwndOwner = hwnd_;
    ofn.hInstance = instance_;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = 255;
    ofn.lpstrFileTitle = fileTitle;
    ofn.nMaxFileTitle = 255;
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = 0;  // no existence check, one file
    const BOOL result = GetOpenFileNameW(&ofn);
    LastApiResult = result;
    const std::string path = result > 0 ? Utf8(file) : std::string();
    const dlg::FileVerdict verdict = dlg::JudgeChosenFile(result > 0, path);
    if (verdict == dlg::FileVerdict::Take) {
        BGMFile = path;
        const RECT r = scale_.Px(dlg::kFileLabel);
        InvalidateRect(panel_, &r, FALSE);
    } else if (verdict != dlg::FileVerdict::Ignore) {
        Message(dlg::RefusalMessage(verdict));
    }
}

std::string Form::RepeatText() const {
    const int n = GetWindowTextLengthW(repeat_);
    if (n <= 0) return {};
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(repeat_, text.data(), n + 1)));
    return Utf8(text);
}

void Form::Save() {
    const dlg::SavePlan plan = dlg::PlanSave(BGMKind, RepeatText(), BGMFile);
    RepeatTrack = plan.repeatTrack;
    if (!orbilon::WriteIniKeys(plan.writes)) {
        // Closing now would look like a save; say so and let the user cancel or retry.
        Message(dlg::SaveFailedMessage(SettingsPath()));
        return;
    }
    Close();
}

void Form::OpenHomePage() {
    const auto readme = orbilon::WindowsReadmeFor(ProgramFolder(), FileExists);
    if (!readme) return;
    // The shell takes only Windows' own separators.
    std::wstring path = Wide(*readme);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    ShellExecuteW(hwnd_, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

void Form::Message(const std::string& text) {
    MessageBoxW(hwnd_, Wide(text).c_str(), Wide(orbilon::kAppTitle).c_str(), MB_OK);
}

void Form::Close() {
    // Every way out (設定, ｷｬﾝｾﾙ, the close box, Alt+F4, Escape) shrinks back to the anchor.
    if (closing_ || !hwnd_) return;
    closing_ = true;
    if (IsWindowVisible(hwnd_)) ZoomClose(hwnd_);
    DestroyWindow(hwnd_);
}

void Form::Command(int id, int code) {
    // The placeholder and the Command class both report a click as BN_CLICKED.
    if (code != BN_CLICKED) return;
    switch (id) {
        case kIdCmdBgm:
            ChooseFile();
            break;
        case kIdCmdSet:
            Save();
            break;
        case kIdCmdCan:
        case IDCANCEL:
            Close();
            break;
        case kIdCmdEtc:
            OpenHomePage();
            break;
        default:
            break;
    }
}

void Form::PaintForm(HDC dc) {
    RECT r{};
    GetClientRect(hwnd_, &r);
    MemoryDc mem(dc, r.right, r.bottom);
    Shade(mem.get(), r.right, r.bottom, FormShade);
    SetBkMode(mem.get(), TRANSPARENT);
    const HGDIOBJ oldFont = SelectObject(mem.get(), formFont_.get());
    SetTextColor(mem.get(), ToColorRef(dlg::kVersionColour));
    DrawLabel(mem.get(), dlg::kVersionText, scale_.Px(dlg::kVersion), DT_LEFT | DT_TOP);
    SelectObject(mem.get(), oldFont);
    BitBlt(dc, 0, 0, r.right, r.bottom, mem.get(), 0, 0, SRCCOPY);
}

void Form::PaintPanel(HDC dc) {
    RECT r{};
    GetClientRect(panel_, &r);
    MemoryDc mem(dc, r.right, r.bottom);
    HDC m = mem.get();
    Shade(m, r.right, r.bottom, PanelShade);
    SetBkMode(m, TRANSPARENT);
    SetTextColor(m, ToColorRef(dlg::kPanelTextColour));
    const HGDIOBJ oldFont = SelectObject(m, formFont_.get());
    const HGDIOBJ oldBrush = SelectObject(m, GetStockObject(NULL_BRUSH));
    const HGDIOBJ oldPen = SelectObject(m, GetStockObject(BLACK_PEN));

    const RECT frame = scale_.Px(dlg::kHeadingFrame);
    Rectangle(m, frame.left, frame.top, frame.right, frame.bottom);
    DrawLabel(m, dlg::kHeadingText, scale_.Px(dlg::kHeading), DT_CENTER | DT_TOP);
    for (int i = 0; i < 3; ++i) {
        DrawLabel(m, dlg::kChoiceTexts[i], scale_.Px(dlg::kChoiceLabels[i]), DT_LEFT | DT_TOP);
    }
    DrawLabel(m, dlg::kRepeatLabelText, scale_.Px(dlg::kRepeatLabel), DT_LEFT | DT_TOP);

    // The file label: a thin frame, the path wrapped inside it and centred up and down.
    const RECT file = scale_.Px(dlg::kFileLabel);
    Rectangle(m, file.left, file.top, file.right, file.bottom);
    RECT text = file;
    InflateRect(&text, -4, -1);
    const std::wstring path = Wide(BGMFile);
    const UINT wrap = DT_LEFT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;
    RECT need = text;
    DrawTextW(m, path.c_str(), static_cast<int>(path.size()), &need, wrap | DT_CALCRECT);
    const int spare = (text.bottom - text.top) - (need.bottom - need.top);
    if (spare > 0) text.top += spare / 2;
    const int saved = SaveDC(m);
    IntersectClipRect(m, file.left + 1, file.top + 1, file.right - 1, file.bottom - 1);
    DrawTextW(m, path.c_str(), static_cast<int>(path.size()), &text, wrap);
    RestoreDC(m, saved);

    // The marks: the selected picture for the chosen source, the other for the rest.
    MemoryDc pictures(m, 1, 1);
    for (int i = 0; i < 3; ++i) {
        HBITMAP picture = marks_[i == selectedMark_ ? 1 : 0].get();
        if (!picture) continue;
        const HGDIOBJ old = SelectObject(pictures.get(), picture);
        const RECT at = scale_.Px(dlg::kMarks[i]);
        const int w = dlg::TwipsToPixels(kMarkSize * 15.0, scale_.x);
        const int h = dlg::TwipsToPixels(kMarkSize * 15.0, scale_.y);
        SetStretchBltMode(m, COLORONCOLOR);  // whole pixels: sharp, and exact at 96 DPI
        StretchBlt(m, at.left, at.top, w, h, pictures.get(), 0, 0, kMarkSize, kMarkSize, SRCCOPY);
        SelectObject(pictures.get(), old);
    }

    SelectObject(m, oldPen);
    SelectObject(m, oldBrush);
    SelectObject(m, oldFont);
    BitBlt(dc, 0, 0, r.right, r.bottom, m, 0, 0, SRCCOPY);
}

// The form behind both window classes: handed over at creation, kept in the user data.
Form* Form::FormOf(HWND hwnd, UINT msg, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    return reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Form::Paint(HWND hwnd, Form& form, void (Form::*paint)(HDC)) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    (form.*paint)(dc);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK Form::FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Form* form = FormOf(hwnd, msg, lp);
    if (!form) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint(hwnd, *form, &Form::PaintForm);
            return 0;
        case WM_COMMAND:
            form->Command(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_ACTIVATE:
            // Give the focus back to the control that had it, as a dialog does.
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND f = GetFocus();
                if (f && IsChild(hwnd, f)) form->focus_ = f;
            } else {
                HWND f = form->focus_;
                if (!f || !IsWindow(f) || !IsWindowEnabled(f)) {
                    f = GetNextDlgTabItem(hwnd, nullptr, FALSE);
                }
                SetFocus(f ? f : hwnd);
            }
            return 0;
        case WM_CLOSE:
            form->Close();
            return 0;
        case WM_DESTROY:
            form->done_ = true;
            form->hwnd_ = nullptr;
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

LRESULT CALLBACK Form::PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Form* form = FormOf(hwnd, msg, lp);
    if (!form) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint(hwnd, *form, &Form::PaintPanel);
            return 0;
        case WM_COMMAND:
            // The track box and "..." live here; the form handles what they report.
            form->Command(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: {
            // The track box stays white when disabled (a disabled edit asks for the static
            // colours); its text turns grey.
            HDC dc = reinterpret_cast<HDC>(wp);
            const bool enabled = IsWindowEnabled(form->repeat_);
            SetTextColor(dc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
            SetBkColor(dc, ToColorRef(dlg::kTrackBoxBackground));
            return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN: {
            // Any button on a choice's mark or label picks that source.
            const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
            for (int i = 0; i < 3; ++i) {
                if (Inside(form->scale_.Px(dlg::kMarks[i]), x, y) ||
                    Inside(form->scale_.Px(dlg::kChoiceLabels[i]), x, y)) {
                    form->ChooseSource(i);
                    break;
                }
            }
            return msg == WM_XBUTTONDOWN ? TRUE : 0;
        }
        default:
            return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

}  // namespace

void ShowSettingsDialogModal() {
    Form form;
    form.Run();
}
