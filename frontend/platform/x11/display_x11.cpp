#include "display_x11.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

#include "cursor_counter.h"
#include "window_watch.h"
#include "x11_windows.h"

namespace platform {
namespace {

CursorCounter gCursor;

// The end actions, fixed storage filled before any signal can read it: a handler sees an
// entry only once `ready` says it is complete.
struct EndWrite {
    int fd = -1;
    std::array<unsigned char, 20> bytes{};
    size_t size = 0;
};
EndWrite gEndWrite;
std::atomic<bool> gEndWriteReady{false};
std::array<char, 256> gEndFolder{};
std::atomic<bool> gEndFolderReady{false};

// Failed requests (a window that vanished between two calls) are skipped, as the front
// end does with every failing step; Xlib's default handler would end the process.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

struct DisplayCloser {
    void operator()(Display* d) const { XCloseDisplay(d); }
};

// The layer's own connection. It lives until the process ends, so a pointer hidden through
// it is shown again by the server when the front end goes, however it goes.
Display* Dpy() {
    static std::unique_ptr<Display, DisplayCloser> display = [] {
        std::unique_ptr<Display, DisplayCloser> d;
        if (std::getenv("DISPLAY") != nullptr) {
            d.reset(XOpenDisplay(nullptr));
            if (d) XSetErrorHandler(IgnoreXError);
        }
        return d;
    }();
    return display.get();
}

}  // namespace

bool HaveDisplay() {
    return Dpy() != nullptr;
}

WindowId FindWindowByTitle(const std::string& title) {
    Display* d = Dpy();
    if (!d) return 0;
    const orbilon::WindowTitles titles(d);
    return orbilon::FindTopLevelTitled(d, title, titles);
}

bool WindowTitledExists(const std::string& title) {
    Display* d = Dpy();
    if (!d) return false;
    static std::map<std::string, std::unique_ptr<orbilon::WindowWatch>> watches;
    auto& watch = watches[title];
    if (!watch) watch = std::make_unique<orbilon::WindowWatch>(d, title);
    return watch->Present();
}

bool WindowExists(WindowId id) {
    Display* d = Dpy();
    if (!d || id == 0) return false;
    XWindowAttributes attrs;
    return XGetWindowAttributes(d, id, &attrs) != 0;
}

int ShowCursor(int flag) {
    const CursorCounter::Change change = gCursor.Apply(flag);
    if (Display* d = Dpy(); d && (change.hide || change.show)) {
        int event = 0, error = 0;
        if (XFixesQueryExtension(d, &event, &error)) {
            if (change.hide)
                XFixesHideCursor(d, DefaultRootWindow(d));
            else
                XFixesShowCursor(d, DefaultRootWindow(d));
            XFlush(d);
        }
    }
    return change.counter;
}

std::optional<WindowRect> GetWindowRect(WindowId id) {
    Display* d = Dpy();
    if (!d || id == 0) return std::nullopt;
    Window root = 0, child = 0;
    int x = 0, y = 0, rx = 0, ry = 0;
    unsigned int w = 0, h = 0, border = 0, depth = 0;
    if (XGetGeometry(d, id, &root, &x, &y, &w, &h, &border, &depth) == 0) return std::nullopt;
    if (XTranslateCoordinates(d, id, root, 0, 0, &rx, &ry, &child) == 0) return std::nullopt;
    // The outer rectangle includes the X border on every side.
    const int b = static_cast<int>(border);
    return WindowRect{rx - b, ry - b, rx + static_cast<int>(w) + b, ry + static_cast<int>(h) + b};
}

WindowId ScreenRoot() {
    Display* d = Dpy();
    return d ? DefaultRootWindow(d) : 0;
}

std::string ToolkitRuntimeDirIfAbsent() {
    const passwd* user = getpwuid(getuid());
    if (!user || !user->pw_name) return {};
    // Qt's temporary folder: $TMPDIR, else /tmp.
    std::string tmp = "/tmp";
    if (const char* t = std::getenv("TMPDIR"); t && *t) tmp = t;
    while (tmp.size() > 1 && tmp.back() == '/') tmp.pop_back();
    const std::string dir = tmp + "/runtime-" + user->pw_name;
    struct stat st {};
    if (lstat(dir.c_str(), &st) == 0 || dir.size() >= gEndFolder.size()) return {};
    return dir;
}

void RemoveToolkitRuntimeDir(const std::string& absentBefore) {
    struct stat st {};
    if (absentBefore.empty() || lstat(absentBefore.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != getuid())
        return;
    std::memcpy(gEndFolder.data(), absentBefore.c_str(), absentBefore.size() + 1);
    gEndFolderReady = true;
}

void RunEndActions() {
    if (gEndWriteReady.exchange(false) &&
        write(gEndWrite.fd, gEndWrite.bytes.data(), gEndWrite.size) ==
            static_cast<ssize_t>(gEndWrite.size)) {
        // The request ends in one with a reply: once it comes, the server has done the
        // rest, which it might otherwise drop with the connection's end.
        pollfd in{gEndWrite.fd, POLLIN, 0};
        char reply[32];
        if (poll(&in, 1, 250) > 0) {
            [[maybe_unused]] const ssize_t n = read(gEndWrite.fd, reply, sizeof reply);
        }
    }
    // Another run on the display may still use it: rmdir leaves a folder that is not empty.
    if (gEndFolderReady.exchange(false)) rmdir(gEndFolder.data());
}

void ClearAtEnd(WindowId window) {
    // A connection of its own, idle after the open: at the end, even inside a signal
    // handler where Xlib may not run, one ClearArea request is written to it as it is.
    Display* d = XOpenDisplay(nullptr);
    if (!d || window == 0) return;
    XSync(d, False);
    struct {
        uint8_t opcode = 61;  // ClearArea
        uint8_t exposures = 1;
        uint16_t length = 4;  // in 4-byte units
        uint32_t window = 0;
        int16_t x = 0, y = 0;
        uint16_t width = 0, height = 0;  // 0: to the window's edges
        uint8_t syncOpcode = 43;         // GetInputFocus, for its reply
        uint8_t unused = 0;
        uint16_t syncLength = 1;
    } request;
    static_assert(sizeof request == 20);
    request.window = static_cast<uint32_t>(window);
    gEndWrite.fd = ConnectionNumber(d);
    std::memcpy(gEndWrite.bytes.data(), &request, sizeof request);
    gEndWrite.size = sizeof request;
    gEndWriteReady = true;
    // The connection stays open until the process ends.
}

void EndProcess(int status) {
    if (Display* d = Dpy()) XFlush(d);
    RunEndActions();
    std::fflush(nullptr);
    _exit(status);
}

}  // namespace platform
