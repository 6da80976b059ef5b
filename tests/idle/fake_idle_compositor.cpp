// fake-idle-compositor: a Wayland server offering only a seat and the idle protocols, for the
// notifier no compositor here has (ext_idle_notifier_v1). Each notification asked for is
// printed as "ext MS" or "kde MS" and goes idle MS after it was made or after the last
// activity. A line "active" on stdin is user activity: idle notifications are resumed and
// their timers start again. Prints its socket name, then serves until stdin ends.
// --kde-only offers org_kde_kwin_idle alone.
#include <unistd.h>
#include <wayland-server.h>

#include <cstdio>
#include <cstring>
#include <list>
#include <string>

#include "ext-idle-notify-v1-server-protocol.h"
#include "idle-server-protocol.h"

namespace {

struct Watch {
    wl_resource* resource = nullptr;
    wl_event_source* timer = nullptr;
    uint32_t ms = 0;
    bool ext = true;
    bool idle = false;
};

wl_display* gDisplay;
std::list<Watch> gWatches;

void Forget(wl_resource* resource) {
    for (auto it = gWatches.begin(); it != gWatches.end(); ++it) {
        if (it->resource == resource) {
            wl_event_source_remove(it->timer);
            gWatches.erase(it);
            return;
        }
    }
}

int Fire(void* data) {
    auto* w = static_cast<Watch*>(data);
    w->idle = true;
    if (w->ext)
        ext_idle_notification_v1_send_idled(w->resource);
    else
        org_kde_kwin_idle_timeout_send_idle(w->resource);
    return 0;
}

void Activity() {
    for (auto& w : gWatches) {
        if (w.idle) {
            w.idle = false;
            if (w.ext)
                ext_idle_notification_v1_send_resumed(w.resource);
            else
                org_kde_kwin_idle_timeout_send_resumed(w.resource);
        }
        wl_event_source_timer_update(w.timer, static_cast<int>(w.ms));
    }
}

void Destroy(wl_client*, wl_resource* resource) {
    wl_resource_destroy(resource);
}
void SimulateActivity(wl_client*, wl_resource*) {
    Activity();
}
const struct ext_idle_notification_v1_interface kExtNotification = {Destroy};
const struct org_kde_kwin_idle_timeout_interface kKdeTimeout = {Destroy, SimulateActivity};

void MakeWatch(wl_client* client, uint32_t id, uint32_t ms, bool ext) {
    const wl_interface* iface =
        ext ? &ext_idle_notification_v1_interface : &org_kde_kwin_idle_timeout_interface;
    wl_resource* r = wl_resource_create(client, iface, 1, id);
    Watch& w = gWatches.emplace_back();
    w.resource = r;
    w.ms = ms;
    w.ext = ext;
    w.timer = wl_event_loop_add_timer(wl_display_get_event_loop(gDisplay), Fire, &w);
    wl_event_source_timer_update(w.timer, static_cast<int>(ms));
    wl_resource_set_implementation(
        r, ext ? static_cast<const void*>(&kExtNotification) : &kKdeTimeout, nullptr, Forget);
    std::printf("%s %u\n", ext ? "ext" : "kde", ms);
    std::fflush(stdout);
}

void GetExt(wl_client* client, wl_resource*, uint32_t id, uint32_t ms, wl_resource*) {
    MakeWatch(client, id, ms, true);
}
void GetKde(wl_client* client, wl_resource*, uint32_t id, wl_resource*, uint32_t ms) {
    MakeWatch(client, id, ms, false);
}
const struct ext_idle_notifier_v1_interface kExtNotifier = {Destroy, GetExt};
const struct org_kde_kwin_idle_interface kKdeIdle = {GetKde};

void BindExt(wl_client* client, void*, uint32_t version, uint32_t id) {
    wl_resource* r = wl_resource_create(client, &ext_idle_notifier_v1_interface, version, id);
    wl_resource_set_implementation(r, &kExtNotifier, nullptr, nullptr);
}
void BindKde(wl_client* client, void*, uint32_t version, uint32_t id) {
    wl_resource* r = wl_resource_create(client, &org_kde_kwin_idle_interface, version, id);
    wl_resource_set_implementation(r, &kKdeIdle, nullptr, nullptr);
}

// The seat has no devices to give.
void SeatGetNothing(wl_client*, wl_resource* seat, uint32_t) {
    wl_resource_post_error(seat, WL_SEAT_ERROR_MISSING_CAPABILITY, "no devices");
}
void SeatRelease(wl_client*, wl_resource* resource) {
    wl_resource_destroy(resource);
}
const struct wl_seat_interface kSeat = {SeatGetNothing, SeatGetNothing, SeatGetNothing,
                                        SeatRelease};

void BindSeat(wl_client* client, void*, uint32_t version, uint32_t id) {
    wl_resource* r = wl_resource_create(client, &wl_seat_interface, version, id);
    wl_resource_set_implementation(r, &kSeat, nullptr, nullptr);
    wl_seat_send_capabilities(r, 0);
    if (version >= WL_SEAT_NAME_SINCE_VERSION) wl_seat_send_name(r, "seat0");
}

int ReadStdin(int fd, uint32_t, void*) {
    static std::string pending;
    char buf[256];
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) {
        wl_display_terminate(gDisplay);
        return 0;
    }
    pending.append(buf, static_cast<size_t>(n));
    for (size_t nl; (nl = pending.find('\n')) != std::string::npos; pending.erase(0, nl + 1)) {
        if (pending.compare(0, nl, "active") == 0) Activity();
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool kdeOnly = argc > 1 && std::strcmp(argv[1], "--kde-only") == 0;
    gDisplay = wl_display_create();
    const char* socket = gDisplay ? wl_display_add_socket_auto(gDisplay) : nullptr;
    if (!socket) {
        std::fprintf(stderr, "fake-idle-compositor: no socket (XDG_RUNTIME_DIR?)\n");
        return 1;
    }
    wl_global_create(gDisplay, &wl_seat_interface, 7, nullptr, BindSeat);
    if (!kdeOnly) wl_global_create(gDisplay, &ext_idle_notifier_v1_interface, 1, nullptr, BindExt);
    wl_global_create(gDisplay, &org_kde_kwin_idle_interface, 1, nullptr, BindKde);
    wl_event_loop_add_fd(wl_display_get_event_loop(gDisplay), 0, WL_EVENT_READABLE, ReadStdin,
                         nullptr);
    std::printf("%s\n", socket);
    std::fflush(stdout);
    wl_display_run(gDisplay);
    wl_display_destroy_clients(gDisplay);
    wl_display_destroy(gDisplay);
    return 0;
}
