// fake-session-manager FLAGS: owns org.gnome.SessionManager on the session bus and answers
// IsInhibited(f) with whether f shares a bit with FLAGS, printing each question ("IsInhibited
// 8") on stdout, and "ready" once the name is its own. Test tool for orbilon-idle under Mutter.
#include <gio/gio.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* kXml =
    "<node><interface name='org.gnome.SessionManager'>"
    "<method name='IsInhibited'><arg type='u' direction='in'/><arg type='b' direction='out'/>"
    "</method></interface></node>";

guint32 inhibited_flags;

void Call(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
          GVariant* parameters, GDBusMethodInvocation* invocation, gpointer) {
    guint32 flags = 0;
    g_variant_get(parameters, "(u)", &flags);
    std::printf("IsInhibited %u\n", flags);
    std::fflush(stdout);
    g_dbus_method_invocation_return_value(invocation,
                                          g_variant_new("(b)", (flags & inhibited_flags) != 0));
}

const GDBusInterfaceVTable kVtable = {Call, nullptr, nullptr, {}};

void Acquired(GDBusConnection*, const gchar*, gpointer) {
    std::printf("ready\n");
    std::fflush(stdout);
}

void Bus(GDBusConnection* bus, const gchar*, gpointer) {
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kXml, nullptr);
    g_dbus_connection_register_object(bus, "/org/gnome/SessionManager", node->interfaces[0],
                                      &kVtable, nullptr, nullptr, nullptr);
    g_dbus_node_info_unref(node);
}

void Lost(GDBusConnection*, const gchar*, gpointer) {
    std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    inhibited_flags = argc > 1 ? static_cast<guint32>(std::strtoul(argv[1], nullptr, 10)) : 0;
    g_bus_own_name(G_BUS_TYPE_SESSION, "org.gnome.SessionManager", G_BUS_NAME_OWNER_FLAGS_NONE, Bus,
                   Acquired, Lost, nullptr, nullptr);
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(loop);
    return 0;
}
