// Where the saver window goes on Windows: over the virtual screen (every monitor), with the
// composition drawn once into each monitor's part of it, as the shared layout places it.
#pragma once

#include <windows.h>

#include <vector>

#include "monitor_layout.h"

namespace orbilon {

// The rectangle around every monitor (SM_XVIRTUALSCREEN ... SM_CYVIRTUALSCREEN), in screen
// pixels; its origin is negative where a monitor lies left of or above the primary one.
ScreenRect VirtualScreen();

// The desktop's monitors (EnumDisplayMonitors), in screen pixels.
std::vector<ScreenRect> DisplayMonitors();

// One viewport per monitor for `window` where it now lies.
std::vector<Viewport> MonitorViewportsOf(HWND window);

// Moves `window` over the virtual screen again (after the monitors changed) without
// activating it.
void CoverVirtualScreen(HWND window);

}  // namespace orbilon
