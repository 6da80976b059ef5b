// A stand-in for the renderer in the launcher's display tests: a window titled
// "Orbilon_VC" that ends on a key or button press or a close request, like the real one.
// FAKE_RENDERER_DELAY_MS delays the window, FAKE_RENDERER_NO_WINDOW never opens one, and
// FAKE_RENDERER_TITLE (with FAKE_RENDERER_UNMAPPED) makes a marker window of another title.
// With $XSCREENSAVER_WINDOW it fills that window with a child of its own and ends when the
// window is destroyed; FAKE_RENDERER_EXIT=N then ends it by itself with status N (a
// negative N: killed by that signal) after FAKE_RENDERER_EXIT_MS (default 500),
// FAKE_RENDERER_IGNORE_TERM makes it deaf to SIGTERM, and FAKE_RENDERER_PAINT_TARGET paints the
// window itself, as GL drawing into the root does.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

int InWindow(const char* target) {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) return 1;
    XSetErrorHandler(IgnoreErrors);
    const Window parent = std::strtoul(target, nullptr, 0);
    XWindowAttributes a;
    if (parent == 0 || !XGetWindowAttributes(dpy, parent, &a)) {
        std::fprintf(stderr, "fake renderer: no window %s\n", target);
        return 1;
    }
    if (std::getenv("FAKE_RENDERER_IGNORE_TERM")) std::signal(SIGTERM, SIG_IGN);
    XSelectInput(dpy, parent, StructureNotifyMask);
    if (std::getenv("FAKE_RENDERER_PAINT_TARGET")) {
        const GC gc = XCreateGC(dpy, parent, 0, nullptr);
        XSetForeground(dpy, gc, 0x3060c0);
        XFillRectangle(dpy, parent, gc, 0, 0, a.width, a.height);
    } else {
        const Window w = XCreateSimpleWindow(dpy, parent, 0, 0, a.width, a.height, 0, 0, 0x3060c0);
        XStoreName(dpy, w, "fake renderer");
        XMapWindow(dpy, w);
    }
    XSync(dpy, False);
    if (const char* code = std::getenv("FAKE_RENDERER_EXIT")) {
        const char* ms = std::getenv("FAKE_RENDERER_EXIT_MS");
        usleep(1000u * static_cast<unsigned>(ms ? std::atoi(ms) : 500));
        const int n = std::atoi(code);
        if (n < 0) {
            std::signal(-n, SIG_DFL);
            raise(-n);
        }
        return n;
    }
    for (;;) {
        XEvent e;
        XNextEvent(dpy, &e);
        if (e.type == DestroyNotify && e.xdestroywindow.window == parent) return 0;
    }
}

}  // namespace

int main() {
    if (const char* target = std::getenv("XSCREENSAVER_WINDOW")) return InWindow(target);
    if (const char* d = std::getenv("FAKE_RENDERER_DELAY_MS")) usleep(1000u * std::atoi(d));
    if (std::getenv("FAKE_RENDERER_NO_WINDOW")) {
        sleep(3);
        return 0;
    }
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "fake renderer: no display\n");
        return 1;
    }
    const int s = DefaultScreen(dpy);
    Window w = XCreateSimpleWindow(dpy, RootWindow(dpy, s), 0, 0, DisplayWidth(dpy, s),
                                   DisplayHeight(dpy, s), 0, 0, BlackPixel(dpy, s));
    const char* title = std::getenv("FAKE_RENDERER_TITLE");
    XStoreName(dpy, w, title ? title : "Orbilon_VC");
    Atom del = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(dpy, w, &del, 1);
    XSelectInput(dpy, w, KeyPressMask | ButtonPressMask | ExposureMask);
    if (!std::getenv("FAKE_RENDERER_UNMAPPED")) {
        XMapRaised(dpy, w);
        XSync(dpy, False);
        XSetInputFocus(dpy, w, RevertToParent, CurrentTime);
    }
    XSync(dpy, False);
    for (;;) {
        XEvent e;
        XNextEvent(dpy, &e);
        if (e.type == KeyPress || e.type == ButtonPress) break;
        if (e.type == ClientMessage && static_cast<Atom>(e.xclient.data.l[0]) == del) break;
    }
    XDestroyWindow(dpy, w);
    XCloseDisplay(dpy);
    return 0;
}
