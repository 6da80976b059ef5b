// idle-inhibitor: a small grey window that holds a zwp_idle_inhibitor_v1 on its surface, as a
// video player does, until it is killed. Test tool for orbilon-idle.
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>

#include "idle-inhibit-unstable-v1-client.h"
#include "xdg-shell-client.h"

namespace {

wl_compositor* compositor;
wl_shm* shm;
xdg_wm_base* wm_base;
zwp_idle_inhibit_manager_v1* inhibit_manager;

void Global(void*, wl_registry* r, uint32_t name, const char* iface, uint32_t) {
    if (!std::strcmp(iface, wl_compositor_interface.name)) {
        compositor =
            static_cast<wl_compositor*>(wl_registry_bind(r, name, &wl_compositor_interface, 1));
    } else if (!std::strcmp(iface, wl_shm_interface.name)) {
        shm = static_cast<wl_shm*>(wl_registry_bind(r, name, &wl_shm_interface, 1));
    } else if (!std::strcmp(iface, xdg_wm_base_interface.name)) {
        wm_base = static_cast<xdg_wm_base*>(wl_registry_bind(r, name, &xdg_wm_base_interface, 1));
    } else if (!std::strcmp(iface, zwp_idle_inhibit_manager_v1_interface.name)) {
        inhibit_manager = static_cast<zwp_idle_inhibit_manager_v1*>(
            wl_registry_bind(r, name, &zwp_idle_inhibit_manager_v1_interface, 1));
    }
}
void GlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistry = {Global, GlobalRemove};

void Ping(void*, xdg_wm_base* base, uint32_t serial) {
    xdg_wm_base_pong(base, serial);
}
const xdg_wm_base_listener kWmBase = {Ping};

wl_buffer* buffer;
wl_surface* surface;
void Configure(void*, xdg_surface* xs, uint32_t serial) {
    xdg_surface_ack_configure(xs, serial);
    wl_surface_attach(surface, buffer, 0, 0);
    wl_surface_damage(surface, 0, 0, 64, 64);
    wl_surface_commit(surface);
}
const xdg_surface_listener kXdgSurface = {Configure};

}  // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "idle-inhibitor: no Wayland display\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistry, nullptr);
    wl_display_roundtrip(display);
    if (!compositor || !shm || !wm_base || !inhibit_manager) {
        std::fprintf(stderr, "idle-inhibitor: the compositor lacks a protocol it needs\n");
        return 1;
    }
    xdg_wm_base_add_listener(wm_base, &kWmBase, nullptr);
    const int size = 64 * 64 * 4;
    const int fd = memfd_create("idle-inhibitor", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) != 0) return 1;
    void* pixels = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) return 1;
    std::memset(pixels, 0x80, size);
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
    buffer = wl_shm_pool_create_buffer(pool, 0, 64, 64, 64 * 4, WL_SHM_FORMAT_XRGB8888);

    surface = wl_compositor_create_surface(compositor);
    xdg_surface* xs = xdg_wm_base_get_xdg_surface(wm_base, surface);
    xdg_surface_add_listener(xs, &kXdgSurface, nullptr);
    xdg_toplevel* top = xdg_surface_get_toplevel(xs);
    xdg_toplevel_set_title(top, "idle-inhibitor");
    zwp_idle_inhibit_manager_v1_create_inhibitor(inhibit_manager, surface);
    wl_surface_commit(surface);
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}
