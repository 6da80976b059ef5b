// wl-pointer [STEP...]: pointer input through the compositor's zwlr_virtual_pointer_v1, for
// tests under a headless compositor with no pointer device. Without steps on the command line
// it reads them from stdin, one a line, keeping its pointer device until stdin ends, as a
// mouse that stays plugged in. Steps, in order:
//   move DX DY   relative motion in pixels
//   button N     press and release of button 1 (left), 2 (middle), 3 (right) or 8 (side)
//   wait MS      a pause, so a client sees the steps apart
// Each step is one pointer frame, sent and seen through by the compositor before the next.
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "wlr-virtual-pointer-unstable-v1-client.h"

namespace {

zwlr_virtual_pointer_manager_v1* manager = nullptr;
wl_seat* seat = nullptr;

void OnGlobal(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !seat) {
        seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    }
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
constexpr wl_registry_listener RegistryListener{OnGlobal, OnGlobalRemove};

uint32_t NowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<uint32_t>(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

int Usage() {
    std::fprintf(stderr, "usage: wl-pointer [move DX DY | button N | wait MS]...\n");
    return 2;
}

// Runs the steps in args; false on a step it does not know.
bool RunSteps(wl_display* display, zwlr_virtual_pointer_v1* pointer,
              const std::vector<std::string>& args) {
    const size_t argc = args.size();
    for (size_t i = 0; i < argc; ++i) {
        const std::string_view step(args[i]);
        if (step == "move" && i + 2 < argc) {
            zwlr_virtual_pointer_v1_motion(pointer, NowMs(),
                                           wl_fixed_from_double(std::atof(args[i + 1].c_str())),
                                           wl_fixed_from_double(std::atof(args[i + 2].c_str())));
            zwlr_virtual_pointer_v1_frame(pointer);
            i += 2;
        } else if (step == "button" && i + 1 < argc) {
            const int n = std::atoi(args[++i].c_str());
            const uint32_t code = n == 1   ? 0x110
                                  : n == 2 ? 0x112
                                  : n == 3 ? 0x111
                                  : n == 8 ? 0x113
                                           : 0;
            if (!code) return false;
            zwlr_virtual_pointer_v1_button(pointer, NowMs(), code, WL_POINTER_BUTTON_STATE_PRESSED);
            zwlr_virtual_pointer_v1_frame(pointer);
            zwlr_virtual_pointer_v1_button(pointer, NowMs(), code,
                                           WL_POINTER_BUTTON_STATE_RELEASED);
            zwlr_virtual_pointer_v1_frame(pointer);
        } else if (step == "wait" && i + 1 < argc) {
            wl_display_roundtrip(display);
            usleep(static_cast<useconds_t>(std::atoi(args[++i].c_str())) * 1000);
        } else {
            return false;
        }
        wl_display_roundtrip(display);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "wl-pointer: no Wayland compositor\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &RegistryListener, nullptr);
    wl_display_roundtrip(display);
    if (!manager) {
        std::fprintf(stderr, "wl-pointer: the compositor has no virtual pointers\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
    wl_display_roundtrip(display);
    if (argc > 1) {
        if (!RunSteps(display, pointer, std::vector<std::string>(argv + 1, argv + argc))) {
            return Usage();
        }
    } else {
        for (std::string line; std::getline(std::cin, line);) {
            std::istringstream words(line);
            std::vector<std::string> args;
            for (std::string w; words >> w;) args.push_back(w);
            if (!RunSteps(display, pointer, args)) return Usage();
        }
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    zwlr_virtual_pointer_manager_v1_destroy(manager);
    if (seat) wl_seat_destroy(seat);
    wl_registry_destroy(registry);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
