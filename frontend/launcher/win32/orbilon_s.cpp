#include "orbilon_s.h"

#include <windows.h>

#include <string>

#include "app.h"
#include "dispatch.h"
#include "frontend/music/orbilon_bgm.h"
#include "frontend/settings/settings.h"
#include "frontend/settings/win32/wide.h"
#include "host_core.h"

namespace {

using orbilon::win32::Wide;

constexpr UINT_PTR kTimer1 = 1;  // 1000 ms, Mp3Loop
constexpr UINT_PTR kTimer2 = 2;  // 200 ms, CdWatch
constexpr UINT_PTR kTimer3 = 3;  // 50 ms, renderer-window poll

class Orbilon_S {
public:
    void Load(HWND window) {
        window_ = window;
        const orbilon::LoadMusic music = orbilon::MusicAtLoad(BGMKind, BGMFile);
        if (music.cdOpen) {
            Orbilon_BGM::CdOpen();
            timer2On_ = SetTimer(window_, kTimer2, 200, nullptr) != 0;
        }
        if (music.wavPlay) Orbilon_BGM::WavPlay();
        if (music.mp3Open) {
            Orbilon_BGM::Mp3Open();
            SetTimer(window_, kTimer1, 1000, nullptr);
        }
        LaunchRenderer();
        SetTimer(window_, kTimer3, 50, nullptr);
    }

    void Tick(UINT_PTR id) {
        if (id == kTimer1) Orbilon_BGM::Mp3Loop();
        if (id == kTimer2) {
            Orbilon_BGM::CdWatch();
            if (!Orbilon_BGM::CdAvailable) StopTimer2();
        }
        if (id == kTimer3) Poll();
    }

    // Whatever closes the host (its own poll, a close from outside, the session's end, Ctrl-C)
    // ends here: the music stops and the cursor comes back before the process ends. The
    // renderer is left alone.
    [[noreturn]] void QueryUnload() {
        const orbilon::UnloadSteps steps =
            orbilon::StepsAtUnload(BGMKind, BGMFile, timer2On_, app::ArgumentText);
        if (steps.cdClose) {
            StopTimer2();
            Orbilon_BGM::CdClose();
        }
        if (steps.wavStop) Orbilon_BGM::WavStop();
        if (steps.mp3Close) Orbilon_BGM::Mp3Close();
        if (steps.restoreCursor) CursorCount = ShowCursor(CursorCount != 0);
        app::EndProcess();
    }

private:
    void LaunchRenderer() {
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

    void Poll() {
        const bool window = app::WindowTitled(orbilon::kRendererTitle);
        const bool exited =
            !window && (!renderer_ || WaitForSingleObject(renderer_, 0) == WAIT_OBJECT_0);
        const auto since = static_cast<int64_t>(GetTickCount64() - launchedAt_);
        if (!watch_.Ended(window, exited, since)) return;
        KillTimer(window_, kTimer3);
        QueryUnload();
    }

    void StopTimer2() {
        KillTimer(window_, kTimer2);
        timer2On_ = false;
    }

    HWND window_ = nullptr;
    HANDLE renderer_ = nullptr;
    ULONGLONG launchedAt_ = 0;
    bool timer2On_ = false;
    orbilon::RendererWatch watch_;
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
