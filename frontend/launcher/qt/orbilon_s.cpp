#include "orbilon_s.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QCloseEvent>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "command_line.h"
#include "dispatch.h"
#include "frontend/music/orbilon_bgm.h"
#include "frontend/settings/settings.h"
#include "orbilon_b.h"
#include "platform.h"
#include "service_core.h"
#include "shell_choice.h"

namespace {

int gSignalPipe[2] = {-1, -1};

// How long the renderer gets to end on SIGTERM before it is killed: the services wait about
// a second for the whole run to end.
constexpr int kRendererGraceMs = 400;

void OnSignalCaught(int sig) {
    const char byte = static_cast<char>(sig);
    [[maybe_unused]] const ssize_t n = write(gSignalPipe[1], &byte, 1);
}

// The renderer of a service run, for its signal handler.
std::atomic<pid_t> gServiceRenderer{0};

// A service run ends inside the handler itself, not through the event loop, which may be
// busy starting the music for seconds: the renderer gets SIGTERM and a short grace, then
// SIGKILL, and the process dies by the signal (its music goes with it). Async-signal-safe.
void EndServiceRun(int sig) {
    const pid_t pid = gServiceRenderer.load();
    if (pid > 0 && kill(pid, SIGTERM) == 0) {
        bool gone = false;
        for (int i = 0; i < kRendererGraceMs / 10 && !gone; ++i) {
            gone = waitpid(pid, nullptr, WNOHANG) != 0;
            const timespec tick{0, 10 * 1000 * 1000};
            if (!gone) nanosleep(&tick, nullptr);
        }
        if (!gone) {
            kill(pid, SIGKILL);
            while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }
    }
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    sigaction(sig, &dfl, nullptr);
    raise(sig);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    _exit(128 + sig);
}

}  // namespace

Orbilon_S::Orbilon_S(const HostRun& run) : run_(run) {
    Timer1.setInterval(1000);
    Timer2.setInterval(200);
    Timer3.setInterval(50);
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Tick(); });
    connect(&Timer2, &QTimer::timeout, this, [this] { Timer2Tick(); });
    if (run_.service) {
        // Several service runs share a display, one per monitor: none carries the title
        // that would stop the others, and each watches its own renderer's process.
        connect(&Timer3, &QTimer::timeout, this, [this] { ServiceWatch(); });
    } else {
        setWindowTitle(orbilon::kHostTitle);
        connect(&Timer3, &QTimer::timeout, this, [this] { Timer3Tick(); });
        // Loaded, not shown: the native window exists so the title can be found while
        // unmapped.
        winId();
    }
    WatchSignals();
    Load();
    Timer3.start();
    if (run_.musicLater) {
        musicRetry_.setInterval(100);
        connect(&musicRetry_, &QTimer::timeout, this, [this] { MusicHandover(); });
        musicRetry_.start();
    }
}

void Orbilon_S::Load() {
    // A service's window stays black until the renderer draws: there it starts first, as
    // the music's start can take a while.
    if (run_.music && !run_.service) StartMusic();
    RendererPath = ProgramFolder() + "/" + orbilon::kRendererName;
    std::optional<uint32_t> target;
    if (run_.service) target = static_cast<uint32_t>(run_.target);
    renderer_ = platform::StartProcess(
        RendererPath, orbilon::RendererEnvironment(platform::Environment(), target));
    // The renderer picks its shell from the environment it was given, by the same rule.
    watchProcess_ = !run_.service && RendererOnWayland();
    if (run_.service) gServiceRenderer = renderer_;
    sinceLaunch_.start();
    if (run_.music && run_.service) StartMusic();
}

void Orbilon_S::StartMusic() {
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
}

void Orbilon_S::Timer1Tick() {
    Orbilon_BGM::Mp3Loop();
}

void Orbilon_S::Timer2Tick() {
    Orbilon_BGM::CdWatch();
    if (!Orbilon_BGM::CdAvailable) Timer2.stop();
}

void Orbilon_S::Timer3Tick() {
    const bool window = watchProcess_ ? !platform::ProcessEnded(renderer_)
                                      : platform::WindowTitledExists(orbilon::kRendererTitle);
    const bool exited = !window && (watchProcess_ || platform::ProcessEnded(renderer_));
    if (!watch_.Ended(window, exited, sinceLaunch_.elapsed())) return;
    Timer3.stop();
    close();
}

// A service run ends when its renderer does: quietly after a clean end (the service
// destroyed the window), with a line and a failure status otherwise.
void Orbilon_S::ServiceWatch() {
    int status = 0;
    if (!platform::ProcessEnded(renderer_, &status)) return;
    gServiceRenderer = 0;  // reaped: its pid is no longer ours to signal
    Timer3.stop();
    orbilon::RendererEnd end;
    if (renderer_ <= 0)
        end = {1, std::string(orbilon::kProgramName) + ": cannot start " + RendererPath};
    else
        end = orbilon::DescribeRendererEnd(status);
    StopMusic();
    if (!end.line.empty()) std::fprintf(stderr, "%s\n", end.line.c_str());
    platform::EndProcess(end.exitStatus);
}

// The previous run of a restarting service may still hold the music for a moment.
void Orbilon_S::MusicHandover() {
    if (sinceLaunch_.elapsed() >= orbilon::kMusicHandoverMs) {
        musicRetry_.stop();
        return;
    }
    if (!TakeDisplayLock("music")) return;
    musicRetry_.stop();
    run_.music = true;
    StartMusic();
}

void Orbilon_S::closeEvent(QCloseEvent* event) {
    event->accept();
    QueryUnload();
}

void Orbilon_S::StopMusic() {
    if (!run_.music) return;
    const orbilon::UnloadSteps steps =
        orbilon::StepsAtUnload(BGMKind, BGMFile, Timer2.isActive(), platform::CommandLine());
    if (steps.cdClose) {
        Timer2.stop();
        Orbilon_BGM::CdClose();
    }
    if (steps.wavStop) Orbilon_BGM::WavStop();
    if (steps.mp3Close) Orbilon_BGM::Mp3Close();
}

void Orbilon_S::QueryUnload() {
    StopMusic();
    if (!run_.service && orbilon::ModeLetter(platform::CommandLine()) == 'S')
        CursorCount = platform::ShowCursor(CursorCount);
    platform::EndProcess();
}

// A signal ends the whole run: the renderer is told first so that it ends while the music
// stops.
void Orbilon_S::OnSignal(int) {
    Timer3.stop();
    platform::SignalProcess(renderer_, SIGTERM);
    StopMusic();
    platform::AwaitProcess(renderer_, kRendererGraceMs);
    if (orbilon::ModeLetter(platform::CommandLine()) == 'S')
        CursorCount = platform::ShowCursor(CursorCount);
    platform::EndProcess();
}

// SIGTERM, SIGINT and SIGHUP reach the host through the event loop, so the music stops and
// the pointer comes back however the run is ended (xss-lock sends SIGTERM or SIGHUP).
// Service runs end in the handler itself, as the services expect of a hack.
void Orbilon_S::WatchSignals() {
    if (run_.service) {
        struct sigaction sa {};
        sa.sa_handler = EndServiceRun;
        sigfillset(&sa.sa_mask);
        for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
        return;
    }
    if (pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    signals_ = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, this);
    connect(signals_, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        const int sig = read(gSignalPipe[0], &byte, 1) == 1 ? byte : SIGTERM;
        OnSignal(sig);
    });
    struct sigaction sa {};
    sa.sa_handler = OnSignalCaught;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
}

bool RendererOnWayland() {
    return orbilon::ChooseShell({
                                    .waylandDisplay = std::getenv("WAYLAND_DISPLAY"),
                                    .waylandSocket = std::getenv("WAYLAND_SOCKET"),
                                    .forced = std::getenv("ORBILON_SHELL"),
                                })
               .shell == orbilon::Shell::Wayland;
}

void LoadSaverHost(const HostRun& run) {
    // Lives until it ends the process.
    new Orbilon_S(run);
}

bool TakeDisplayLock(const char* what) {
    // The X display where the front end has one (XWayland too), else the Wayland display.
    const char* display = std::getenv(platform::HaveDisplay() ? "DISPLAY" : "WAYLAND_DISPLAY");
    const std::string path =
        orbilon::LockPath(platform::RuntimeDir(), getuid(), what, display ? display : "");
    return platform::TakeLock(path) != platform::LockResult::Busy;
}
