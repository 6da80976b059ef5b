#include "orbilon_b.h"

#include <QApplication>
#include <cstdlib>

#include "dispatch.h"
#include "frontend/music/mci_layer.h"
#include "frontend/settings/settings.h"
#include "orbilon_s.h"
#include "platform.h"

int32_t CursorCount = 0;

namespace {

class LiveSteps : public orbilon::MainSteps {
public:
    bool WindowTitled(const std::string& title) override {
        return platform::FindWindowByTitle(title) != 0;
    }
    void LoadSettings() override { ::LoadSettings(); }
    bool RendererPresent() override {
        return FileExists(ProgramFolder() + "/" + orbilon::kRendererName);
    }
};

}  // namespace

void Main() {
    LiveSteps steps;
    const orbilon::Plan plan = orbilon::Dispatch(platform::CommandLine(), steps);
    switch (plan.outcome) {
        case orbilon::Outcome::End:
            platform::EndProcess();
        case orbilon::Outcome::Preview:
            PlacePreview(plan.handle);
            return;
        case orbilon::Outcome::MissingRenderer:
            platform::MessageBox(orbilon::kMissingRendererText, platform::kAppTitle);
            platform::EndProcess();
        case orbilon::Outcome::SettingsDialog:
            orbilon::music::UseRealMciLayer();
            ShowSettingsDialog();
            platform::EndProcess();
        case orbilon::Outcome::Saver:
            orbilon::music::UseRealMciLayer();
            if (plan.hideCursor) CursorCount = platform::ShowCursor(0);
            LoadSaverHost();
            return;
    }
}

namespace {

// The front end reports nothing but the missing renderer; Qt's own notes stay quiet too.
void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("ORBILON_QT_MESSAGES")) qInstallMessageHandler(Quiet);
    // The argument text is taken before Qt sees the arguments.
    platform::SetCommandLine(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(platform::kAppTitle);
    // The forms end the process themselves; a closed message box must not.
    QApplication::setQuitOnLastWindowClosed(false);
    Main();
    return QApplication::exec();
}
