// The renderer inside a window that a screen-saver service made: it draws there and leaves
// everything else of that window alone (no input, title, cursor or stacking of its own).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>

#include "frame_gate.h"
#include "gl_scene.h"
#include "glx_surface.h"
#include "monitor_layout.h"
#include "x11_display.h"
#include "x11_saver.h"

namespace orbilon {

namespace {

constexpr char Program[] = "Orbilon.dll";

// SIGTERM (and SIGINT, SIGHUP) end the run quietly: the handler only wakes the loop.
volatile sig_atomic_t g_stop = 0;
int g_wakeFd = -1;
void OnStopSignal(int) {
    g_stop = 1;
    const int saved = errno;
    if (g_wakeFd >= 0) {
        const char byte = 1;
        if (write(g_wakeFd, &byte, 1) < 0) {
            // The pipe is full: the loop wakes anyway.
        }
    }
    errno = saved;
}

class StopSignals {
public:
    StopSignals() {
        if (pipe2(fds_, O_CLOEXEC | O_NONBLOCK) == 0) g_wakeFd = fds_[1];
        struct sigaction sa {};
        sa.sa_handler = OnStopSignal;
        sigemptyset(&sa.sa_mask);
        for (const int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &sa, nullptr);
    }
    ~StopSignals() {
        g_wakeFd = -1;
        if (fds_[0] >= 0) close(fds_[0]);
        if (fds_[1] >= 0) close(fds_[1]);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    int fd() const { return fds_[0]; }

private:
    int fds_[2] = {-1, -1};
};

class WindowRun final : public WindowSource {
public:
    WindowRun(Display* d, Window target, int wakeFd) : d_(d), target_(target), wakeFd_(wakeFd) {}

    ~WindowRun() override {
        scene_.reset();
        surface_.reset();
        // The target belongs to the service; only what was made here goes.
        if (child_ && !targetGone_) XDestroyWindow(d_, child_);
        if (colormap_) XFreeColormap(d_, colormap_);
        XSync(d_, False);
    }

    // False, after one line on stderr, when the target is no window.
    bool Start() {
        ResetXErrors();
        XWindowAttributes a{};
        if (!XGetWindowAttributes(d_, target_, &a)) {
            std::fprintf(stderr, "%s: 0x%lx is no window on this display\n", Program, target_);
            return false;
        }
        // Its size, mapping and end; never its input, which belongs to the service.
        XSelectInput(d_, target_, StructureNotifyMask | VisibilityChangeMask);
        XSync(d_, False);
        if (XErrorCount() != 0) {
            std::fprintf(stderr, "%s: window 0x%lx went away\n", Program, target_);
            return false;
        }
        screen_ = XScreenNumberOfScreen(a.screen);
        isRoot_ = target_ == RootWindow(d_, screen_);
        width_ = a.width;
        height_ = a.height;
        gate_.SetMapped(a.map_state == IsViewable);

        // The window's own visual where it has OpenGL, else a child of ours that has.
        if (const auto own = ChooseGlxFormatForVisual(d_, screen_, XVisualIDFromVisual(a.visual))) {
            surface_ = MakeSurface(target_, own->config);
        }
        if (!surface_) {
            if (const auto format = ChooseGlxFormat(d_, screen_)) {
                MakeChild(*format);
                if (child_) surface_ = MakeSurface(child_, format->config);
            }
        }
        gate_.SetHasContext(surface_ != nullptr);
        scene_ = std::make_unique<SceneGl>(SceneGl::ClockSeed(), width_, height_);
        if (isRoot_) monitors_ = QueryMonitors(d_, target_);
        rates_ = QueryMonitorRates(d_, RootWindow(d_, screen_));
        FollowSize();
        return true;
    }

    // WindowSource
    std::optional<int> Ended() override {
        if (g_stop || targetGone_ || ended_) return 0;
        return std::nullopt;
    }
    bool HandleOne() override {
        if (XPending(d_) == 0) return false;
        XEvent e;
        XNextEvent(d_, &e);
        Translate(e);
        return true;
    }
    void Wait(int timeoutMs) override { WaitForInput(d_, timeoutMs, wakeFd_); }
    void Frame(bool show) override {
        scene_->DrawFrame();
        if (show) surface_->Swap();
    }
    // The target stays: it is the service's.
    void EndRun() override { ended_ = true; }
    void YieldSlice() override { sched_yield(); }
    int64_t NowNs() override { return MonotonicNs(); }
    bool MonitorsOff() override { return orbilon::MonitorsOff(d_); }
    int64_t RefreshPeriodNs() override { return refreshNs_; }
    FrameGate& gate() override { return gate_; }

private:
    std::unique_ptr<GlxSurface> MakeSurface(Window w, GLXFBConfig config) {
        ResetXErrors();
        auto s = GlxSurface::Create(d_, w, config);
        XSync(d_, False);
        if (XErrorCount() != 0 || !s->current()) return nullptr;
        return s;
    }

    void MakeChild(const GlxFormat& format) {
        colormap_ = XCreateColormap(d_, RootWindow(d_, screen_), format.visual.visual, AllocNone);
        XSetWindowAttributes a{};
        a.background_pixel = 0;
        a.border_pixel = 0;
        a.colormap = colormap_;
        a.event_mask = VisibilityChangeMask;
        ResetXErrors();
        child_ =
            XCreateWindow(d_, target_, 0, 0, width_ > 0 ? width_ : 1, height_ > 0 ? height_ : 1, 0,
                          format.visual.depth, InputOutput, format.visual.visual,
                          CWBackPixel | CWBorderPixel | CWColormap | CWEventMask, &a);
        XMapWindow(d_, child_);
        XSync(d_, False);
        if (XErrorCount() != 0) child_ = None;
    }

    void FollowSize() {
        const ScreenRect whole{0, 0, width_, height_};
        // The refresh of the monitor showing the window, wherever its parents put it.
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(d_, target_, RootWindow(d_, screen_), 0, 0, &x, &y, &child);
        refreshNs_ = orbilon::RefreshPeriodNs(rates_, {x, y, width_, height_});
        scene_->SetViewports(isRoot_ ? MonitorViewports(monitors_, whole)
                                     : MonitorViewports({}, whole));
    }

    void Translate(const XEvent& e) {
        switch (e.type) {
            case ConfigureNotify:
                if (e.xconfigure.window != target_) break;
                if (e.xconfigure.width == width_ && e.xconfigure.height == height_) break;
                width_ = e.xconfigure.width;
                height_ = e.xconfigure.height;
                if (child_) XResizeWindow(d_, child_, width_, height_);
                FollowSize();
                break;
            case MapNotify:
                if (e.xmap.window == target_) gate_.SetMapped(true);
                break;
            case UnmapNotify:
                if (e.xunmap.window == target_) gate_.SetMapped(false);
                break;
            case VisibilityNotify:
                if (e.xvisibility.window == (child_ ? child_ : target_)) {
                    gate_.SetFullyCovered(e.xvisibility.state == VisibilityFullyObscured);
                }
                break;
            case DestroyNotify:
                if (e.xdestroywindow.window == target_) targetGone_ = true;
                break;
            default:
                break;
        }
    }

    Display* d_;
    Window target_;
    int wakeFd_;
    int screen_ = 0;
    bool isRoot_ = false;
    bool targetGone_ = false;
    bool ended_ = false;
    int width_ = 0;
    int height_ = 0;
    Window child_ = None;
    Colormap colormap_ = None;
    std::vector<ScreenRect> monitors_;
    std::vector<MonitorRate> rates_;
    int64_t refreshNs_ = orbilon::RefreshPeriodNs({}, {});
    FrameGate gate_;
    std::unique_ptr<GlxSurface> surface_;
    std::unique_ptr<SceneGl> scene_;
};

struct DisplayCloser {
    void operator()(Display* d) const { XCloseDisplay(d); }
};

}  // namespace

int RunInWindow(unsigned long target, const SaverHooks& hooks) {
    // Ends with the front end that started it: the service signals only the front end.
    const StopSignals signals;
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) return 0;

    const std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display) {
        std::fprintf(stderr, "%s: cannot open the display\n", Program);
        return 1;
    }
    CountXErrors();
    WindowRun run(display.get(), target, signals.fd());
    if (!run.Start()) return 1;
    const NoInputPolicy noInput;
    return RunFrameLoop(run, noInput, hooks);
}

}  // namespace orbilon
