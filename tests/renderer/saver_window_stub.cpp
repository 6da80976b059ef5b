// saver-window-stub: a mapped window of class "WindowsScreenSaverClass" titled "Screensaver",
// as an already running saver shows it. Prints its id, then "focused" when it gains the input
// focus; lives until stdin closes.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>

int main() {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return 1;
    const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 10, 10, 200, 100, 0, 0, 0x202020);
    XClassHint hint{const_cast<char*>("stub"), const_cast<char*>("WindowsScreenSaverClass")};
    XSetClassHint(d, w, &hint);
    XStoreName(d, w, "Screensaver");
    XSelectInput(d, w, FocusChangeMask);
    XMapWindow(d, w);
    XSync(d, False);
    std::printf("%lu\n", w);
    std::fflush(stdout);
    for (;;) {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == FocusIn) {
                std::printf("focused\n");
                std::fflush(stdout);
            }
        }
        pollfd fds[2] = {{0, POLLIN, 0}, {ConnectionNumber(d), POLLIN, 0}};
        poll(fds, 2, 200);
        if (fds[0].revents & (POLLIN | POLLHUP)) {
            char buf[64];
            if (read(0, buf, sizeof buf) <= 0) break;
        }
    }
    XCloseDisplay(d);
    return 0;
}
