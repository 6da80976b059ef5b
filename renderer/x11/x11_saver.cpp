#include "x11_saver.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <sched.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "frame_gate.h"
#include "gl_scene.h"
#include "glx_surface.h"
#include "monitor_layout.h"
#include "saver_proc.h"
#include "x11_display.h"
#include "x11_windows.h"

namespace orbilon {

namespace {

constexpr const char* ClassName = kSaverClass;
constexpr char InstanceName[] = "Orbilon";
constexpr const char* CreationTitle = kSaverCreationTitle;
constexpr const char* Program = kRendererName;

struct DisplayCloser {
    void operator()(Display* d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

enum AtomIndex {
    WmProtocols,
    WmDeleteWindow,
    NetWmName,
    Utf8String,
    NetWmState,
    NetWmStateFullscreen,
    NetWmStateAbove,
    MotifWmHints,
    NetActiveWindow,
    NetWmFullscreenMonitors,
    NetSupported,
    NetSupportingWmCheck,
    AtomCount
};

struct Atoms {
    explicit Atoms(Display* d) {
        const char* names[AtomCount] = {"WM_PROTOCOLS",        "WM_DELETE_WINDOW",
                                        "_NET_WM_NAME",        "UTF8_STRING",
                                        "_NET_WM_STATE",       "_NET_WM_STATE_FULLSCREEN",
                                        "_NET_WM_STATE_ABOVE", "_MOTIF_WM_HINTS",
                                        "_NET_ACTIVE_WINDOW",  "_NET_WM_FULLSCREEN_MONITORS",
                                        "_NET_SUPPORTED",      "_NET_SUPPORTING_WM_CHECK"};
        XInternAtoms(d, const_cast<char**>(names), AtomCount, False, atom);
    }
    Atom operator[](AtomIndex i) const { return atom[i]; }
    Atom atom[AtomCount] = {};
};

bool HasClass(Display* d, Window w, const char* cls) {
    XClassHint hint{};
    if (!XGetClassHint(d, w, &hint)) return false;
    const bool match = hint.res_class && std::strcmp(hint.res_class, cls) == 0;
    XFree(hint.res_name);
    XFree(hint.res_class);
    return match;
}

void BringToFront(Display* d, const Atoms& atoms, Window w) {
    XRaiseWindow(d, w);
    XSetInputFocus(d, w, RevertToPointerRoot, CurrentTime);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = atoms[NetActiveWindow];
    e.xclient.format = 32;
    e.xclient.data.l[0] = 1;  // a normal application
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &e);
}

class X11Saver final : public QueuedSaverHost, public WindowSource {
public:
    explicit X11Saver(Display* d)
        : d_(d),
          atoms_(d),
          screen_(DefaultScreen(d)),
          root_(RootWindow(d, screen_)),
          width_(DisplayWidth(d, screen_)),
          height_(DisplayHeight(d, screen_)),
          monitors_(QueryMonitors(d, root_)),
          rates_(QueryMonitorRates(d, root_)) {}

    ~X11Saver() override {
        scene_.reset();
        surface_.reset();
        if (window_) XDestroyWindow(d_, window_);
        if (colormap_) XFreeColormap(d_, colormap_);
        if (invisible_) XFreeCursor(d_, invisible_);
        XSync(d_, False);
    }

    bool AnotherSaverRunning() {
        const WindowTitles titles(d_);
        const Window other = FindWindowBelow(d_, root_, [&](Window w) {
            return HasClass(d_, w, ClassName) && titles(w) == CreationTitle;
        });
        if (other == None) return false;
        BringToFront(d_, atoms_, other);
        XSync(d_, False);
        return true;
    }

    // The window, created titled "Screensaver"; the creation step retitles it, then maps it
    // and starts the graphics.
    bool CreateSaverWindow() {
        // Several monitors: one window over all of them. A window manager that cannot stretch a
        // full-screen window across monitors would keep it on one, so then it is left out.
        const bool manager = WindowManagerRunning();
        spanMonitors_ = monitors_.size() > 1 && manager && ManagerSupports(NetWmFullscreenMonitors);
        const bool unmanaged = monitors_.size() > 1 && manager && !spanMonitors_;
        int rrError = 0;
        if (XRRQueryExtension(d_, &rrEvent_, &rrError)) {
            XRRSelectInput(d_, root_, RRScreenChangeNotifyMask);
        } else {
            rrEvent_ = -1;
        }

        format_ = ChooseGlxFormat(d_, screen_);
        Visual* visual = format_ ? format_->visual.visual : DefaultVisual(d_, screen_);
        const int depth = format_ ? format_->visual.depth : DefaultDepth(d_, screen_);
        colormap_ = XCreateColormap(d_, root_, visual, AllocNone);

        XSetWindowAttributes a{};
        a.background_pixel = 0;  // black, as the class background
        a.border_pixel = 0;
        a.colormap = colormap_;
        a.event_mask = KeyPressMask | ButtonPressMask | PointerMotionMask | FocusChangeMask |
                       StructureNotifyMask | EnterWindowMask | VisibilityChangeMask;
        a.override_redirect = unmanaged;
        ResetXErrors();
        window_ = XCreateWindow(
            d_, root_, 0, 0, width_, height_, 0, depth, InputOutput, visual,
            CWBackPixel | CWBorderPixel | CWColormap | CWEventMask | CWOverrideRedirect, &a);
        XSync(d_, False);
        if (XErrorCount() != 0 || window_ == None) {
            window_ = None;
            return false;
        }
        SetWindowProperties();

        static char empty[1] = {0};
        const Pixmap blank = XCreateBitmapFromData(d_, window_, empty, 1, 1);
        XColor black{};
        invisible_ = XCreatePixmapCursor(d_, blank, blank, &black, &black, 0, 0);
        XFreePixmap(d_, blank);

        Dispatch(SaverMessage::Create);
        return true;
    }

    // WindowSource
    std::optional<int> Ended() override {
        if (!posted_.empty() && posted_.front().quit) return posted_.front().code;
        return std::nullopt;
    }
    bool HandleOne() override {
        if (!posted_.empty()) {
            posted_.pop_front();
            Dispatch(SaverMessage::Close);
            return true;
        }
        if (XPending(d_) == 0) return false;
        XEvent e;
        XNextEvent(d_, &e);
        Translate(e);
        return true;
    }
    void Wait(int timeoutMs) override { WaitForInput(d_, timeoutMs); }
    // Without a context the model steps all the same; nothing reaches the screen.
    void Frame(bool show) override {
        if (!scene_) return;
        scene_->DrawFrame();
        if (show && surface_) surface_->Swap();
    }
    void EndRun() override { DestroyOwnWindow(); }
    void YieldSlice() override { sched_yield(); }
    int64_t NowNs() override { return MonotonicNs(); }
    bool MonitorsOff() override { return orbilon::MonitorsOff(d_); }
    int64_t RefreshPeriodNs() override { return refreshNs_; }
    FrameGate& gate() override { return gate_; }

    int RunFrames(const SaverHooks& hooks) { return RunFrameLoop(*this, proc_, hooks); }

    // SaverHost
    CursorPos GetCursorPos() override {
        Window root, child;
        int x = 0, y = 0, wx, wy;
        unsigned int mask;
        XQueryPointer(d_, root_, &root, &child, &x, &y, &wx, &wy, &mask);
        return {x, y};
    }
    void HideCursor() override {
        if (window_ && invisible_) XDefineCursor(d_, window_, invisible_);
    }
    // The animation constants are compile-time values of the model; nothing to install.
    void InstallAnimationConstants() override {}
    void SetTitle(std::string_view title) override {
        const std::string t(title);
        XStoreName(d_, window_, t.c_str());
        XChangeProperty(d_, window_, atoms_[NetWmName], atoms_[Utf8String], 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(t.data()),
                        static_cast<int>(t.size()));
    }
    void LowerPriority() override {
        if (nice(2) == -1) {
            // Unchanged priority is harmless.
        }
    }
    void InitGraphics() override {
        // Show the black window before the GL driver loads: a software renderer takes a few
        // hundred milliseconds to its first frame. The title is already the running one.
        XMapRaised(d_, window_);
        XFlush(d_);
        const uint32_t seed = SceneGl::ClockSeed();
        if (format_) surface_ = GlxSurface::Create(d_, window_, format_->config);
        gate_.SetHasContext(surface_ && surface_->current());
        scene_ = std::make_unique<SceneGl>(seed, width_, height_);
        FollowGeometry();
    }
    void ShutdownGraphics() override {
        scene_.reset();
        surface_.reset();
    }

private:
    void SetWindowProperties() {
        XClassHint hint{const_cast<char*>(InstanceName), const_cast<char*>(ClassName)};
        XSetClassHint(d_, window_, &hint);
        SetTitle(CreationTitle);

        XSizeHints size{};
        size.flags = USPosition | USSize;
        size.width = width_;
        size.height = height_;
        XSetWMNormalHints(d_, window_, &size);
        XWMHints wm{};
        wm.flags = InputHint | StateHint;
        wm.input = True;
        wm.initial_state = NormalState;
        XSetWMHints(d_, window_, &wm);

        Atom protocols[] = {atoms_[WmDeleteWindow]};
        XSetWMProtocols(d_, window_, protocols, 1);

        // Full screen and on top under a window manager, without decorations.
        Atom state[] = {atoms_[NetWmStateFullscreen], atoms_[NetWmStateAbove]};
        XChangeProperty(d_, window_, atoms_[NetWmState], XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(state), 2);
        long motif[5] = {2, 0, 0, 0, 0};  // flags: decorations; decorations: none
        XChangeProperty(d_, window_, atoms_[MotifWmHints], atoms_[MotifWmHints], 32,
                        PropModeReplace, reinterpret_cast<unsigned char*>(motif), 5);
    }

    void Dispatch(SaverMessage m, uintptr_t wParam = 0) {
        const ProcResult r = proc_.Handle(m, wParam);
        // The default handling of an honoured close destroys the window.
        if (m == SaverMessage::Close && r.callDefault) DestroyOwnWindow();
    }

    void DestroyOwnWindow() {
        if (!window_) return;
        // Graphics go first, while the drawable still exists.
        Dispatch(SaverMessage::Destroy);
        XDestroyWindow(d_, window_);
        window_ = None;
        XSync(d_, False);
    }

    bool WindowManagerRunning() {
        Atom type;
        int format;
        unsigned long count = 0, after;
        unsigned char* data = nullptr;
        Window check = None;
        if (XGetWindowProperty(d_, root_, atoms_[NetSupportingWmCheck], 0, 1, False, XA_WINDOW,
                               &type, &format, &count, &after, &data) == Success &&
            data && count == 1 && format == 32) {
            check = *reinterpret_cast<Window*>(data);
        }
        if (data) XFree(data);
        // A manager that has gone leaves its property behind; its check window goes with it.
        XWindowAttributes a;
        return check != None && XGetWindowAttributes(d_, check, &a);
    }

    bool ManagerSupports(AtomIndex hint) {
        Atom type;
        int format;
        unsigned long count = 0, after;
        unsigned char* data = nullptr;
        bool found = false;
        if (XGetWindowProperty(d_, root_, atoms_[NetSupported], 0, 4096, False, XA_ATOM, &type,
                               &format, &count, &after, &data) == Success &&
            data && format == 32) {
            const Atom* list = reinterpret_cast<Atom*>(data);
            for (unsigned long i = 0; i < count && !found; ++i) found = list[i] == atoms_[hint];
        }
        if (data) XFree(data);
        return found;
    }

    // Asks the window manager to stretch the full-screen window over every monitor.
    void AskToSpanMonitors() {
        const auto span = SpanAllMonitors(monitors_);
        if (!span) return;
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = window_;
        e.xclient.message_type = atoms_[NetWmFullscreenMonitors];
        e.xclient.format = 32;
        e.xclient.data.l[0] = span->top;
        e.xclient.data.l[1] = span->bottom;
        e.xclient.data.l[2] = span->left;
        e.xclient.data.l[3] = span->right;
        e.xclient.data.l[4] = 1;  // a normal application
        XSendEvent(d_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    }

    // One viewport per monitor, from where the window really is (a manager may have moved or
    // sized it), not from the screen's size.
    void FollowGeometry() {
        if (!window_ || !scene_) return;
        Window root, child;
        int x = 0, y = 0;
        unsigned int w = 0, h = 0, border, depth;
        if (!XGetGeometry(d_, window_, &root, &x, &y, &w, &h, &border, &depth)) return;
        XTranslateCoordinates(d_, window_, root_, 0, 0, &x, &y, &child);
        const ScreenRect rect{x, y, static_cast<int>(w), static_cast<int>(h)};
        if (rect == placed_) return;
        placed_ = rect;
        refreshNs_ = orbilon::RefreshPeriodNs(rates_, rect);
        scene_->SetViewports(MonitorViewports(monitors_, rect));
    }

    void Translate(XEvent& e) {
        if (rrEvent_ >= 0 && e.type == rrEvent_ + RRScreenChangeNotify) {
            XRRUpdateConfiguration(&e);
            monitors_ = QueryMonitors(d_, root_);
            rates_ = QueryMonitorRates(d_, root_);
            placed_ = {};
            FollowGeometry();
            return;
        }
        if (window_ == None || e.xany.window != window_) return;
        switch (e.type) {
            case KeyPress:
                Dispatch((e.xkey.state & Mod1Mask) ? SaverMessage::SysKeyDown
                                                   : SaverMessage::KeyDown);
                break;
            case ButtonPress:
                // Buttons 4 to 7 are the wheel; they and the side buttons are not input.
                if (e.xbutton.button == Button1) Dispatch(SaverMessage::LButtonDown);
                if (e.xbutton.button == Button2) Dispatch(SaverMessage::MButtonDown);
                if (e.xbutton.button == Button3) Dispatch(SaverMessage::RButtonDown);
                break;
            case MotionNotify:
                Dispatch(SaverMessage::MouseMove);
                break;
            case FocusIn:
                if (e.xfocus.mode == NotifyNormal) Dispatch(SaverMessage::ActivateApp, 1);
                break;
            case FocusOut:
                // Focus going to another client; not grabs, nor moves within our own window.
                if ((e.xfocus.mode == NotifyNormal || e.xfocus.mode == NotifyWhileGrabbed) &&
                    (e.xfocus.detail == NotifyAncestor || e.xfocus.detail == NotifyVirtual ||
                     e.xfocus.detail == NotifyNonlinear ||
                     e.xfocus.detail == NotifyNonlinearVirtual)) {
                    Dispatch(SaverMessage::ActivateApp, 0);
                }
                break;
            case ClientMessage:
                if (e.xclient.message_type == atoms_[WmProtocols] && e.xclient.format == 32 &&
                    static_cast<Atom>(e.xclient.data.l[0]) == atoms_[WmDeleteWindow]) {
                    Dispatch(SaverMessage::Close);
                }
                break;
            case MapNotify:
                gate_.SetMapped(true);
                Dispatch(SaverMessage::ShowWindow, 1);
                if (!focusTaken_) {
                    focusTaken_ = true;
                    BringToFront(d_, atoms_, window_);
                    if (spanMonitors_) AskToSpanMonitors();
                }
                FollowGeometry();
                break;
            case UnmapNotify:
                gate_.SetMapped(false);
                Dispatch(SaverMessage::ShowWindow, 0);
                break;
            case ConfigureNotify:
                FollowGeometry();
                break;
            case VisibilityNotify:
                gate_.SetFullyCovered(e.xvisibility.state == VisibilityFullyObscured);
                break;
            case EnterNotify:
                Dispatch(SaverMessage::SetCursor);
                break;
            case DestroyNotify:
                // Destroyed from outside: end as after a close.
                if (e.xdestroywindow.window == window_) {
                    window_ = None;
                    Dispatch(SaverMessage::Destroy);
                }
                break;
            default:
                break;
        }
    }

    Display* d_;
    Atoms atoms_;
    int screen_;
    Window root_;
    int width_;
    int height_;
    Window window_ = None;
    Colormap colormap_ = None;
    Cursor invisible_ = None;
    bool focusTaken_ = false;
    std::optional<GlxFormat> format_;
    std::unique_ptr<GlxSurface> surface_;
    std::unique_ptr<SceneGl> scene_;
    std::vector<ScreenRect> monitors_;
    std::vector<MonitorRate> rates_;
    ScreenRect placed_;
    int64_t refreshNs_ = orbilon::RefreshPeriodNs({}, {});
    bool spanMonitors_ = false;
    int rrEvent_ = -1;
    FrameGate gate_;
    SaverProc proc_{*this};
};

}  // namespace

int RunSaver(const SaverHooks& hooks) {
    DisplayPtr display(XOpenDisplay(nullptr));
    if (!display) {
        std::fprintf(stderr, "%s: cannot open the display\n", Program);
        return 1;
    }
    CountXErrors();
    X11Saver saver(display.get());
    if (saver.AnotherSaverRunning()) return 0;
    if (!saver.CreateSaverWindow()) {
        std::fprintf(stderr, "%s: cannot create the window\n", Program);
        return 1;
    }
    return saver.RunFrames(hooks);
}

}  // namespace orbilon
