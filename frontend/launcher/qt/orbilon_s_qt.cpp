#include "orbilon_s_qt.h"

#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QCloseEvent>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "command_line.h"
#include "dispatch.h"
#include "display_x11.h"
#include "orbilon_b.h"
#include "service_core.h"
#include "settings.h"
#include "shell_choice.h"

namespace {

// The caught signal wakes the event loop through an eventfd: one descriptor, where a pipe
// takes two, for a front end that may run with very few.
int gSignalWake = -1;

// How long the renderer gets to end on SIGTERM before it is killed: the services wait about
// a second for the whole run to end.
constexpr int kRendererGraceMs = 400;

void OnSignalCaught(int) {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(gSignalWake, &one, sizeof one);
}

// The renderer of a service run, for its signal handler.
std::atomic<pid_t> gServiceRenderer{0};

// A service run ends inside the handler itself, not through the event loop, which may be
// busy starting the music for seconds: the renderer gets SIGTERM and a short grace, then
// SIGKILL, and the process dies by the signal (its music goes with it). Async-signal-safe.
void EndServiceRunNow(int sig) {
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
    platform::RunEndActions();
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

Orbilon_S::Orbilon_S(const HostRun& run)
    : run_(run),
      host_(
          *this, music_,
          orbilon::HostConfig{BGMKind, BGMFile, platform::CommandLine(), run.service, run.music}) {
    if (!run_.service) {
        // Several service runs share a display, one per monitor: none carries the title
        // that would stop the others. Loaded, not shown: the native window exists so the
        // title can be found while unmapped.
        setWindowTitle(orbilon::kHostTitle);
        winId();
    }
    WatchSignals();
    host_.Load();
}

void Orbilon_S::StartTimer(orbilon::HostTimer timer, int ms) {
    std::unique_ptr<QTimer>& t = timers_[timer];
    if (!t) {
        t = std::make_unique<QTimer>();
        connect(t.get(), &QTimer::timeout, this, [this, timer] { host_.Tick(timer); });
    }
    t->start(ms);
}

void Orbilon_S::StopTimer(orbilon::HostTimer timer) {
    if (const auto t = timers_.find(timer); t != timers_.end()) t->second->stop();
}

void Orbilon_S::Launch() {
    RendererPath = ProgramFolder() + "/" + orbilon::kRendererName;
    std::optional<uint32_t> target;
    if (run_.service) target = static_cast<uint32_t>(run_.target);
    renderer_ = platform::StartProcess(
        RendererPath, orbilon::RendererEnvironment(platform::Environment(), target));
    // The renderer picks its shell from the environment it was given, by the same rule.
    watchProcess_ = !run_.service && RendererOnWayland();
    if (run_.service) gServiceRenderer = renderer_;
    // The root window keeps the last frame until something repaints it.
    if (run_.service && run_.target == platform::ScreenRoot()) platform::ClearAtEnd(run_.target);
    sinceLaunch_.start();
}

bool Orbilon_S::RendererWindowPresent() {
    // On Wayland no program can see another's windows: the renderer's process stands for its
    // window.
    if (watchProcess_) return !RendererEnded();
    return platform::WindowTitledExists(orbilon::kRendererTitle);
}

bool Orbilon_S::RendererEnded() {
    if (rendererReaped_) return true;
    if (!platform::ProcessEnded(renderer_, &rendererStatus_)) return false;
    rendererReaped_ = true;
    gServiceRenderer = 0;  // reaped: its pid is no longer ours to signal
    return true;
}

int64_t Orbilon_S::MsSinceLaunch() {
    return sinceLaunch_.elapsed();
}

void Orbilon_S::StopRenderer() {
    platform::SignalProcess(renderer_, SIGTERM);
}

void Orbilon_S::AwaitRenderer() {
    platform::AwaitProcess(renderer_, kRendererGraceMs);
}

void Orbilon_S::RestoreCursor() {
    CursorCount = platform::ShowCursor(CursorCount);
}

bool Orbilon_S::TakeMusicLock() {
    return TakeDisplayLock("music") == platform::LockResult::Taken;
}

void Orbilon_S::End(int status) {
    platform::EndProcess(status);
}

// A service run ends when its renderer does: quietly after a clean end (the service
// destroyed the window), with a line and a failure status otherwise.
void Orbilon_S::EndServiceRun() {
    orbilon::RendererEnd end;
    if (renderer_ <= 0)
        end = {1, std::string(orbilon::kProgramName) + ": cannot start " + RendererPath};
    else
        end = orbilon::DescribeRendererEnd(rendererStatus_);
    if (!end.line.empty()) std::fprintf(stderr, "%s\n", end.line.c_str());
    platform::EndProcess(end.exitStatus);
}

void Orbilon_S::closeEvent(QCloseEvent* event) {
    event->accept();
    host_.QueryUnload();
}

// SIGTERM, SIGINT and SIGHUP reach the host through the event loop, so the music stops and
// the pointer comes back however the run is ended (xss-lock sends SIGTERM or SIGHUP).
// Service runs end in the handler itself, as the services expect of a hack.
void Orbilon_S::WatchSignals() {
    if (run_.service) {
        struct sigaction sa {};
        sa.sa_handler = EndServiceRunNow;
        sigfillset(&sa.sa_mask);
        for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
        return;
    }
    gSignalWake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (gSignalWake < 0) return;
    signals_ = new QSocketNotifier(gSignalWake, QSocketNotifier::Read, this);
    connect(signals_, &QSocketNotifier::activated, this, [this] {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = read(gSignalWake, &count, sizeof count);
        host_.EndBySignal();
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

platform::LockResult TakeDisplayLock(const char* what) {
    // The X display where the front end has one (XWayland too), else the Wayland display.
    const char* display = std::getenv(platform::HaveDisplay() ? "DISPLAY" : "WAYLAND_DISPLAY");
    return platform::TakeFirstLock(
        orbilon::LockPaths(platform::RuntimeDir(), getuid(), what, display ? display : ""));
}

orbilon::HostConfig::Music MusicOfRun() {
    const long free = platform::FreeDescriptors();
    if (!orbilon::MusicHasRoom(free)) {
        std::fprintf(stderr,
                     "%s: only %ld file descriptors free, too few for the music; "
                     "the saver runs without it\n",
                     orbilon::kProgramName, free);
        return orbilon::HostConfig::Music::None;
    }
    // Without any lock to be had nobody plays: every process would otherwise.
    return TakeDisplayLock("music") == platform::LockResult::Taken
               ? orbilon::HostConfig::Music::Now
               : orbilon::HostConfig::Music::Later;
}
