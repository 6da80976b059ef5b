// What both renderer runs (its own full-screen window, or a window given by a screen-saver
// service) need from X beyond the window itself: error counting, the monitors, their power state,
// their refresh rates, and sleeping on the connection instead of spinning.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

#include "monitor_layout.h"

namespace orbilon {

// Installs a handler under which X errors are counted, not fatal: failures of window-system
// calls degrade silently, and the few that matter are checked through the count.
void CountXErrors();
int XErrorCount();
void ResetXErrors();

int64_t MonotonicNs();

// The screen's RandR monitors in root coordinates, the primary first; empty where RandR has none.
std::vector<ScreenRect> QueryMonitors(Display* display, Window root);

// The lit monitors (RandR CRTCs) with the refresh rates of their current modes; empty where
// RandR is older than 1.3 or absent.
std::vector<MonitorRate> QueryMonitorRates(Display* display, Window root);

// True while DPMS has the monitors in standby, suspend or off.
bool MonitorsOff(Display* display);

// Blocks until the connection has an event, `fd` (when not -1) is readable, or `timeoutMs`
// passes (-1: no limit). Returns at once when events are already queued.
void WaitForInput(Display* display, int timeoutMs, int fd = -1);

}  // namespace orbilon
