// Preloaded into a GL program by `renderer-bench start`: at the program's first buffer swap
// (GLX or EGL) it writes the monotonic clock and the process's CPU time so far, in nanoseconds,
// to the descriptor named by $ORBILON_FIRST_SWAP_FD and ends the program, so any GL program's
// start can be timed alike.
#include <dlfcn.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

void Report() {
    timespec t{}, cpu{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    const char* fd = std::getenv("ORBILON_FIRST_SWAP_FD");
    if (fd) {
        char line[64];
        const int n =
            std::snprintf(line, sizeof line, "%lld %lld\n",
                          static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec,
                          static_cast<long long>(cpu.tv_sec) * 1000000000LL + cpu.tv_nsec);
        if (write(std::atoi(fd), line, n) != n) _exit(3);
    }
    _exit(0);
}

}  // namespace

extern "C" {

void glXSwapBuffers(void* display, unsigned long drawable) {
    using Fn = void (*)(void*, unsigned long);
    static const auto real = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    if (real) real(display, drawable);
    Report();
}

unsigned int eglSwapBuffers(void* display, void* surface) {
    using Fn = unsigned int (*)(void*, void*);
    static const auto real = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "eglSwapBuffers"));
    if (real) real(display, surface);
    Report();
    return 1;
}
}
