#include "idle_mutter.h"

#include <gio/gio.h>
#include <glib-unix.h>

#include <cstdio>
#include <memory>

namespace idle {

namespace {

constexpr const char* kMonitorName = "org.gnome.Mutter.IdleMonitor";
constexpr const char* kMonitorPath = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr const char* kMonitorInterface = "org.gnome.Mutter.IdleMonitor";
// org.gnome.SessionManager's inhibit flag for "idle".
constexpr guint32 kInhibitIdle = 8;
constexpr int kCallMs = 5000;

struct Unref {
    void operator()(gpointer p) const {
        if (p) g_object_unref(p);
    }
};
struct VariantUnref {
    void operator()(GVariant* v) const {
        if (v) g_variant_unref(v);
    }
};
struct ErrorFree {
    void operator()(GError* e) const {
        if (e) g_error_free(e);
    }
};
struct LoopUnref {
    void operator()(GMainLoop* l) const {
        if (l) g_main_loop_unref(l);
    }
};
using Variant = std::unique_ptr<GVariant, VariantUnref>;
using Error = std::unique_ptr<GError, ErrorFree>;

// A monitor call's reply, or null.
Variant CallMonitor(GDBusConnection* bus, const char* method, GVariant* args,
                    const char* reply_type) {
    GError* error = nullptr;
    Variant reply(
        g_dbus_connection_call_sync(bus, kMonitorName, kMonitorPath, kMonitorInterface, method,
                                    args, reply_type ? G_VARIANT_TYPE(reply_type) : nullptr,
                                    G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallMs, nullptr, &error));
    Error owned(error);
    return reply;
}

// A watch the monitor holds for us, removed when this ends.
class MonitorWatch {
public:
    MonitorWatch() = default;
    MonitorWatch(GDBusConnection* bus, guint32 id) : bus_(bus), id_(id) {}
    ~MonitorWatch() { Remove(); }
    MonitorWatch(const MonitorWatch&) = delete;
    MonitorWatch& operator=(MonitorWatch&& other) noexcept {
        Remove();
        bus_ = other.bus_;
        id_ = other.id_;
        other.id_ = 0;
        return *this;
    }
    guint32 id() const { return id_; }
    // A user-active watch fires once; the monitor drops it by itself.
    void Forget() { id_ = 0; }

private:
    void Remove() {
        if (id_ != 0) CallMonitor(bus_, "RemoveWatch", g_variant_new("(u)", id_), nullptr);
        id_ = 0;
    }
    GDBusConnection* bus_ = nullptr;
    guint32 id_ = 0;
};

// A GLib source id, removed when this ends.
class SourceId {
public:
    explicit SourceId(guint id) : id_(id) {}
    ~SourceId() {
        if (id_) g_source_remove(id_);
    }
    SourceId(const SourceId&) = delete;
    SourceId& operator=(const SourceId&) = delete;

private:
    guint id_;
};

class Subscription {
public:
    Subscription(GDBusConnection* bus, guint id) : bus_(bus), id_(id) {}
    ~Subscription() { g_dbus_connection_signal_unsubscribe(bus_, id_); }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;

private:
    GDBusConnection* bus_;
    guint id_;
};

struct Run {
    Run(const Watch* w, GDBusConnection* b, GMainLoop* l) : watch(w), bus(b), loop(l) {}
    const Watch* watch;
    GDBusConnection* bus;
    GMainLoop* loop;
    std::unique_ptr<GCancellable, Unref> cancel{g_cancellable_new()};
    Watcher watcher{true};
    MonitorWatch idle_watch;
    MonitorWatch active_watch;

    void Do(Step step) {
        if (step == Step::AskInhibited) {
            AskInhibited();
        } else if (!Perform(step, watcher, *watch->saver, watch->config_path)) {
            g_main_loop_quit(loop);
        }
    }

    // Asked without blocking, so signals and the monitor are heard meanwhile. No session
    // manager on the bus means nobody can have inhibited idleness through it.
    void AskInhibited() {
        g_dbus_connection_call(
            bus, "org.gnome.SessionManager", "/org/gnome/SessionManager",
            "org.gnome.SessionManager", "IsInhibited", g_variant_new("(u)", kInhibitIdle),
            G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallMs, cancel.get(),
            [](GObject* source, GAsyncResult* result, gpointer data) {
                GError* error = nullptr;
                Variant reply(
                    g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error));
                Error owned(error);
                if (error && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED)) return;
                gboolean inhibited = FALSE;
                if (reply) g_variant_get(reply.get(), "(b)", &inhibited);
                auto* run = static_cast<Run*>(data);
                run->Do(run->watcher.OnInhibited(inhibited));
            },
            this);
    }

    void Fired(guint32 id) {
        if (id != 0 && id == idle_watch.id()) {
            // The idle watch fires again only after activity, which a user-active watch added
            // a moment too late would have missed.
            if (watcher.Idle()) watcher.OnResumed();
            Do(watcher.OnIdle());
            // Back at the keyboard ends the idle period; the idle watch itself stays.
            Variant r = CallMonitor(bus, "AddUserActiveWatch", nullptr, "(u)");
            guint32 active = 0;
            if (r) g_variant_get(r.get(), "(u)", &active);
            active_watch = MonitorWatch(bus, active);
        } else if (id != 0 && id == active_watch.id()) {
            active_watch.Forget();
            watcher.OnResumed();
        }
    }
};

void OnSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
              GVariant* parameters, gpointer data) {
    if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(u)"))) return;
    guint32 id = 0;
    g_variant_get(parameters, "(u)", &id);
    static_cast<Run*>(data)->Fired(id);
}

}  // namespace

std::optional<int> RunMutterWatch(const Watch& watch) {
    GError* error = nullptr;
    std::unique_ptr<GDBusConnection, Unref> bus(
        g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error));
    Error owned(error);
    if (!bus) return std::nullopt;
    // The session bus closing ends the session, and this run with it, without exit().
    g_dbus_connection_set_exit_on_close(bus.get(), FALSE);
    if (!CallMonitor(bus.get(), "GetIdletime", nullptr, "(t)")) return std::nullopt;

    std::unique_ptr<GMainLoop, LoopUnref> loop(g_main_loop_new(nullptr, FALSE));
    Run run(&watch, bus.get(), loop.get());
    Subscription fired(bus.get(),
                       g_dbus_connection_signal_subscribe(
                           bus.get(), kMonitorName, kMonitorInterface, "WatchFired", kMonitorPath,
                           nullptr, G_DBUS_SIGNAL_FLAGS_NONE, OnSignal, &run, nullptr));
    Variant r =
        CallMonitor(bus.get(), "AddIdleWatch",
                    g_variant_new("(t)", static_cast<guint64>(watch.seconds) * 1000), "(u)");
    guint32 id = 0;
    if (r) g_variant_get(r.get(), "(u)", &id);
    if (id == 0) {
        std::fprintf(stderr, "orbilon-idle: GNOME's idle monitor refused an idle watch\n");
        return 1;
    }
    run.idle_watch = MonitorWatch(bus.get(), id);

    const gulong closed =
        g_signal_connect_swapped(bus.get(), "closed", G_CALLBACK(g_main_loop_quit), loop.get());
    SourceId signals(g_unix_fd_add(
        watch.signals->fd(), G_IO_IN,
        [](gint, GIOCondition, gpointer data) -> gboolean {
            auto* run = static_cast<Run*>(data);
            if (!HandleSignals(*run->watch->signals, run->watcher, *run->watch->saver)) {
                g_main_loop_quit(run->loop);
            }
            return G_SOURCE_CONTINUE;
        },
        &run));
    g_main_loop_run(loop.get());
    g_cancellable_cancel(run.cancel.get());
    g_signal_handler_disconnect(bus.get(), closed);
    return 0;
}

}  // namespace idle
