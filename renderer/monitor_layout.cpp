#include "monitor_layout.h"

#include <algorithm>
#include <cmath>

namespace orbilon {

std::vector<Viewport> MonitorViewports(std::span<const ScreenRect> monitors, ScreenRect window) {
    std::vector<Viewport> out;
    for (const ScreenRect& m : monitors) {
        const int left = std::max(m.x, window.x);
        const int top = std::max(m.y, window.y);
        const int right = std::min(m.x + m.width, window.x + window.width);
        const int bottom = std::min(m.y + m.height, window.y + window.height);
        if (right <= left || bottom <= top) continue;
        // GL counts rows from the window's bottom edge.
        const Viewport v{left - window.x, window.y + window.height - bottom, right - left,
                         bottom - top};
        if (std::find(out.begin(), out.end(), v) == out.end()) out.push_back(v);
    }
    if (out.empty() && window.width > 0 && window.height > 0) {
        out.push_back({0, 0, window.width, window.height});
    }
    return out;
}

std::optional<MonitorSpan> SpanAllMonitors(std::span<const ScreenRect> monitors) {
    if (monitors.empty()) return std::nullopt;
    MonitorSpan s;
    for (long i = 1; i < static_cast<long>(monitors.size()); ++i) {
        const ScreenRect& m = monitors[i];
        if (m.y < monitors[s.top].y) s.top = i;
        if (m.y + m.height > monitors[s.bottom].y + monitors[s.bottom].height) s.bottom = i;
        if (m.x < monitors[s.left].x) s.left = i;
        if (m.x + m.width > monitors[s.right].x + monitors[s.right].width) s.right = i;
    }
    return s;
}

double ModeRefreshHz(double dotClockHz, unsigned hTotal, unsigned vTotal, bool doubleScan,
                     bool interlaced) {
    double lines = vTotal;
    // Each line twice; or half the lines per field, each field a refresh.
    if (doubleScan) lines *= 2;
    if (interlaced) lines /= 2;
    if (!(dotClockHz > 0) || hTotal == 0 || !(lines > 0)) return 0;
    return dotClockHz / (hTotal * lines);
}

int64_t RefreshPeriodNs(std::span<const MonitorRate> monitors, ScreenRect window) {
    double hz = 0;
    int64_t shown = 0;
    for (const MonitorRate& m : monitors) {
        const int64_t w = std::min(m.rect.x + m.rect.width, window.x + window.width) -
                          std::max(m.rect.x, window.x);
        const int64_t h = std::min(m.rect.y + m.rect.height, window.y + window.height) -
                          std::max(m.rect.y, window.y);
        // A rate below 1 Hz or above 1000 Hz is no rate a monitor has.
        if (w <= 0 || h <= 0 || !(m.hz >= 1 && m.hz <= 1000) || w * h <= shown) continue;
        shown = w * h;
        hz = m.hz;
    }
    if (hz == 0) hz = FallbackRefreshHz;
    return std::llround(1e9 / hz);
}

}  // namespace orbilon
