// The shared core first: <windows.h> defines its SC_* names as macros.
#include "saver_proc.h"
// Then the window system.
#include <memory>
#include <optional>
#include <string>

#include "gl_scene.h"
#include "monitor_layout.h"
#include "wgl_surface.h"
#include "win32_monitors.h"
#include "win32_saver.h"

namespace orbilon {

namespace {

constexpr const char* ClassName = kSaverClass;
constexpr const char* CreationTitle = kSaverCreationTitle;
constexpr UINT ScreenSaverRunning = 97;  // SPI_SCREENSAVERRUNNING

using VerifyScreenSavePwdFn = BOOL(WINAPI*)(HWND);

struct LibraryCloser {
    void operator()(HMODULE m) const { FreeLibrary(m); }
};
using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryCloser>;

// The current mode's refresh of the monitor the window is on; 60 Hz where the mode says
// "the hardware's default" (0 or 1).
int64_t MonitorRefreshNs(HWND window) {
    MONITORINFOEXA monitor{};
    monitor.cbSize = sizeof monitor;
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    const HMONITOR m = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
    const char* device = m && GetMonitorInfoA(m, &monitor) ? monitor.szDevice : nullptr;
    double hz = 0;
    if (EnumDisplaySettingsA(device, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency > 1) {
        hz = mode.dmDisplayFrequency;
    }
    const ScreenRect whole{0, 0, 1, 1};
    const MonitorRate rate{whole, hz};
    return RefreshPeriodNs(std::span(&rate, 1), whole);
}

class Win32Saver final : public SaverHost, public WindowSource {
public:
    int RunFrames() { return RunFrameLoop(*this, proc_); }

    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        window_ = window;
        if (message == WM_DISPLAYCHANGE) FollowMonitors();
        const auto m = Translate(message);
        if (m == SaverMessage::Other) return DefWindowProcA(window, message, wParam, lParam);
        const ProcResult r = proc_.Handle(m, wParam);
        if (r.callDefault) return DefWindowProcA(window, message, wParam, lParam);
        return r.value;
    }

    // WindowSource: frames are drawn whenever the queue is empty.
    std::optional<int> Ended() override { return quit_; }
    bool HandleOne() override {
        MSG msg{};
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
        if (msg.message == WM_QUIT) {
            quit_ = static_cast<int>(msg.wParam);
            return true;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        return true;
    }
    void Wait(int timeoutMs) override {
        MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs < 0 ? INFINITE : timeoutMs, QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
    void Frame(bool show) override {
        if (!scene_) return;
        scene_->DrawFrame();
        if (show && surface_) surface_->Swap();
    }
    void EndRun() override { DestroyWindow(window_); }
    // Sleep(0) hands the rest of the time slice to anything else that is ready.
    void YieldSlice() override { Sleep(0); }
    int64_t NowNs() override {
        LARGE_INTEGER count{}, frequency{};
        QueryPerformanceCounter(&count);
        QueryPerformanceFrequency(&frequency);
        const int64_t f = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
        return count.QuadPart / f * 1'000'000'000 + count.QuadPart % f * 1'000'000'000 / f;
    }
    // Windows says nothing of the monitors' power here; the idle loop draws regardless.
    bool MonitorsOff() override { return false; }
    int64_t RefreshPeriodNs() override { return refreshNs_; }
    FrameGate& gate() override { return gate_; }

    // SaverHost
    CursorPos GetCursorPos() override {
        POINT p{};
        ::GetCursorPos(&p);
        return {p.x, p.y};
    }
    void HideCursor() override { ::SetCursor(nullptr); }
    // The animation constants are compile-time values of the model; nothing to install.
    void InstallAnimationConstants() override {}
    void SetTitle(std::string_view title) override {
        SetWindowTextA(window_, std::string(title).c_str());
    }
    void LowerPriority() override {
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    }
    void InitGraphics() override {
        const uint32_t seed = SceneGl::ClockSeed();
        surface_ = WglSurface::Create(window_);
        RECT client{};
        GetClientRect(window_, &client);
        scene_ =
            std::make_unique<SceneGl>(seed, client.right - client.left, client.bottom - client.top);
        refreshNs_ = MonitorRefreshNs(window_);
        scene_->SetViewports(MonitorViewportsOf(window_));
    }
    void ShutdownGraphics() override {
        // The scene's display list goes while its context is still current.
        scene_.reset();
        surface_.reset();
    }
    void PostClose() override { PostMessageA(window_, WM_CLOSE, 0, 0); }
    void PostQuit(int exitCode) override { PostQuitMessage(exitCode); }

    // Only Windows 95, 98 and Me keep a screen-saver password of their own, checked by the
    // control panel's PASSWORD.CPL; everywhere else the system locks the session itself.
    bool HasPasswordCheck() override {
        OSVERSIONINFOA version{};
        version.dwOSVersionInfoSize = sizeof version;
        if (!GetVersionExA(&version) || version.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS) {
            return false;
        }
        Library library(LoadLibraryA("PASSWORD.CPL"));
        if (!library) return false;
        verify_ = reinterpret_cast<VerifyScreenSavePwdFn>(
            reinterpret_cast<void*>(GetProcAddress(library.get(), "VerifyScreenSavePwd")));
        if (!verify_) return false;
        passwordLibrary_ = std::move(library);
        return true;
    }
    int VerifyPassword() override {
        BOOL scratch = FALSE;
        SystemParametersInfoA(ScreenSaverRunning, TRUE, &scratch, 0);
        const int ok = verify_(window_) ? 1 : 0;
        SystemParametersInfoA(ScreenSaverRunning, FALSE, &scratch, 0);
        verify_ = nullptr;
        passwordLibrary_.reset();
        return ok;
    }

private:
    // Monitors came, went or changed: the window covers them all again, one viewport each.
    void FollowMonitors() {
        CoverVirtualScreen(window_);
        if (scene_) scene_->SetViewports(MonitorViewportsOf(window_));
    }

    static SaverMessage Translate(UINT message) {
        switch (message) {
            case WM_CREATE:
                return SaverMessage::Create;
            case WM_DESTROY:
                return SaverMessage::Destroy;
            case WM_SYSCOMMAND:
                return SaverMessage::SysCommand;
            case WM_CLOSE:
                return SaverMessage::Close;
            case WM_SHOWWINDOW:
                return SaverMessage::ShowWindow;
            case WM_ACTIVATEAPP:
                return SaverMessage::ActivateApp;
            case WM_SETCURSOR:
                return SaverMessage::SetCursor;
            case WM_KEYDOWN:
                return SaverMessage::KeyDown;
            case WM_SYSKEYDOWN:
                return SaverMessage::SysKeyDown;
            case WM_LBUTTONDOWN:
                return SaverMessage::LButtonDown;
            case WM_RBUTTONDOWN:
                return SaverMessage::RButtonDown;
            case WM_MBUTTONDOWN:
                return SaverMessage::MButtonDown;
            case WM_MOUSEMOVE:
                return SaverMessage::MouseMove;
            default:
                return SaverMessage::Other;
        }
    }

    HWND window_ = nullptr;
    std::optional<int> quit_;
    FrameGate gate_;
    int64_t refreshNs_ = orbilon::RefreshPeriodNs({}, {});
    std::unique_ptr<WglSurface> surface_;
    std::unique_ptr<SceneGl> scene_;
    Library passwordLibrary_;
    VerifyScreenSavePwdFn verify_ = nullptr;
    SaverProc proc_{*this};
};

// The one saver of the process; the window procedure has no other way to reach it before
// CreateWindowExA returns.
Win32Saver* g_saver = nullptr;

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!g_saver) return DefWindowProcA(window, message, wParam, lParam);
    return g_saver->Handle(window, message, wParam, lParam);
}

}  // namespace

int RunSaver(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = SaverWindowProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = ClassName;

    // Every monitor: the window spans the virtual screen, each monitor drawn on its own.
    const ScreenRect screen = VirtualScreen();

    // A saver window still being created carries the first title: bring it up instead.
    const HWND other = FindWindowA(ClassName, CreationTitle);
    if (other && IsWindow(other)) {
        SetForegroundWindow(other);
        return 0;
    }

    if (!RegisterClassA(&wc)) return 1;

    Win32Saver saver;
    g_saver = &saver;
    const HWND window =
        CreateWindowExA(WS_EX_TOPMOST, ClassName, CreationTitle,
                        WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, screen.x,
                        screen.y, screen.width, screen.height, nullptr, nullptr, instance, nullptr);
    int status = 1;
    if (window) {
        SetForegroundWindow(window);
        status = saver.RunFrames();
    }
    g_saver = nullptr;
    return status;
}

}  // namespace orbilon
