// LD_PRELOAD shim for timing any GLX program the way renderer-bench times the saver: counts
// glXSwapBuffers calls and, SWAP_COUNT_FRAMES swaps after a warm-up of SWAP_COUNT_WARMUP
// (default 20), prints frames per second and CPU per frame (the swapping thread, the other
// threads) to stderr and ends the process. With SWAP_COUNT_FIRST set it prints the wall clock
// at the end of the first swap instead (ns since 1970, as renderer-bench start does) and ends.
//   SWAP_COUNT_FRAMES=300 LD_PRELOAD=build/libswap-count.so /usr/libexec/xscreensaver/gears
#include <EGL/egl.h>
#include <GL/glx.h>
#include <dlfcn.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

double Seconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

long Setting(const char* name, long fallback) {
    const char* v = std::getenv(name);
    const long n = v ? std::atol(v) : 0;
    return n > 0 ? n : fallback;
}

// Counts one swap; at the end of the measured run prints the figures and ends the process.
void Swapped() {
    static const bool first = std::getenv("SWAP_COUNT_FIRST") != nullptr;
    static const long warmUp = Setting("SWAP_COUNT_WARMUP", 20);
    static const long frames = Setting("SWAP_COUNT_FRAMES", 300);
    static long count = 0;
    static double wall0, thread0, process0;
    if (first) {
        timespec t{};
        clock_gettime(CLOCK_REALTIME, &t);
        std::printf("%lld\n", static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec);
        std::fflush(stdout);
        _exit(0);
    }
    ++count;
    if (count == warmUp) {
        wall0 = Seconds(CLOCK_MONOTONIC);
        thread0 = Seconds(CLOCK_THREAD_CPUTIME_ID);
        process0 = Seconds(CLOCK_PROCESS_CPUTIME_ID);
    } else if (count == warmUp + frames) {
        const double wall = Seconds(CLOCK_MONOTONIC) - wall0;
        const double thread = Seconds(CLOCK_THREAD_CPUTIME_ID) - thread0;
        const double process = Seconds(CLOCK_PROCESS_CPUTIME_ID) - process0;
        const double perFrame = 1000.0 / frames;
        std::fprintf(stderr,
                     "frames=%ld fps=%.1f\ncpu_ms_per_frame: main_thread=%.2f "
                     "rasteriser_threads=%.2f total=%.2f\n",
                     frames, frames / wall, thread * perFrame, (process - thread) * perFrame,
                     process * perFrame);
        _exit(0);
    }
}

}  // namespace

// GLX programs swap here; XScreenSaver 6's hacks draw through EGL and swap there.
extern "C" void glXSwapBuffers(Display* dpy, GLXDrawable drawable) {
    using Swap = void (*)(Display*, GLXDrawable);
    static const Swap next = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    if (next) next(dpy, drawable);
    Swapped();
}

extern "C" EGLBoolean eglSwapBuffers(EGLDisplay dpy, EGLSurface surface) {
    using Swap = EGLBoolean (*)(EGLDisplay, EGLSurface);
    static const Swap next = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "eglSwapBuffers"));
    const EGLBoolean done = next ? next(dpy, surface) : EGL_FALSE;
    Swapped();
    return done;
}
