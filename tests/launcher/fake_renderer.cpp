// A stand-in for the renderer in the launcher's display tests: a window titled
// "Orbilon_VC" that ends on a key or button press or a close request, like the real one.
// FAKE_RENDERER_DELAY_MS delays the window, FAKE_RENDERER_NO_WINDOW never opens one, and
// FAKE_RENDERER_TITLE (with FAKE_RENDERER_UNMAPPED) makes a marker window of another title.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

int main() {
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
