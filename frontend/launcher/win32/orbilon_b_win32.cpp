// Orbilon.scr on Windows: Main's dispatch with the Win32 look-ups, then the message loop the
// preview and the saver host live in.
#include <windows.h>

#include <cstdint>
#include <string>

#include "app.h"
#include "argument_text.h"
#include "dispatch.h"
#include "orbilon_p_win32.h"
#include "orbilon_r_win32.h"
#include "orbilon_s_win32.h"
#include "settings.h"
#include "wide.h"
#include "winmm_layer.h"

int32_t CursorCount = 0;

namespace {

using orbilon::win32::Wide;

class Win32Main : public orbilon::MainShell {
public:
    bool WindowTitled(const std::string& title) override {
        return app::WindowTitled(title.c_str());
    }

    // One saver per session: a named mutex in the session's namespace, held until the process
    // ends. The host's title appears only once it is loaded, so two starts at the same moment
    // would both pass the title look-up.
    bool TakeSaverLock() override {
        HANDLE lock = CreateMutexW(nullptr, FALSE, L"Local\\Orbilon-saver");
        if (!lock) return true;  // no lock to be had: the title look-up still guards
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(lock);
            return false;
        }
        return true;  // kept open for the process's life
    }

    void LoadSettings() override { ::LoadSettings(); }

    bool RendererPresent() override {
        return FileExists(orbilon::win32::Utf8(app::BesideProgram(orbilon::kRendererName)));
    }

    void PlacePreview(int32_t handle) override { ::PlacePreview(handle); }
    void ShowMessage(const char* text, const char* caption) override {
        MessageBoxW(nullptr, Wide(text).c_str(), Wide(caption).c_str(), MB_OK);
    }
    void ShowSettingsDialog() override { ShowSettingsDialogModal(); }
    void UseRealMusic() override { UseRealMciLayer(); }
    void HideCursor() override { CursorCount = ShowCursor(FALSE); }
    void LoadSaverHost() override { ::LoadSaverHost(); }
    void End() override { app::EndProcess(); }
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    app::Instance = instance;
    app::ArgumentText = orbilon::win32::Utf8(orbilon::AfterProgramName(GetCommandLineW()));
    Win32Main shell;
    orbilon::RunMain(app::ArgumentText, shell);
    // The forms end the process themselves; the loop only carries their messages.
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
