// Preloaded into a GL program by `renderer-bench start`: at the program's first buffer swap
// (GLX or EGL) it writes the monotonic clock in nanoseconds to the descriptor named by
// $ORBILON_FIRST_SWAP_FD and ends the program, so any GL program's start can be timed alike.
#include <dlfcn.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

void Report() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    const char* fd = std::getenv("ORBILON_FIRST_SWAP_FD");
    if (fd) {
        char line[32];
        const int n = std::snprintf(line, sizeof line, "%lld\n",
                                    static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec);
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
