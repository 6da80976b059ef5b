#include <wayland-client.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "dispatch.h"
#include "display_x11.h"
#include "mci_layer.h"
#include "orbilon_b.h"
#include "orbilon_s_qt.h"
#include "processes_posix.h"
#include "service_core.h"
#include "settings.h"
#include "toolkit_qt.h"
#include "window_contract.h"

int32_t CursorCount = 0;

namespace {

class LiveMain : public orbilon::MainShell {
public:
    bool WindowTitled(const std::string& title) override {
        return platform::FindWindowByTitle(title) != 0;
    }
    // A lock that cannot be made counts as taken: the title look-up still guards.
    bool TakeSaverLock() override { return TakeDisplayLock("saver") != platform::LockResult::Busy; }
    void LoadSettings() override { ::LoadSettings(); }
    bool RendererPresent() override {
        return FileExists(ProgramFolder() + "/" + orbilon::kRendererName);
    }
    void PlacePreview(int32_t handle) override { ::PlacePreview(handle); }
    void ShowMessage(const char* text, const char* caption) override {
        platform::MessageBox(text, caption);
    }
    void ShowSettingsDialog() override { ::ShowSettingsDialog(); }
    void UseRealMusic() override { orbilon::music::UseRealMciLayer(); }
    void HideCursor() override { CursorCount = platform::ShowCursor(0); }
    // The music plays once per display, also beside a service's run.
    void LoadSaverHost() override { ::LoadSaverHost(HostRun{false, 0, MusicOfRun()}); }
    void End() override { platform::EndProcess(); }
};

}  // namespace

void Main() {
    LiveMain shell;
    orbilon::RunMain(platform::CommandLine(), shell);
}

void RunService(const orbilon::ServiceStart& start) {
    const platform::WindowId target = start.window != 0 ? start.window : platform::ScreenRoot();
    if (!platform::WindowExists(target)) {
        std::fprintf(stderr, "%s: no window 0x%lX\n", orbilon::kProgramName, target);
        platform::EndProcess(1);
    }
    HostRun run{true, target, orbilon::HostConfig::Music::None};
    if (start.kind == orbilon::ServiceKind::Root) {
        orbilon::music::UseRealMciLayer();
        ::LoadSettings();
        // One process per monitor: the first to take the lock plays for them all.
        run.music = MusicOfRun();
    }
    LoadSaverHost(run);
}

namespace {

// Qt's Wayland platform aborts where it cannot connect; asked first, that is a line instead.
bool CanReachWayland() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return false;
    wl_display_disconnect(display);
    return true;
}

// The front end reports nothing but the missing renderer; Qt's own notes stay quiet too.
void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

int main(int argc, char** argv) {
    platform::ReopenClosedStreams();
    platform::RestoreRuntimeDir();
    if (!std::getenv("ORBILON_QT_MESSAGES")) qInstallMessageHandler(Quiet);
    // The argument text is taken before Qt sees the arguments.
    platform::SetCommandLine(argc, argv);
    // Qt aborts without a display; say so instead, for every switch. A Wayland session with
    // no X server runs on Qt's Wayland platform.
    if (!platform::HaveDisplay()) {
        const char* display = std::getenv("DISPLAY");
        if (!RendererOnWayland() || !CanReachWayland()) {
            std::fprintf(stderr, "%s: cannot open the display %s\n", orbilon::kProgramName,
                         display && *display ? display : "(DISPLAY is not set)");
            return 1;
        }
        setenv("QT_QPA_PLATFORM", "wayland", 0);
    }
    const orbilon::ServiceStart service = orbilon::ReadServiceStart(
        std::vector<std::string>(argv + 1, argv + argc), std::getenv(orbilon::kTargetVariable));
    if (service.kind == orbilon::ServiceKind::BadWindow) {
        std::fprintf(stderr, "%s\n", service.error.c_str());
        return 1;
    }
    const std::string toolkitRuntime = platform::ToolkitRuntimeDirIfAbsent();
    QApplication app(argc, argv);
    platform::RemoveToolkitRuntimeDir(toolkitRuntime);
    QApplication::setApplicationName(orbilon::kAppTitle);
    // The forms end the process themselves; a closed message box must not.
    QApplication::setQuitOnLastWindowClosed(false);
    if (service.kind == orbilon::ServiceKind::None)
        Main();
    else
        RunService(service);
    return QApplication::exec();
}
