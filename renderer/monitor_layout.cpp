#include "monitor_layout.h"

#include <algorithm>

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

}  // namespace orbilon
