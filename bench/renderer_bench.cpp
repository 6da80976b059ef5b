// renderer-bench: timings of the real saver window on $DISPLAY.
//   renderer-bench frames N   frames per second and CPU per frame over N frames (after a warm-up)
//   renderer-bench start [RUNS]
//                             time from starting a program to its first buffer swap, the median
//                             of RUNS starts (default 15): XScreenSaver's gears in a screen-sized
//                             window, Orbilon.dll full screen, and Orbilon.dll in gears' window;
//                             one line: wall and CPU milliseconds for each, and Orbilon's
//                             full-screen start over gears' (over_gears, cpu_over_gears)
// The model before Xlib, whose macros (Above) clash with its names.
#include "model/scene.h"
// clang-format off
#include <X11/Xlib.h>
// clang-format on
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "x11_saver.h"

namespace {

double Seconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

std::string Beside(const char* name) {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = n > 0 ? std::string(self, n) : std::string("./x");
    return dir.substr(0, dir.rfind('/') + 1) + name;
}

int64_t NowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<int64_t>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

struct StartTime {
    double wallMs = 0;  // from spawning the program to its first buffer swap
    double cpuMs = 0;   // CPU time the program used until then, all its threads
};

// The start of one program, as the preloaded probe reports it; nothing when it never swaps
// within 30 seconds.
std::optional<StartTime> TimeFirstSwap(const std::vector<std::string>& argv,
                                       const std::vector<std::string>& extraEnv) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
    std::vector<std::string> env = extraEnv;
    env.push_back("LD_PRELOAD=" + Beside("first-swap-probe.so"));
    env.push_back("ORBILON_FIRST_SWAP_FD=" + std::to_string(fds[1]));
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "LD_PRELOAD=", 11) != 0) env.push_back(*e);
    }
    std::vector<char*> args, envp;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The write end must survive exec in the child only.
    posix_spawn_file_actions_adddup2(&actions, fds[1], fds[1]);
    pid_t pid = 0;
    const int64_t t0 = NowNs();
    const int err = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::optional<StartTime> ms;
    if (err == 0) {
        pollfd p{fds[0], POLLIN, 0};
        char line[64] = {};
        long long wall = 0, cpu = 0;
        if (poll(&p, 1, 30000) == 1 && read(fds[0], line, sizeof line - 1) > 0 &&
            std::sscanf(line, "%lld %lld", &wall, &cpu) == 2) {
            ms = StartTime{(wall - t0) / 1e6, cpu / 1e6};
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    close(fds[0]);
    return ms;
}

StartTime Median(std::vector<StartTime> v) {
    if (v.empty()) return {-1, -1};
    StartTime m;
    std::sort(v.begin(), v.end(), [](auto& a, auto& b) { return a.wallMs < b.wallMs; });
    m.wallMs = v[v.size() / 2].wallMs;
    std::sort(v.begin(), v.end(), [](auto& a, auto& b) { return a.cpuMs < b.cpuMs; });
    m.cpuMs = v[v.size() / 2].cpuMs;
    return m;
}

int Start(int runs) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "renderer-bench: cannot open the display\n");
        return 1;
    }
    // gears' window (and Orbilon's in its window run): screen-sized, as the saver's own.
    const int screen = DefaultScreen(d);
    const Window w = XCreateSimpleWindow(d, RootWindow(d, screen), 0, 0, DisplayWidth(d, screen),
                                         DisplayHeight(d, screen), 0, 0, 0);
    XMapWindow(d, w);
    XSync(d, False);
    char id[32];
    std::snprintf(id, sizeof id, "0x%lx", w);

    std::string gears;
    for (const char* g : {"/usr/libexec/xscreensaver/gears", "/usr/lib/xscreensaver/gears"}) {
        if (access(g, X_OK) == 0) gears = g;
    }
    const std::string orbilon = Beside("Orbilon.dll");
    std::vector<StartTime> tg, tf, tw;
    for (int i = 0; i < runs; ++i) {
        if (!gears.empty()) {
            if (auto t = TimeFirstSwap({gears, "-window-id", id}, {})) tg.push_back(*t);
        }
        if (auto t = TimeFirstSwap({orbilon}, {})) tf.push_back(*t);
        if (auto t = TimeFirstSwap({orbilon}, {std::string("XSCREENSAVER_WINDOW=") + id})) {
            tw.push_back(*t);
        }
    }
    XDestroyWindow(d, w);
    XCloseDisplay(d);
    if (tf.empty()) {
        std::fprintf(stderr, "renderer-bench: Orbilon.dll never swapped\n");
        return 1;
    }
    // Wall time swings with the machine's load; the CPU time to the first swap much less.
    const StartTime g = Median(tg), f = Median(tf), in = Median(tw);
    std::printf(
        "first_swap_ms runs=%d gears=%.1f orbilon_in_window=%.1f orbilon=%.1f over_gears=%.1f "
        "cpu: gears=%.1f orbilon_in_window=%.1f orbilon=%.1f cpu_over_gears=%.1f%s\n",
        runs, g.wallMs, in.wallMs, f.wallMs, f.wallMs - g.wallMs, g.cpuMs, in.cpuMs, f.cpuMs,
        f.cpuMs - g.cpuMs, tg.empty() ? " (no gears)" : "");
    return 0;
}

int Frames(uint64_t n) {
    constexpr uint64_t warmUp = 20;
    double wall0 = 0, thread0 = 0, process0 = 0, wall = 0, thread = 0, process = 0;
    orbilon::SaverHooks hooks;
    hooks.unpaced = true;
    hooks.afterSwap = [&](uint64_t frame) {
        if (frame == warmUp) {
            wall0 = Seconds(CLOCK_MONOTONIC);
            thread0 = Seconds(CLOCK_THREAD_CPUTIME_ID);
            process0 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
        }
        if (frame == warmUp + n) {
            wall = Seconds(CLOCK_MONOTONIC) - wall0;
            thread = Seconds(CLOCK_THREAD_CPUTIME_ID) - thread0;
            process = Seconds(CLOCK_PROCESS_CPUTIME_ID) - process0;
            return false;
        }
        return true;
    };
    const int rc = orbilon::RunSaver(hooks);
    if (rc != 0 || wall <= 0) return rc ? rc : 1;

    // The model alone, stepped as often with nothing drawn.
    orbilon::Scene scene(1);
    const double m0 = Seconds(CLOCK_THREAD_CPUTIME_ID);
    for (uint64_t i = 0; i < n; ++i) scene.StepFrame();
    const double model = Seconds(CLOCK_THREAD_CPUTIME_ID) - m0;

    const double perFrame = 1000.0 / n;
    std::printf("frames=%llu fps=%.1f\n", static_cast<unsigned long long>(n), n / wall);
    std::printf(
        "cpu_ms_per_frame: model=%.2f drawing_main_thread=%.2f rasteriser_threads=%.2f "
        "total=%.2f\n",
        model * perFrame, (thread - model) * perFrame, (process - thread) * perFrame,
        process * perFrame);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && argc <= 3 && std::strcmp(argv[1], "start") == 0) {
        const int runs = argc == 3 ? std::atoi(argv[2]) : 15;
        if (runs > 0) return Start(runs);
    }
    if (argc == 3 && std::strcmp(argv[1], "frames") == 0) {
        const long long n = std::atoll(argv[2]);
        if (n > 0) return Frames(static_cast<uint64_t>(n));
    }
    std::fprintf(stderr, "usage: renderer-bench start [RUNS] | frames N\n");
    return 2;
}
