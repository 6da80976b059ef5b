// mutter-remote: keys, and screen casts, through mutter's remote-desktop and screen-cast D-Bus
// APIs (session bus), for tests under a headless mutter, which has no input device and no
// screenshot service of its own. It starts a remote-desktop session, prints "ready", then reads
// steps from stdin, one a line. Mutter ends the session, and takes its virtual keyboard away,
// when this program's bus connection goes: it keeps it until stdin ends, as a keyboard that stays
// plugged in. Steps:
//   key CODE        press and release of the evdev key CODE (30 is A)
//   wait MS         a pause
//   cast CONNECTOR  a PipeWire stream of that monitor: prints "node ID"; each consumer needs a
//                   stream of its own, so the next cast ends this one
//   virtual         a new monitor, there while its stream runs: prints "node ID"; the monitor
//                   comes once a consumer of the stream has fixed its size
//   unplug ID       ends the virtual monitor of stream ID
#include <gio/gio.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

namespace {

constexpr char Service[] = "org.gnome.Mutter.RemoteDesktop";
constexpr char CastService[] = "org.gnome.Mutter.ScreenCast";
constexpr int TimeoutMs = 10000;

struct VariantUnref {
    void operator()(GVariant* v) const { g_variant_unref(v); }
};
using VariantPtr = std::unique_ptr<GVariant, VariantUnref>;

GDBusConnection* bus = nullptr;

// A method call's reply; where it fails, exits with a line on stderr, or yields null where
// failing is allowed.
VariantPtr Call(const char* service, const std::string& path, const char* interface,
                const char* method, GVariant* args, const char* replyType = nullptr,
                bool mayFail = false) {
    GError* error = nullptr;
    GVariant* reply =
        g_dbus_connection_call_sync(bus, service, path.c_str(), interface, method, args,
                                    replyType ? G_VARIANT_TYPE(replyType) : nullptr,
                                    G_DBUS_CALL_FLAGS_NONE, TimeoutMs, nullptr, &error);
    if (!reply && mayFail) {
        g_error_free(error);
        return nullptr;
    }
    if (!reply) {
        std::fprintf(stderr, "mutter-remote: %s.%s: %s\n", interface, method, error->message);
        g_error_free(error);
        std::exit(1);
    }
    return VariantPtr(reply);
}

constexpr char SessionIface[] = "org.gnome.Mutter.RemoteDesktop.Session";

void Key(const std::string& session, guint32 code) {
    for (const gboolean pressed : {gboolean{TRUE}, gboolean{FALSE}}) {
        Call(Service, session, SessionIface, "NotifyKeyboardKeycode",
             g_variant_new("(ub)", code, pressed));
    }
}

std::string ObjectPath(const VariantPtr& reply) {
    const char* path = nullptr;
    g_variant_get(reply.get(), "(&o)", &path);
    return path;
}

guint32 node = 0;
bool nodeSeen = false;

void OnStreamAdded(GDBusConnection*, const char*, const char*, const char*, const char*,
                   GVariant* parameters, gpointer) {
    g_variant_get(parameters, "(u)", &node);
    nodeSeen = true;
}

constexpr char CastSession[] = "org.gnome.Mutter.ScreenCast.Session";

// A new screen cast: of the monitor `connector`, or of a new virtual monitor where it is empty.
// Prints its PipeWire node; returns its session.
std::string Cast(const std::string& connector) {
    const std::string cast =
        ObjectPath(Call(CastService, "/org/gnome/Mutter/ScreenCast", CastService, "CreateSession",
                        g_variant_new_parsed("(@a{sv} {},)"), "(o)"));
    GVariantBuilder props;
    g_variant_builder_init(&props, G_VARIANT_TYPE("a{sv}"));
    // The renderer hides the pointer; the cast shows none either.
    g_variant_builder_add(&props, "{sv}", "cursor-mode", g_variant_new_uint32(0));
    const std::string stream = ObjectPath(
        connector.empty() ? Call(CastService, cast, CastSession, "RecordVirtual",
                                 g_variant_new("(a{sv})", &props), "(o)")
                          : Call(CastService, cast, CastSession, "RecordMonitor",
                                 g_variant_new("(sa{sv})", connector.c_str(), &props), "(o)"));
    const guint subscription = g_dbus_connection_signal_subscribe(
        bus, CastService, "org.gnome.Mutter.ScreenCast.Stream", "PipeWireStreamAdded",
        stream.c_str(), nullptr, G_DBUS_SIGNAL_FLAGS_NONE, OnStreamAdded, nullptr, nullptr);
    nodeSeen = false;
    Call(CastService, cast, CastSession, "Start", nullptr);
    const gint64 end = g_get_monotonic_time() + TimeoutMs * 1000LL;
    while (!nodeSeen && g_get_monotonic_time() < end) {
        if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(10000);
    }
    g_dbus_connection_signal_unsubscribe(bus, subscription);
    if (!nodeSeen) {
        std::fprintf(stderr, "mutter-remote: the screen cast's stream did not come\n");
        std::exit(1);
    }
    std::printf("node %u\n", node);
    std::fflush(stdout);
    return cast;
}

}  // namespace

int main(int argc, char**) {
    if (argc != 1) {
        std::fprintf(stderr, "usage: mutter-remote <STEPS\n");
        return 2;
    }
    GError* error = nullptr;
    bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!bus) {
        std::fprintf(stderr, "mutter-remote: no session bus: %s\n", error->message);
        return 1;
    }
    const std::string session = ObjectPath(
        Call(Service, "/org/gnome/Mutter/RemoteDesktop", Service, "CreateSession", nullptr, "(o)"));
    Call(Service, session, SessionIface, "Start", nullptr);
    // The seat gets its keyboard with the first key: a Shift now, so that a client started
    // next binds a keyboard and sees the test's first key.
    Key(session, 42);
    std::printf("ready\n");
    std::fflush(stdout);

    std::string monitorCast;
    std::map<unsigned long, std::string> virtualCasts;
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream in(line);
        std::string step, arg;
        if (!(in >> step)) continue;
        if (step == "virtual") {
            const std::string cast = Cast({});
            virtualCasts[node] = cast;
            continue;
        }
        if (!(in >> arg)) {
            std::fprintf(stderr, "mutter-remote: bad step: %s\n", line.c_str());
            return 2;
        }
        if (step == "cast") {
            // Mutter closes a cast whose consumer has gone: stopping it may find nothing.
            if (!monitorCast.empty()) {
                Call(CastService, monitorCast, CastSession, "Stop", nullptr, nullptr, true);
            }
            monitorCast = Cast(arg);
            continue;
        }
        char* rest = nullptr;
        const unsigned long value = std::strtoul(arg.c_str(), &rest, 10);
        if (*rest != '\0') {
            std::fprintf(stderr, "mutter-remote: bad step: %s\n", line.c_str());
            return 2;
        }
        if (step == "key") {
            Key(session, static_cast<guint32>(value));
        } else if (step == "wait") {
            g_usleep(static_cast<gulong>(value) * 1000);
        } else if (step == "unplug" && virtualCasts.count(value)) {
            Call(CastService, virtualCasts[value], CastSession, "Stop", nullptr);
            virtualCasts.erase(value);
        } else {
            std::fprintf(stderr, "mutter-remote: bad step: %s\n", line.c_str());
            return 2;
        }
    }
    Call(Service, session, SessionIface, "Stop", nullptr);
    g_object_unref(bus);
    return 0;
}
