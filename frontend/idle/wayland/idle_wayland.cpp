#include "idle_wayland.h"

#include <poll.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "ext-idle-notify-v1-client.h"
#include "idle-client.h"

namespace idle {

namespace {

template <typename T, void (*Destroy)(T*)>
struct Deleter {
    void operator()(T* p) const {
        if (p) Destroy(p);
    }
};
template <typename T, void (*Destroy)(T*)>
using Owned = std::unique_ptr<T, Deleter<T, Destroy>>;

void SeatGone(wl_seat* seat) {
    if (wl_seat_get_version(seat) >= WL_SEAT_RELEASE_SINCE_VERSION) {
        wl_seat_release(seat);
    } else {
        wl_seat_destroy(seat);
    }
}

// Declared in the order they are made, so objects go before the globals they came from and
// the connection goes last.
struct Session {
    Owned<wl_display, wl_display_disconnect> display;
    Owned<wl_registry, wl_registry_destroy> registry;
    Owned<wl_seat, SeatGone> seat;
    Owned<ext_idle_notifier_v1, ext_idle_notifier_v1_destroy> notifier;
    Owned<org_kde_kwin_idle, org_kde_kwin_idle_destroy> kde_idle;
    Owned<ext_idle_notification_v1, ext_idle_notification_v1_destroy> notification;
    Owned<org_kde_kwin_idle_timeout, org_kde_kwin_idle_timeout_release> kde_timeout;
    Watcher watcher{false};
    const Watch* watch = nullptr;
    bool ending = false;
    int status = 0;

    void Idle() {
        if (!Perform(watcher.OnIdle(), watcher, *watch->saver, watch->config_path)) ending = true;
    }
    void Resumed() { watcher.OnResumed(); }
};

void Global(void* data, wl_registry* registry, uint32_t name, const char* interface,
            uint32_t version) {
    auto* s = static_cast<Session*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !s->seat) {
        s->seat.reset(static_cast<wl_seat*>(wl_registry_bind(
            registry, name, &wl_seat_interface,
            version < WL_SEAT_RELEASE_SINCE_VERSION ? version : WL_SEAT_RELEASE_SINCE_VERSION)));
    } else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0) {
        s->notifier.reset(static_cast<ext_idle_notifier_v1*>(
            wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1)));
    } else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0) {
        s->kde_idle.reset(static_cast<org_kde_kwin_idle*>(
            wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1)));
    }
}
void GlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistry = {Global, GlobalRemove};

void ExtIdled(void* data, ext_idle_notification_v1*) {
    static_cast<Session*>(data)->Idle();
}
void ExtResumed(void* data, ext_idle_notification_v1*) {
    static_cast<Session*>(data)->Resumed();
}
const ext_idle_notification_v1_listener kExt = {ExtIdled, ExtResumed};

void KdeIdle(void* data, org_kde_kwin_idle_timeout*) {
    static_cast<Session*>(data)->Idle();
}
void KdeResumed(void* data, org_kde_kwin_idle_timeout*) {
    static_cast<Session*>(data)->Resumed();
}
const org_kde_kwin_idle_timeout_listener kKde = {KdeIdle, KdeResumed};

// A compositor that went away (the session ended) is no error of ours.
int ConnectionLost(wl_display* display) {
    const int err = wl_display_get_error(display);
    if (err == EPIPE || err == ECONNRESET || err == 0) return 0;
    std::fprintf(stderr, "orbilon-idle: Wayland connection failed: %s\n", std::strerror(err));
    return 1;
}

// Blocks in poll on the connection and the signals; dispatches what arrives.
int Loop(Session& s) {
    wl_display* d = s.display.get();
    while (!s.ending) {
        while (wl_display_prepare_read(d) != 0) {
            if (wl_display_dispatch_pending(d) < 0) return ConnectionLost(d);
        }
        if (s.ending) {
            wl_display_cancel_read(d);
            break;
        }
        if (wl_display_flush(d) < 0 && errno != EAGAIN) {
            wl_display_cancel_read(d);
            return ConnectionLost(d);
        }
        pollfd fds[2] = {{wl_display_get_fd(d), POLLIN, 0}, {s.watch->signals->fd(), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            wl_display_cancel_read(d);
            if (errno == EINTR) continue;
            std::fprintf(stderr, "orbilon-idle: poll: %s\n", std::strerror(errno));
            return 1;
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            if (wl_display_read_events(d) < 0) return ConnectionLost(d);
        } else {
            wl_display_cancel_read(d);
        }
        if (wl_display_dispatch_pending(d) < 0) return ConnectionLost(d);
        if (fds[1].revents & POLLIN) {
            if (!HandleSignals(*s.watch->signals, s.watcher, *s.watch->saver)) break;
        }
    }
    return 0;
}

}  // namespace

std::optional<int> RunWaylandWatch(const Watch& watch) {
    Session s;
    s.watch = &watch;
    s.display.reset(wl_display_connect(nullptr));
    if (!s.display) {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        std::fprintf(stderr, "orbilon-idle: cannot connect to the Wayland display %s: %s\n",
                     name ? name : "", std::strerror(errno));
        return 1;
    }
    s.registry.reset(wl_display_get_registry(s.display.get()));
    wl_registry_add_listener(s.registry.get(), &kRegistry, &s);
    if (wl_display_roundtrip(s.display.get()) < 0) return ConnectionLost(s.display.get());

    const Offered offered{.seat = s.seat != nullptr,
                          .ext_idle_notifier = s.notifier != nullptr,
                          .kde_idle = s.kde_idle != nullptr};
    const uint32_t ms = static_cast<uint32_t>(watch.seconds) * 1000;
    switch (ChooseSource(offered)) {
        case Source::ExtIdleNotify:
            s.notification.reset(
                ext_idle_notifier_v1_get_idle_notification(s.notifier.get(), ms, s.seat.get()));
            ext_idle_notification_v1_add_listener(s.notification.get(), &kExt, &s);
            break;
        case Source::KdeIdle:
            s.kde_timeout.reset(
                org_kde_kwin_idle_get_idle_timeout(s.kde_idle.get(), s.seat.get(), ms));
            org_kde_kwin_idle_timeout_add_listener(s.kde_timeout.get(), &kKde, &s);
            break;
        default:
            return std::nullopt;
    }
    return Loop(s);
}

}  // namespace idle
