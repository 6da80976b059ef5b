// renderer-bench: timings of the real saver window on $DISPLAY.
//   renderer-bench frames N   frames per second and CPU per frame over N frames (after a warm-up)
//   renderer-bench start      prints the wall clock (ns since 1970) at the first buffer swap and
//                             ends; subtract the time the process was started at
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "model/scene.h"
#include "x11_saver.h"

namespace {

double Seconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

int Start() {
    orbilon::SaverHooks hooks;
    hooks.afterSwap = [](uint64_t) {
        timespec t{};
        clock_gettime(CLOCK_REALTIME, &t);
        std::printf("%lld\n", static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec);
        return false;
    };
    return orbilon::RunSaver(hooks);
}

int Frames(uint64_t n) {
    constexpr uint64_t warmUp = 20;
    double wall0 = 0, thread0 = 0, process0 = 0, wall = 0, thread = 0, process = 0;
    orbilon::SaverHooks hooks;
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
    if (argc == 2 && std::strcmp(argv[1], "start") == 0) return Start();
    if (argc == 3 && std::strcmp(argv[1], "frames") == 0) {
        const long long n = std::atoll(argv[2]);
        if (n > 0) return Frames(static_cast<uint64_t>(n));
    }
    std::fprintf(stderr, "usage: renderer-bench start | frames N\n");
    return 2;
}
