#include "wayland_saver.h"

#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gl_scene.h"
#include "output_set.h"
#include "saver_proc.h"
#include "shell_choice.h"
#include "surface_input.h"
#include "wayland_egl.h"
#include "xdg-shell-client.h"
// The generated C names one argument "namespace", a C++ keyword.
#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client.h"
#undef namespace

namespace orbilon {

namespace {

constexpr char Program[] = "Orbilon.dll";

template <typename T, void (*Destroy)(T*)>
struct WlDeleter {
    void operator()(T* p) const {
        if (p) Destroy(p);
    }
};
template <typename T, void (*Destroy)(T*)>
using WlPtr = std::unique_ptr<T, WlDeleter<T, Destroy>>;

using DisplayPtr = WlPtr<wl_display, wl_display_disconnect>;
using RegistryPtr = WlPtr<wl_registry, wl_registry_destroy>;
using CompositorPtr = WlPtr<wl_compositor, wl_compositor_destroy>;
using LayerShellPtr = WlPtr<zwlr_layer_shell_v1, zwlr_layer_shell_v1_destroy>;
using WmBasePtr = WlPtr<xdg_wm_base, xdg_wm_base_destroy>;
using SurfacePtr = WlPtr<wl_surface, wl_surface_destroy>;
using LayerSurfacePtr = WlPtr<zwlr_layer_surface_v1, zwlr_layer_surface_v1_destroy>;
using XdgSurfacePtr = WlPtr<xdg_surface, xdg_surface_destroy>;
using ToplevelPtr = WlPtr<xdg_toplevel, xdg_toplevel_destroy>;
using CallbackPtr = WlPtr<wl_callback, wl_callback_destroy>;

void ReleaseOutput(wl_output* o) {
    if (wl_output_get_version(o) >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
        wl_output_release(o);
    } else {
        wl_output_destroy(o);
    }
}
using OutputPtr = WlPtr<wl_output, ReleaseOutput>;

void ReleaseSeat(wl_seat* s) {
    if (wl_seat_get_version(s) >= WL_SEAT_RELEASE_SINCE_VERSION) {
        wl_seat_release(s);
    } else {
        wl_seat_destroy(s);
    }
}
using SeatPtr = WlPtr<wl_seat, ReleaseSeat>;

void ReleasePointer(wl_pointer* p) {
    if (wl_pointer_get_version(p) >= WL_POINTER_RELEASE_SINCE_VERSION) {
        wl_pointer_release(p);
    } else {
        wl_pointer_destroy(p);
    }
}
using PointerPtr = WlPtr<wl_pointer, ReleasePointer>;

void ReleaseKeyboard(wl_keyboard* k) {
    if (wl_keyboard_get_version(k) >= WL_KEYBOARD_RELEASE_SINCE_VERSION) {
        wl_keyboard_release(k);
    } else {
        wl_keyboard_destroy(k);
    }
}
using KeyboardPtr = WlPtr<wl_keyboard, ReleaseKeyboard>;

class WaylandSaver;

struct Output {
    WaylandSaver* saver = nullptr;
    uint32_t name = 0;
    OutputPtr output;
    // The current mode, for a toplevel the compositor leaves the size to.
    int width = 0, height = 0;
};

// What the run draws on one output; the unit a frame loop would take as a window.
struct OutputSurface {
    WaylandSaver* saver = nullptr;
    uint32_t output = 0;
    SurfacePtr surface;
    LayerSurfacePtr layer;
    XdgSurfacePtr xdgSurface;
    ToplevelPtr toplevel;
    std::unique_ptr<EglWindowSurface> drawable;
    CallbackPtr frame;
    int width = 0, height = 0;
    // A toplevel's size waits for its xdg_surface.configure.
    int pendingWidth = 0, pendingHeight = 0;
    bool configured = false;
    // No frame callback outstanding: the surface may draw.
    bool due = true;

    // Roles go before the wl_surface, the drawable before all of them.
    ~OutputSurface() {
        drawable.reset();
        frame.reset();
        toplevel.reset();
        xdgSurface.reset();
        layer.reset();
        surface.reset();
    }
};

struct Seat {
    WaylandSaver* saver = nullptr;
    SeatPtr seat;
    PointerPtr pointer;
    KeyboardPtr keyboard;
    uint32_t enterSerial = 0;
    std::optional<uint32_t> keyboardFocus;
};

class WaylandSaver final : public QueuedSaverHost {
public:
    explicit WaylandSaver(wl_display* display) : display_(display) {}

    ~WaylandSaver() override {
        surfaces_.clear();
        scene_.reset();
        egl_.reset();
    }

    // Globals, outputs and seats; then the surfaces. False, after one line on stderr, when the
    // run cannot start.
    bool Start() {
        registry_.reset(wl_display_get_registry(display_));
        wl_registry_add_listener(registry_.get(), &RegistryListener, this);
        // Globals first, then what they announce at once (modes, seat capabilities).
        if (wl_display_roundtrip(display_) < 0 || wl_display_roundtrip(display_) < 0) {
            return Fail("the compositor broke the connection");
        }
        if (!compositor_) return Fail("the compositor offers no wl_compositor");
        const RoleDecision role = ChooseSurfaceRole(layerShell_ != nullptr, wmBase_ != nullptr,
                                                    std::getenv("ORBILON_WAYLAND_SURFACE"));
        if (!role.error.empty()) return Fail(role.error.c_str());
        role_ = role.role;
        if (role_ == SurfaceRole::None) {
            return Fail("the compositor offers neither layer-shell nor xdg-shell surfaces");
        }
        if (outputs_.empty()) return Fail("the compositor has no output to cover");
        proc_.Handle(SaverMessage::Create);
        if (!egl_) return Fail(eglError_.c_str());
        for (const auto& o : outputs_) {
            if (set_.Added(o->name)) MakeSurface(*o);
        }
        if (set_.Over()) return Fail("no surface could be made on any output");
        return true;
    }

    int Run() {
        for (;;) {
            while (!posted_.empty()) {
                const Posted p = posted_.front();
                posted_.pop_front();
                if (p.quit) return p.code;
                Dispatch(SaverMessage::Close);
            }
            bool drew = false;
            if (proc_.ShouldDraw()) {
                for (auto& s : surfaces_) drew |= DrawIfDue(*s);
            }
            if (!posted_.empty()) continue;
            if (!ReadEvents(drew ? 0 : -1)) {
                std::fprintf(stderr, "%s: lost the connection to the compositor\n", Program);
                return 1;
            }
            for (const uint32_t output : std::exchange(dropLater_, {})) DropSurface(output);
            if (focus_.TakeLoss()) Dispatch(SaverMessage::ActivateApp, 0);
        }
    }

    // SaverHost
    CursorPos GetCursorPos() override { return pointer_.Position(); }
    void HideCursor() override {
        for (auto& seat : seats_) {
            if (seat->pointer && seat->enterSerial) {
                wl_pointer_set_cursor(seat->pointer.get(), seat->enterSerial, nullptr, 0, 0);
            }
        }
    }
    void InstallAnimationConstants() override {}
    void SetTitle(std::string_view title) override {
        title_ = std::string(title);
        for (auto& s : surfaces_) {
            if (s->toplevel) xdg_toplevel_set_title(s->toplevel.get(), title_.c_str());
        }
    }
    void LowerPriority() override {
        if (nice(2) == -1) {
            // Unchanged priority is harmless.
        }
    }
    void InitGraphics() override {
        seed_ = SceneGl::ClockSeed();
        egl_ = WaylandEgl::Create(display_, &eglError_);
    }
    void ShutdownGraphics() override {
        surfaces_.clear();
        if (egl_ && scene_) egl_->MakeCurrentWithoutSurface();
        scene_.reset();
        egl_.reset();
    }

private:
    bool Fail(const char* why) {
        std::fprintf(stderr, "%s: %s\n", Program, why);
        return false;
    }

    void Dispatch(SaverMessage m, uintptr_t wParam = 0) {
        const ProcResult r = proc_.Handle(m, wParam);
        // An honoured close ends the whole run, every output at once.
        if (m == SaverMessage::Close && r.callDefault) EndRun();
    }

    void EndRun() {
        if (ended_) return;
        ended_ = true;
        proc_.Handle(SaverMessage::Destroy);
    }

    // Flushes, waits up to timeoutMs (-1: until something comes) and dispatches what came.
    bool ReadEvents(int timeoutMs) {
        while (wl_display_prepare_read(display_) != 0) {
            if (wl_display_dispatch_pending(display_) < 0) return false;
        }
        short events = POLLIN;
        if (wl_display_flush(display_) < 0) {
            if (errno != EAGAIN) {
                wl_display_cancel_read(display_);
                return false;
            }
            events |= POLLOUT;
        }
        pollfd fd{wl_display_get_fd(display_), events, 0};
        const int n = poll(&fd, 1, timeoutMs);
        if (n > 0 && (fd.revents & POLLIN)) {
            if (wl_display_read_events(display_) < 0) return false;
        } else {
            wl_display_cancel_read(display_);
            if (n < 0 && errno != EINTR) return false;
            if (n > 0 && (fd.revents & (POLLERR | POLLHUP))) return false;
        }
        return wl_display_dispatch_pending(display_) >= 0;
    }

    Output* FindOutput(uint32_t name) {
        for (auto& o : outputs_) {
            if (o->name == name) return o.get();
        }
        return nullptr;
    }

    OutputSurface* FindSurface(wl_surface* surface) {
        if (!surface) return nullptr;
        for (auto& s : surfaces_) {
            if (s->surface.get() == surface) return s.get();
        }
        return nullptr;
    }

    void MakeSurface(const Output& o) {
        auto s = std::make_unique<OutputSurface>();
        s->saver = this;
        s->output = o.name;
        s->surface.reset(wl_compositor_create_surface(compositor_.get()));
        if (!s->surface) {
            set_.Closed(o.name);
            return;
        }
        if (role_ == SurfaceRole::LayerOverlay) {
            s->layer.reset(zwlr_layer_shell_v1_get_layer_surface(
                layerShell_.get(), s->surface.get(), o.output.get(),
                ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, std::string(RunningTitle).c_str()));
            zwlr_layer_surface_v1_add_listener(s->layer.get(), &LayerListener, s.get());
            zwlr_layer_surface_v1_set_anchor(
                s->layer.get(),
                ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                    ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
            zwlr_layer_surface_v1_set_size(s->layer.get(), 0, 0);
            // Not moved aside by panels' exclusive zones: the whole output.
            zwlr_layer_surface_v1_set_exclusive_zone(s->layer.get(), -1);
            zwlr_layer_surface_v1_set_keyboard_interactivity(s->layer.get(), 1);
        } else {
            s->xdgSurface.reset(xdg_wm_base_get_xdg_surface(wmBase_.get(), s->surface.get()));
            xdg_surface_add_listener(s->xdgSurface.get(), &XdgSurfaceListener, s.get());
            s->toplevel.reset(xdg_surface_get_toplevel(s->xdgSurface.get()));
            xdg_toplevel_add_listener(s->toplevel.get(), &ToplevelListener, s.get());
            xdg_toplevel_set_title(s->toplevel.get(), title_.c_str());
            xdg_toplevel_set_app_id(s->toplevel.get(), "orbilon");
            xdg_toplevel_set_fullscreen(s->toplevel.get(), o.output.get());
        }
        // The first commit, without a buffer, asks for the first configure.
        wl_surface_commit(s->surface.get());
        surfaces_.push_back(std::move(s));
    }

    // Lets the surface on `output` go; the run ends with the last one.
    void DropSurface(uint32_t output) {
        const auto it = std::find_if(surfaces_.begin(), surfaces_.end(),
                                     [&](const auto& s) { return s->output == output; });
        if (it != surfaces_.end()) {
            for (auto& seat : seats_) {
                if (seat->keyboardFocus == output) seat->keyboardFocus.reset();
            }
            focus_.SurfaceGone(output);
            pointer_.Leave(output);
            step_.Forget(output);
            surfaces_.erase(it);
        }
        if (set_.Over()) EndRun();
    }

    void Configured(OutputSurface& s, int width, int height) {
        if (width <= 0 || height <= 0) {
            const Output* o = FindOutput(s.output);
            width = o && o->width > 0 ? o->width : 640;
            height = o && o->height > 0 ? o->height : 480;
        }
        s.configured = true;
        if (s.drawable && width == s.width && height == s.height) return;
        s.width = width;
        s.height = height;
        if (s.drawable) {
            s.drawable->Resize(width, height);
            return;
        }
        if (egl_) s.drawable = EglWindowSurface::Create(*egl_, s.surface.get(), width, height);
        if (!s.drawable) {
            std::fprintf(stderr, "%s: cannot draw on an output\n", Program);
            // Let go once out of this surface's own event handler.
            if (set_.Closed(s.output)) dropLater_.push_back(s.output);
        }
    }

    bool DrawIfDue(OutputSurface& s) {
        if (!s.configured || !s.due || !s.drawable) return false;
        if (!s.drawable->MakeCurrent()) return false;
        if (!scene_) scene_ = std::make_unique<SceneGl>(seed_, s.width, s.height);
        if (step_.BeforeDraw(s.output)) scene_->StepModel();
        scene_->DrawLatest({0, 0, s.width, s.height});
        // Asked before the swap's commit, so it answers this frame.
        s.frame.reset(wl_surface_frame(s.surface.get()));
        wl_callback_add_listener(s.frame.get(), &FrameListener, &s);
        s.due = false;
        s.drawable->Swap();
        return true;
    }

    // ---- registry ----
    static void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                         uint32_t version) {
        auto* self = static_cast<WaylandSaver*>(data);
        const std::string_view i(interface);
        if (i == wl_compositor_interface.name) {
            self->compositor_.reset(static_cast<wl_compositor*>(
                wl_registry_bind(registry, name, &wl_compositor_interface, std::min(version, 4u))));
        } else if (i == zwlr_layer_shell_v1_interface.name) {
            self->layerShell_.reset(static_cast<zwlr_layer_shell_v1*>(wl_registry_bind(
                registry, name, &zwlr_layer_shell_v1_interface, std::min(version, 4u))));
        } else if (i == xdg_wm_base_interface.name) {
            self->wmBase_.reset(static_cast<xdg_wm_base*>(
                wl_registry_bind(registry, name, &xdg_wm_base_interface, std::min(version, 5u))));
            xdg_wm_base_add_listener(self->wmBase_.get(), &WmBaseListener, self);
        } else if (i == wl_output_interface.name) {
            auto o = std::make_unique<Output>();
            o->saver = self;
            o->name = name;
            o->output.reset(static_cast<wl_output*>(
                wl_registry_bind(registry, name, &wl_output_interface, std::min(version, 4u))));
            wl_output_add_listener(o->output.get(), &OutputListener, o.get());
            self->outputs_.push_back(std::move(o));
        } else if (i == wl_seat_interface.name) {
            auto s = std::make_unique<Seat>();
            s->saver = self;
            s->seat.reset(static_cast<wl_seat*>(
                wl_registry_bind(registry, name, &wl_seat_interface, std::min(version, 7u))));
            wl_seat_add_listener(s->seat.get(), &SeatListener, s.get());
            self->seats_.push_back(std::move(s));
        }
    }

    static void OnGlobalRemove(void* data, wl_registry*, uint32_t name) {
        auto* self = static_cast<WaylandSaver*>(data);
        const auto it = std::find_if(self->outputs_.begin(), self->outputs_.end(),
                                     [&](const auto& o) { return o->name == name; });
        if (it == self->outputs_.end()) return;
        if (self->set_.Removed(name)) self->DropSurface(name);
        self->outputs_.erase(it);
        if (self->set_.Over()) self->EndRun();
    }

    bool started() const { return egl_ != nullptr; }

    // ---- outputs ----
    static void OnOutputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t,
                                 const char*, const char*, int32_t) {}
    static void OnOutputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height,
                             int32_t) {
        auto* o = static_cast<Output*>(data);
        if (flags & WL_OUTPUT_MODE_CURRENT) {
            o->width = width;
            o->height = height;
        }
    }
    static void OnOutputDone(void* data, wl_output*) {
        auto* o = static_cast<Output*>(data);
        WaylandSaver* self = o->saver;
        if (self->started() && !self->ended_ && self->set_.Added(o->name)) self->MakeSurface(*o);
    }
    static void OnOutputScale(void*, wl_output*, int32_t) {}
    static void OnOutputName(void*, wl_output*, const char*) {}
    static void OnOutputDescription(void*, wl_output*, const char*) {}

    // ---- layer surfaces ----
    static void OnLayerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial,
                                 uint32_t width, uint32_t height) {
        auto* s = static_cast<OutputSurface*>(data);
        zwlr_layer_surface_v1_ack_configure(layer, serial);
        s->saver->Configured(*s, static_cast<int>(width), static_cast<int>(height));
    }
    static void OnLayerClosed(void* data, zwlr_layer_surface_v1*) {
        auto* s = static_cast<OutputSurface*>(data);
        WaylandSaver* self = s->saver;
        // Not from inside the surface's own handler: its proxy is still being dispatched.
        if (self->set_.Closed(s->output)) self->dropLater_.push_back(s->output);
    }

    // ---- xdg surfaces ----
    static void OnPing(void*, xdg_wm_base* base, uint32_t serial) {
        xdg_wm_base_pong(base, serial);
    }
    static void OnXdgConfigure(void* data, xdg_surface* surface, uint32_t serial) {
        auto* s = static_cast<OutputSurface*>(data);
        xdg_surface_ack_configure(surface, serial);
        s->saver->Configured(*s, s->pendingWidth, s->pendingHeight);
    }
    static void OnToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height,
                                    wl_array*) {
        auto* s = static_cast<OutputSurface*>(data);
        s->pendingWidth = width;
        s->pendingHeight = height;
    }
    static void OnToplevelClose(void* data, xdg_toplevel*) {
        // A request, as a window manager's close: honoured only after the user's input.
        static_cast<OutputSurface*>(data)->saver->posted_.push_back({false, 0});
    }
    static void OnToplevelBounds(void*, xdg_toplevel*, int32_t, int32_t) {}
    static void OnToplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}

    static void OnFrameDone(void* data, wl_callback*, uint32_t) {
        auto* s = static_cast<OutputSurface*>(data);
        s->frame.reset();
        s->due = true;
    }

    // ---- seats ----
    static void OnSeatCapabilities(void* data, wl_seat* seat, uint32_t caps) {
        auto* s = static_cast<Seat*>(data);
        const bool pointer = caps & WL_SEAT_CAPABILITY_POINTER;
        const bool keyboard = caps & WL_SEAT_CAPABILITY_KEYBOARD;
        if (pointer && !s->pointer) {
            s->pointer.reset(wl_seat_get_pointer(seat));
            wl_pointer_add_listener(s->pointer.get(), &PointerListener, s);
        } else if (!pointer && s->pointer) {
            s->pointer.reset();
            s->enterSerial = 0;
        }
        if (keyboard && !s->keyboard) {
            s->keyboard.reset(wl_seat_get_keyboard(seat));
            wl_keyboard_add_listener(s->keyboard.get(), &KeyboardListener, s);
        } else if (!keyboard && s->keyboard) {
            s->keyboard.reset();
            if (s->keyboardFocus) s->saver->focus_.KeyboardGone(*s->keyboardFocus);
            s->keyboardFocus.reset();
        }
    }
    static void OnSeatName(void*, wl_seat*, const char*) {}

    static void OnPointerEnter(void* data, wl_pointer*, uint32_t serial, wl_surface* surface,
                               wl_fixed_t x, wl_fixed_t y) {
        auto* seat = static_cast<Seat*>(data);
        WaylandSaver* self = seat->saver;
        const OutputSurface* s = self->FindSurface(surface);
        if (!s) return;
        seat->enterSerial = serial;
        self->pointer_.Enter(s->output, wl_fixed_to_double(x), wl_fixed_to_double(y));
        self->Dispatch(SaverMessage::SetCursor);
    }
    static void OnPointerLeave(void* data, wl_pointer*, uint32_t, wl_surface* surface) {
        auto* seat = static_cast<Seat*>(data);
        WaylandSaver* self = seat->saver;
        if (const OutputSurface* s = self->FindSurface(surface)) self->pointer_.Leave(s->output);
    }
    static void OnPointerMotion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
        WaylandSaver* self = static_cast<Seat*>(data)->saver;
        if (self->pointer_.Motion(wl_fixed_to_double(x), wl_fixed_to_double(y))) {
            self->Dispatch(SaverMessage::MouseMove);
        }
    }
    static void OnPointerButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t button,
                                uint32_t state) {
        WaylandSaver* self = static_cast<Seat*>(data)->saver;
        if (state != WL_POINTER_BUTTON_STATE_PRESSED) return;
        if (const auto m = ButtonMessage(button)) self->Dispatch(*m);
    }
    // The wheel and the rest are no input the saver ends on, but every event of the bound
    // version needs its handler.
    static void OnPointerAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
    static void OnPointerFrame(void*, wl_pointer*) {}
    static void OnPointerAxisSource(void*, wl_pointer*, uint32_t) {}
    static void OnPointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
    static void OnPointerAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
    static void OnPointerAxisValue120(void*, wl_pointer*, uint32_t, int32_t) {}

    static void OnKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { close(fd); }
    static void OnKeyboardEnter(void* data, wl_keyboard*, uint32_t, wl_surface* surface,
                                wl_array*) {
        auto* seat = static_cast<Seat*>(data);
        WaylandSaver* self = seat->saver;
        if (const OutputSurface* s = self->FindSurface(surface)) {
            if (seat->keyboardFocus) self->focus_.Leave(*seat->keyboardFocus);
            seat->keyboardFocus = s->output;
            self->focus_.Enter(s->output);
            self->Dispatch(SaverMessage::ActivateApp, 1);
        }
    }
    static void OnKeyboardLeave(void* data, wl_keyboard*, uint32_t, wl_surface* surface) {
        auto* seat = static_cast<Seat*>(data);
        WaylandSaver* self = seat->saver;
        if (const OutputSurface* s = self->FindSurface(surface)) {
            self->focus_.Leave(s->output);
            if (seat->keyboardFocus == s->output) seat->keyboardFocus.reset();
        }
    }
    static void OnKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t state) {
        WaylandSaver* self = static_cast<Seat*>(data)->saver;
        if (state == WL_KEYBOARD_KEY_STATE_PRESSED) self->Dispatch(SaverMessage::KeyDown);
    }
    static void OnModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {
    }
    static void OnRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}

    static constexpr wl_registry_listener RegistryListener{OnGlobal, OnGlobalRemove};
    static constexpr wl_output_listener OutputListener{OnOutputGeometry, OnOutputMode,
                                                       OnOutputDone,     OnOutputScale,
                                                       OnOutputName,     OnOutputDescription};
    static constexpr zwlr_layer_surface_v1_listener LayerListener{OnLayerConfigure, OnLayerClosed};
    static constexpr xdg_wm_base_listener WmBaseListener{OnPing};
    static constexpr xdg_surface_listener XdgSurfaceListener{OnXdgConfigure};
    static constexpr xdg_toplevel_listener ToplevelListener{
        OnToplevelConfigure, OnToplevelClose, OnToplevelBounds, OnToplevelCapabilities};
    static constexpr wl_callback_listener FrameListener{OnFrameDone};
    static constexpr wl_seat_listener SeatListener{OnSeatCapabilities, OnSeatName};
    static constexpr wl_pointer_listener PointerListener{
        OnPointerEnter,        OnPointerLeave,       OnPointerMotion,     OnPointerButton,
        OnPointerAxis,         OnPointerFrame,       OnPointerAxisSource, OnPointerAxisStop,
        OnPointerAxisDiscrete, OnPointerAxisValue120};
    static constexpr wl_keyboard_listener KeyboardListener{
        OnKeymap, OnKeyboardEnter, OnKeyboardLeave, OnKey, OnModifiers, OnRepeatInfo};

    wl_display* display_;
    RegistryPtr registry_;
    CompositorPtr compositor_;
    LayerShellPtr layerShell_;
    WmBasePtr wmBase_;
    SurfaceRole role_ = SurfaceRole::None;
    std::vector<std::unique_ptr<Output>> outputs_;
    std::vector<std::unique_ptr<Seat>> seats_;
    std::vector<std::unique_ptr<OutputSurface>> surfaces_;
    std::vector<uint32_t> dropLater_;
    std::unique_ptr<WaylandEgl> egl_;
    std::string eglError_;
    std::unique_ptr<SceneGl> scene_;
    uint32_t seed_ = 0;
    std::string title_;
    bool ended_ = false;
    OutputSet set_;
    SharedStep step_;
    PointerTracker pointer_;
    FocusTracker focus_;
    SaverProc proc_{*this};
};

}  // namespace

int RunWaylandSaver() {
    DisplayPtr display(wl_display_connect(nullptr));
    if (!display) {
        std::fprintf(stderr, "%s: cannot connect to the Wayland compositor\n", Program);
        return 1;
    }
    WaylandSaver saver(display.get());
    if (!saver.Start()) return 1;
    return saver.Run();
}

}  // namespace orbilon
