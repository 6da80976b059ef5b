// Where the composition goes when one window spans several monitors: one viewport per monitor,
// each the part of the window that monitor shows, so every monitor gets the whole picture at its
// own aspect ratio.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "gl_scene.h"

namespace orbilon {

// A rectangle in root-window coordinates (origin at the top left), in pixels.
struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const ScreenRect&) const = default;
};

// The viewports (GL coordinates of the window: origin at its bottom left) for a window at
// `window` on a screen with these monitors, in the monitors' order. Monitors that miss the window
// are left out, the same rectangle is drawn once, and with no monitor on the window at all the
// whole window is one viewport.
std::vector<Viewport> MonitorViewports(std::span<const ScreenRect> monitors, ScreenRect window);

// The monitors a full-screen window must span to cover all of them, as a window manager's
// _NET_WM_FULLSCREEN_MONITORS takes them: indices of the topmost, bottommost, leftmost and
// rightmost monitor. Nothing without monitors.
struct MonitorSpan {
    long top = 0, bottom = 0, left = 0, right = 0;
    bool operator==(const MonitorSpan&) const = default;
};
std::optional<MonitorSpan> SpanAllMonitors(std::span<const ScreenRect> monitors);

}  // namespace orbilon

namespace orbilon {

// One lit monitor and the refresh rate of its current mode (0 where the mode gives none).
struct MonitorRate {
    ScreenRect rect;
    double hz = 0;
};

// The refresh rate of a display mode from its timings; 0 when they give none (a virtual
// display's modes have no dot clock).
double ModeRefreshHz(double dotClockHz, unsigned hTotal, unsigned vTotal, bool doubleScan,
                     bool interlaced);

// Nanoseconds per refresh of the monitor that shows most of `window`; a 60 Hz display's where
// no monitor with a known rate shows any of it.
int64_t RefreshPeriodNs(std::span<const MonitorRate> monitors, ScreenRect window);
inline constexpr double FallbackRefreshHz = 60;

}  // namespace orbilon
