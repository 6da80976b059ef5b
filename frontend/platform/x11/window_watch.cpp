#include "window_watch.h"

#include <X11/Xatom.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace orbilon {
namespace {

constexpr long WatchMask = StructureNotifyMask | PropertyChangeMask;

struct XFreeDeleter {
    void operator()(void* p) const {
        if (p) XFree(p);
    }
};

std::vector<Window> Children(Display* d, Window w) {
    Window root = None, parent = None, *raw = nullptr;
    unsigned int n = 0;
    if (XQueryTree(d, w, &root, &parent, &raw, &n) == 0) return {};
    std::unique_ptr<Window, XFreeDeleter> children(raw);
    return std::vector<Window>(raw, raw + n);
}

bool HasProperty(Display* d, Window w, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* raw = nullptr;
    const bool ok = XGetWindowProperty(d, w, property, 0, 0, False, AnyPropertyType, &type, &format,
                                       &count, &after, &raw) == Success;
    std::unique_ptr<unsigned char, XFreeDeleter> data(raw);
    return ok && type != None;
}

// The managed clients the window manager lists on the root; false when it keeps no list.
bool ClientList(Display* d, Window root, std::vector<Window>& out) {
    const Atom list = XInternAtom(d, "_NET_CLIENT_LIST", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* raw = nullptr;
    if (XGetWindowProperty(d, root, list, 0, 1 << 16, False, XA_WINDOW, &type, &format, &count,
                           &after, &raw) != Success) {
        return false;
    }
    std::unique_ptr<unsigned char, XFreeDeleter> data(raw);
    if (type != XA_WINDOW || format != 32 || !raw) return false;
    const unsigned long* ids = reinterpret_cast<const unsigned long*>(raw);
    out.assign(ids, ids + count);
    return true;
}

// The client windows inside a frame: the first windows carrying WM_STATE on each path down.
void FramedClients(Display* d, Window frame, Atom wmState, std::vector<Window>& out, int depth) {
    if (depth > 4) return;  // frames are shallow; a deeper tree is an application's own
    for (Window w : Children(d, frame)) {
        if (HasProperty(d, w, wmState)) {
            out.push_back(w);
        } else {
            FramedClients(d, w, wmState, out, depth + 1);
        }
    }
}

bool WindowManagerRunning(Display* d) {
    const std::string name = "WM_S" + std::to_string(DefaultScreen(d));
    return XGetSelectionOwner(d, XInternAtom(d, name.c_str(), False)) != None;
}

}  // namespace

Window FindTopLevelTitled(Display* d, const std::string& title, const WindowTitles& titles) {
    const Window root = DefaultRootWindow(d);
    const std::vector<Window> top = Children(d, root);
    for (Window w : top) {
        if (titles(w) == title) return w;
    }
    // Without a window manager every top-level window is a child of the root.
    if (!WindowManagerRunning(d)) return None;
    std::vector<Window> clients;
    if (!ClientList(d, root, clients)) {
        const Atom wmState = XInternAtom(d, "WM_STATE", False);
        for (Window w : top) {
            if (!HasProperty(d, w, wmState)) FramedClients(d, w, wmState, clients, 0);
        }
    }
    const std::set<Window> seen(top.begin(), top.end());
    for (Window w : clients) {
        if (!seen.contains(w) && titles(w) == title) return w;
    }
    return None;
}

WindowWatch::WindowWatch(Display* d, std::string title)
    : d_(d),
      title_(std::move(title)),
      titles_(d),
      netWmName_(XInternAtom(d, "_NET_WM_NAME", False)) {}

WindowWatch::~WindowWatch() {
    Forget();
}

void WindowWatch::Forget() {
    if (watched_ == None) return;
    XSelectInput(d_, watched_, NoEventMask);
    XEvent e;
    while (XCheckWindowEvent(d_, watched_, WatchMask, &e)) {
    }
    watched_ = None;
}

bool WindowWatch::Present() {
    if (watched_ != None) {
        bool gone = false, retitled = false;
        XEvent e;
        while (XCheckWindowEvent(d_, watched_, WatchMask, &e)) {
            if (e.type == DestroyNotify) gone = true;
            if (e.type == PropertyNotify &&
                (e.xproperty.atom == XA_WM_NAME || e.xproperty.atom == netWmName_)) {
                retitled = true;
            }
        }
        if (!gone && (!retitled || titles_(watched_) == title_)) return true;
        if (gone) watched_ = None;  // nothing left to deselect
        Forget();
    }
    const Window w = FindTopLevelTitled(d_, title_, titles_);
    if (w == None) return false;
    XSelectInput(d_, w, WatchMask);
    // It may have gone or changed its title between the search and the selection; from the
    // selection on, its events tell.
    if (titles_(w) != title_) {
        XSelectInput(d_, w, NoEventMask);
        return false;
    }
    watched_ = w;
    return true;
}

}  // namespace orbilon
