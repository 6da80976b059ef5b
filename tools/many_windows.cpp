// many-windows N [SECONDS]: fills $DISPLAY with N windows (top-level windows of ten nested
// windows each, as applications have them) and keeps them until stdin closes or it is killed.
// With SECONDS it instead times, over that long, the ways of answering "is there a window
// titled Orbilon_VC?" with those windows present (one must exist already): walking the whole
// tree, searching the top-level windows, and following the window once found. Prints the CPU
// of one answer and the share of a core a 50 ms poll would take.
#include <X11/Xlib.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "window_watch.h"
#include "x11_windows.h"

namespace {

constexpr char Title[] = "Orbilon_VC";
constexpr int PerTopLevel = 10;

int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

double WallSeconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

void Fill(Display* d, int n) {
    const Window root = DefaultRootWindow(d);
    Window top = None;
    for (int i = 0; i < n; ++i) {
        const std::string name = "window " + std::to_string(i);
        if (i % PerTopLevel == 0) {
            top = XCreateSimpleWindow(d, root, (i * 7) % 800, (i * 3) % 600, 200, 100, 0, 0, 0);
            XStoreName(d, top, name.c_str());
            XMapWindow(d, top);
        } else {
            const Window w = XCreateSimpleWindow(d, top, i % 50, i % 30, 40, 20, 0, 0, 0);
            XStoreName(d, w, name.c_str());
            XMapWindow(d, w);
        }
    }
    XSync(d, False);
}

// Times answer() over the given seconds (at least 5 calls); CPU per call in ms.
double TimePolls(double seconds, const std::function<bool()>& answer, bool& found) {
    int calls = 0;
    const double cpu0 = CpuSeconds(), wall0 = WallSeconds();
    do {
        found = answer();
        ++calls;
    } while (calls < 5 || WallSeconds() - wall0 < seconds);
    return (CpuSeconds() - cpu0) * 1000 / calls;
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc >= 2 ? std::atoi(argv[1]) : 0;
    if (argc < 2 || argc > 3 || n <= 0) {
        std::fprintf(stderr, "usage: many-windows N [SECONDS]\n");
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "many-windows: no display\n");
        return 1;
    }
    XSetErrorHandler(IgnoreXError);
    if (argc == 2) {
        Fill(d, n);
        std::printf("ready\n");
        std::fflush(stdout);
        char buffer[64];
        while (read(0, buffer, sizeof buffer) > 0) {
        }
        XCloseDisplay(d);
        return 0;
    }
    const double seconds = std::atof(argv[2]);
    const orbilon::WindowTitles titles(d);
    auto watch = std::make_unique<orbilon::WindowWatch>(d, Title);
    bool walk = false, search = false, follow = false;
    const double walkMs = TimePolls(
        seconds,
        [&] {
            return orbilon::FindWindowBelow(d, DefaultRootWindow(d),
                                            [&](Window w) { return titles(w) == Title; }) != None;
        },
        walk);
    const double searchMs = TimePolls(
        seconds, [&] { return orbilon::FindTopLevelTitled(d, Title, titles) != None; }, search);
    const double followMs = TimePolls(
        seconds, [&] { return watch->Present(); }, follow);
    auto share = [](double ms) { return ms / 50 * 100; };
    std::printf("whole-tree walk: %.3f ms CPU per poll, %.2f %% of a core at 50 ms (found %d)\n",
                walkMs, share(walkMs), walk);
    std::printf("top-level search: %.3f ms CPU per poll, %.2f %% of a core at 50 ms (found %d)\n",
                searchMs, share(searchMs), search);
    std::printf("followed window: %.4f ms CPU per poll, %.3f %% of a core at 50 ms (found %d)\n",
                followMs, share(followMs), follow);
    watch.reset();
    XCloseDisplay(d);
    return walk && search && follow ? 0 : 1;
}
