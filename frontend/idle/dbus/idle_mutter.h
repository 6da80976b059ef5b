// The watch loop over GNOME's idle monitor on the session bus (Mutter offers no Wayland idle
// protocol). Its idle watch knows nothing of idle inhibitors, so each start first asks the
// session manager whether idleness is inhibited.
#pragma once

#include <optional>

#include "idle_posix.h"

namespace idle {

// The exit status; nullopt when no session bus or no idle monitor answers.
std::optional<int> RunMutterWatch(const Watch& watch);

}  // namespace idle
