// The watch loop over a Wayland compositor's own idle protocol: ext_idle_notifier_v1, else
// org_kde_kwin_idle. Both honour the compositor's idle inhibitors.
#pragma once

#include <optional>

#include "idle_posix.h"

namespace idle {

// The exit status; nullopt when the compositor offers neither protocol (or no seat), so the
// caller may try another source. A compositor that cannot be reached is an error.
std::optional<int> RunWaylandWatch(const Watch& watch);

}  // namespace idle
