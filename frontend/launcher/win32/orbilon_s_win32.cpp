#include "orbilon_s_win32.h"

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "app.h"
#include "bgm_music.h"
#include "dispatch.h"
#include "saver_host.h"
#include "settings.h"
#include "wide.h"

namespace {

using orbilon::HostTimer;
using orbilon::win32::Wide;

// The Win32 shell of the saver host's core: window timers, the renderer's process and the
// system's cursor counter.
class Orbilon_S : public orbilon::HostShell {
public:
    void Load(HWND window) {
        window_ = window;
        orbilon::HostConfig config{BGMKind, BGMFile, app::ArgumentText, false,
                                   orbilon::HostConfig::Music::Now};
        host_.emplace(*this, music_, std::move(config));
        host_->Load();
    }

    void Tick(UINT_PTR id) {
        if (id >= 1 && id <= 4 && host_) host_->Tick(static_cast<HostTimer>(id - 1));
    }

    // Whatever closes the host (its own poll, a close from outside, the session's end, Ctrl-C)
    // ends here: the music stops and the cursor comes back before the process ends. The
    // renderer is left alone.
    [[noreturn]] void QueryUnload() {
        if (host_) host_->QueryUnload();
        app::EndProcess();
    }

private:
    static UINT_PTR Id(HostTimer timer) { return static_cast<UINT_PTR>(timer) + 1; }

    void StartTimer(HostTimer timer, int ms) override {
        SetTimer(window_, Id(timer), static_cast<UINT>(ms), nullptr);
    }
    void StopTimer(HostTimer timer) override { KillTimer(window_, Id(timer)); }

    void Launch() override {
        const std::wstring path = app::BesideProgram(orbilon::kRendererName);
        std::wstring commandLine = L"\"" + path + L"\"";  // no arguments, only its own name
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION pi{};
        // Suspended until it may take the foreground: a renderer that asked before the grant
        // would stay behind the program the user was in, which then gets the keys.
        if (CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                           CREATE_SUSPENDED, nullptr, nullptr, &si, &pi)) {
            AllowSetForegroundWindow(pi.dwProcessId);
            ResumeThread(pi.hThread);
            CloseHandle(pi.hThread);
            renderer_ = pi.hProcess;  // only waited on; released with the process
        }
        launchedAt_ = GetTickCount64();
    }

    bool RendererWindowPresent() override { return app::WindowTitled(orbilon::kRendererTitle); }
    bool RendererEnded() override {
        return !renderer_ || WaitForSingleObject(renderer_, 0) == WAIT_OBJECT_0;
    }
    int64_t MsSinceLaunch() override {
        return static_cast<int64_t>(GetTickCount64() - launchedAt_);
    }
    // Nothing ends the host by a signal here: Ctrl-C and the session's end close it, and
    // the renderer is left alone.
    void StopRenderer() override {}
    void AwaitRenderer() override {}
    void RestoreCursor() override { CursorCount = ShowCursor(CursorCount != 0); }
    bool TakeMusicLock() override { return true; }  // one saver per session: the music is ours
    void End(int status) override { app::EndProcess(static_cast<UINT>(status)); }
    void EndServiceRun() override { app::EndProcess(1); }  // no service runs here

    HWND window_ = nullptr;
    HANDLE renderer_ = nullptr;
    ULONGLONG launchedAt_ = 0;
    orbilon::BgmMusic music_;
    std::optional<orbilon::SaverHost> host_;
};

Orbilon_S host;
HWND hostWindow = nullptr;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_TIMER:
            host.Tick(wp);
            return 0;
        case WM_CLOSE:
            host.QueryUnload();
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wp) host.QueryUnload();
            return 0;
        default:
            return DefWindowProcW(window, message, wp, lp);
    }
}

// Ctrl-C, Ctrl-Break or a closed console reach the host as a close on its own thread.
BOOL WINAPI OnConsoleControl(DWORD) {
    if (hostWindow) PostMessageW(hostWindow, WM_CLOSE, 0, 0);
    Sleep(INFINITE);  // the host ends the process
    return TRUE;
}

}  // namespace

void LoadSaverHost() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = HostProc;
    wc.hInstance = app::Instance;
    wc.lpszClassName = L"Orbilon_S";
    RegisterClassExW(&wc);
    // A top-level window, never shown: FindWindow finds it by its title, hidden as it is.
    hostWindow = CreateWindowExW(WS_EX_TOOLWINDOW, L"Orbilon_S", Wide(orbilon::kHostTitle).c_str(),
                                 WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, app::Instance, nullptr);
    // Without its window nothing could end the host: no run rather than one that never ends.
    if (!hostWindow) app::EndProcess(1);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    host.Load(hostWindow);
}
