// xtool: a small X11 driver for the display tests and `make run` (find windows, inject input
// with XTest, take screenshots), so tests need no tool beyond Xlib.
//
//   xtool find TITLE                 ids of every window below the root with that title
//   xtool wait TITLE SECONDS         waits until such a window exists; prints its id
//   xtool gone TITLE SECONDS         waits until no such window exists
//   xtool info ID                    title, class, mapped state and root geometry
//   xtool key [KEYSYM]               press and release a key (default: space)
//   xtool button N                   press and release pointer button N
//   xtool down N | up N              only press, or only release, pointer button N
//   xtool move X Y                   move the pointer to (X, Y)
//   xtool close ID                   send WM_DELETE_WINDOW to a window
//   xtool resize ID W H              resize a window
//   xtool screenshot OUT.png [ID]    the root window (or ID) as a PNG
//   xtool pixel X Y                  the root's pixel as "R G B", each 0-255
//   xtool window W H                 create a mapped plain window titled "xtool parent", print
//                                    its id, and keep it until stdin closes or it is destroyed
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "pixel_channels.h"
#include "png.h"
#include "x11_windows.h"

namespace {

std::vector<Window> Find(Display* d, const std::string& title) {
    const orbilon::WindowTitles titles(d);
    std::vector<Window> out;
    orbilon::FindWindowBelow(d, DefaultRootWindow(d), [&](Window w) {
        if (titles(w) == title) out.push_back(w);
        return false;
    });
    return out;
}

int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

bool Screenshot(Display* d, Window w, const std::string& path) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a)) return false;
    XImage* img = XGetImage(d, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!img) return false;
    std::vector<uint8_t> rgb(static_cast<size_t>(a.width) * a.height * 3);
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            unsigned long p = XGetPixel(img, x, y);
            uint8_t* o = &rgb[(static_cast<size_t>(y) * a.width + x) * 3];
            o[0] = orbilon::ChannelTo8(p, img->red_mask);
            o[1] = orbilon::ChannelTo8(p, img->green_mask);
            o[2] = orbilon::ChannelTo8(p, img->blue_mask);
        }
    }
    XDestroyImage(img);
    return orbilon::WritePng(path, a.width, a.height, rgb);
}

// The moment SECONDS (a decimal text) from now.
std::chrono::steady_clock::time_point DeadlineIn(const char* seconds) {
    return std::chrono::steady_clock::now() +
           std::chrono::milliseconds(static_cast<int>(std::atof(seconds) * 1000));
}

int Usage() {
    std::fprintf(stderr,
                 "usage: xtool "
                 "find|wait|gone|focus|info|key|button|move|close|resize|screenshot|pixel|window "
                 "...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string cmd = argv[1];
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "xtool: cannot open display\n");
        return 1;
    }
    XSetErrorHandler(IgnoreErrors);
    const Window root = DefaultRootWindow(d);
    int rc = 0;
    if (cmd == "find" && argc == 3) {
        auto ws = Find(d, argv[2]);
        for (Window w : ws) std::printf("%lu\n", w);
        rc = ws.empty() ? 1 : 0;
    } else if ((cmd == "wait" || cmd == "gone") && argc == 4) {
        const auto end = DeadlineIn(argv[3]);
        rc = 1;
        while (std::chrono::steady_clock::now() < end) {
            auto ws = Find(d, argv[2]);
            if (cmd == "wait" && !ws.empty()) {
                std::printf("%lu\n", ws.front());
                rc = 0;
                break;
            }
            if (cmd == "gone" && ws.empty()) {
                rc = 0;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    } else if (cmd == "focus" && argc == 4) {
        // focus ID SECONDS: true once the keyboard focus is on window ID or inside it.
        const Window w = std::strtoul(argv[2], nullptr, 0);
        const auto end = DeadlineIn(argv[3]);
        rc = 1;
        while (rc && std::chrono::steady_clock::now() < end) {
            Window f = None;
            int revert = 0;
            XGetInputFocus(d, &f, &revert);
            // A focus below the root is a window of ours or a child of it.
            while (f != None && f != PointerRoot && f != root && f != w) {
                Window r = None, parent = None, *children = nullptr;
                unsigned int n = 0;
                if (!XQueryTree(d, f, &r, &parent, &children, &n)) break;
                if (children) XFree(children);
                f = parent;
            }
            if (f == w) {
                rc = 0;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
    } else if (cmd == "info" && argc == 3) {
        Window w = std::strtoul(argv[2], nullptr, 0);
        XWindowAttributes a;
        if (!XGetWindowAttributes(d, w, &a)) {
            rc = 1;
        } else {
            XClassHint hint{};
            std::string cls, inst;
            if (XGetClassHint(d, w, &hint)) {
                inst = hint.res_name ? hint.res_name : "";
                cls = hint.res_class ? hint.res_class : "";
                XFree(hint.res_name);
                XFree(hint.res_class);
            }
            int x = 0, y = 0;
            Window child;
            XTranslateCoordinates(d, w, root, 0, 0, &x, &y, &child);
            std::printf(
                "title=%s\ninstance=%s\nclass=%s\nmapped=%d\nx=%d\ny=%d\nwidth=%d\nheight=%d\n",
                orbilon::WindowTitles(d)(w).c_str(), inst.c_str(), cls.c_str(),
                a.map_state == IsViewable, x, y, a.width, a.height);
        }
    } else if (cmd == "key" && argc <= 3) {
        KeySym sym = XStringToKeysym(argc == 3 ? argv[2] : "space");
        KeyCode code = XKeysymToKeycode(d, sym);
        if (!code) {
            rc = 1;
        } else {
            XTestFakeKeyEvent(d, code, True, 0);
            XTestFakeKeyEvent(d, code, False, 0);
        }
    } else if (cmd == "button" && argc == 3) {
        unsigned int b = std::atoi(argv[2]);
        XTestFakeButtonEvent(d, b, True, 0);
        XTestFakeButtonEvent(d, b, False, 0);
    } else if ((cmd == "down" || cmd == "up") && argc == 3) {
        XTestFakeButtonEvent(d, std::atoi(argv[2]), cmd == "down", 0);
    } else if (cmd == "move" && argc == 4) {
        XTestFakeMotionEvent(d, DefaultScreen(d), std::atoi(argv[2]), std::atoi(argv[3]), 0);
    } else if (cmd == "close" && argc == 3) {
        Window w = std::strtoul(argv[2], nullptr, 0);
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(d, w, False, NoEventMask, &e);
    } else if (cmd == "resize" && argc == 5) {
        XResizeWindow(d, std::strtoul(argv[2], nullptr, 0), std::atoi(argv[3]), std::atoi(argv[4]));
    } else if (cmd == "screenshot" && (argc == 3 || argc == 4)) {
        Window w = argc == 4 ? std::strtoul(argv[3], nullptr, 0) : root;
        rc = Screenshot(d, w, argv[2]) ? 0 : 1;
    } else if (cmd == "pixel" && argc == 4) {
        XImage* img =
            XGetImage(d, root, std::atoi(argv[2]), std::atoi(argv[3]), 1, 1, AllPlanes, ZPixmap);
        if (!img) {
            rc = 1;
        } else {
            unsigned long p = XGetPixel(img, 0, 0);
            std::printf("%d %d %d\n", orbilon::ChannelTo8(p, img->red_mask),
                        orbilon::ChannelTo8(p, img->green_mask),
                        orbilon::ChannelTo8(p, img->blue_mask));
            XDestroyImage(img);
        }
    } else if (cmd == "window" && argc == 4) {
        Window w = XCreateSimpleWindow(d, root, 0, 0, std::atoi(argv[2]), std::atoi(argv[3]), 0, 0,
                                       0x404040);
        XStoreName(d, w, "xtool parent");
        XSelectInput(d, w, StructureNotifyMask);
        XMapWindow(d, w);
        XSync(d, False);
        std::printf("%lu\n", w);
        std::fflush(stdout);
        // Lives until stdin closes (the test ends it) or the window is destroyed.
        for (;;) {
            while (XPending(d)) {
                XEvent e;
                XNextEvent(d, &e);
                if (e.type == DestroyNotify && e.xdestroywindow.window == w) goto done;
            }
            pollfd fds[2] = {{0, POLLIN, 0}, {ConnectionNumber(d), POLLIN, 0}};
            poll(fds, 2, 200);
            if (fds[0].revents & (POLLIN | POLLHUP)) {
                char buf[64];
                if (read(0, buf, sizeof buf) <= 0) break;
            }
        }
    done:;
    } else {
        XCloseDisplay(d);
        return Usage();
    }
    XSync(d, False);
    XCloseDisplay(d);
    return rc;
}
