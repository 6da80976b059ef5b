#include "orbilon_s.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCloseEvent>
#include <QSocketNotifier>
#include <csignal>

#include "dispatch.h"
#include "frontend/music/orbilon_bgm.h"
#include "frontend/settings/settings.h"
#include "orbilon_b.h"
#include "platform.h"

namespace {

int gSignalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(gSignalPipe[1], &byte, 1);
}

}  // namespace

Orbilon_S::Orbilon_S() {
    setWindowTitle(orbilon::kHostTitle);
    Timer1.setInterval(1000);
    Timer2.setInterval(200);
    Timer3.setInterval(50);
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Tick(); });
    connect(&Timer2, &QTimer::timeout, this, [this] { Timer2Tick(); });
    connect(&Timer3, &QTimer::timeout, this, [this] { Timer3Tick(); });
    // Loaded, not shown: the native window exists so the title can be found while unmapped.
    winId();
    WatchSignals();
    Load();
    Timer3.start();
}

void Orbilon_S::Load() {
    const orbilon::LoadMusic music = orbilon::MusicAtLoad(BGMKind, BGMFile);
    if (music.cdOpen) {
        Orbilon_BGM::CdOpen();
        Timer2.start();
    }
    if (music.wavPlay) Orbilon_BGM::WavPlay();
    if (music.mp3Open) {
        Orbilon_BGM::Mp3Open();
        Timer1.start();
    }
    RendererPath = ProgramFolder() + "/" + orbilon::kRendererName;
    renderer_ = platform::StartProcess(RendererPath);
    sinceLaunch_.start();
}

void Orbilon_S::Timer1Tick() {
    Orbilon_BGM::Mp3Loop();
}

void Orbilon_S::Timer2Tick() {
    Orbilon_BGM::CdWatch();
    if (!Orbilon_BGM::CdAvailable) Timer2.stop();
}

void Orbilon_S::Timer3Tick() {
    const bool window = platform::WindowTitledExists(orbilon::kRendererTitle);
    const bool exited = !window && platform::ProcessEnded(renderer_);
    if (!watch_.Ended(window, exited, sinceLaunch_.elapsed())) return;
    Timer3.stop();
    close();
}

void Orbilon_S::closeEvent(QCloseEvent* event) {
    event->accept();
    QueryUnload();
}

void Orbilon_S::QueryUnload() {
    const orbilon::UnloadSteps steps =
        orbilon::StepsAtUnload(BGMKind, BGMFile, Timer2.isActive(), platform::CommandLine());
    if (steps.cdClose) {
        Timer2.stop();
        Orbilon_BGM::CdClose();
    }
    if (steps.wavStop) Orbilon_BGM::WavStop();
    if (steps.mp3Close) Orbilon_BGM::Mp3Close();
    if (steps.restoreCursor) CursorCount = platform::ShowCursor(CursorCount);
    platform::EndProcess();
}

// SIGTERM, SIGINT and SIGHUP end the host like a close from outside: through the event
// loop, so the music stops and the pointer comes back. The renderer runs on.
void Orbilon_S::WatchSignals() {
    if (pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    signals_ = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, this);
    connect(signals_, &QSocketNotifier::activated, this, [this] { QueryUnload(); });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
}

void LoadSaverHost() {
    // Lives until QueryUnload ends the process.
    new Orbilon_S();
}
