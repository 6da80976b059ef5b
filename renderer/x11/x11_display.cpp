#include "x11_display.h"

#include <X11/extensions/Xrandr.h>
#include <X11/extensions/dpms.h>
#include <poll.h>
#include <time.h>

namespace orbilon {

namespace {

int g_xErrors = 0;
int CountXError(Display*, XErrorEvent*) {
    ++g_xErrors;
    return 0;
}

}  // namespace

void CountXErrors() {
    XSetErrorHandler(CountXError);
}
int XErrorCount() {
    return g_xErrors;
}
void ResetXErrors() {
    g_xErrors = 0;
}

int64_t MonotonicNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

std::vector<ScreenRect> QueryMonitors(Display* display, Window root) {
    std::vector<ScreenRect> out;
    int event = 0, error = 0;
    if (!XRRQueryExtension(display, &event, &error)) return out;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
    if (!monitors) return out;
    for (int i = 0; i < count; ++i) {
        out.push_back({monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height});
    }
    XRRFreeMonitors(monitors);
    return out;
}

std::vector<MonitorRate> QueryMonitorRates(Display* display, Window root) {
    std::vector<MonitorRate> out;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &event, &error) || !XRRQueryVersion(display, &major, &minor) ||
        major < 1 || (major == 1 && minor < 3)) {
        return out;
    }
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (!resources) return out;
    for (int c = 0; c < resources->ncrtc; ++c) {
        XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, resources->crtcs[c]);
        if (!crtc) continue;
        for (int m = 0; crtc->mode != None && m < resources->nmode; ++m) {
            const XRRModeInfo& mode = resources->modes[m];
            if (mode.id != crtc->mode) continue;
            out.push_back(
                {{crtc->x, crtc->y, static_cast<int>(crtc->width), static_cast<int>(crtc->height)},
                 ModeRefreshHz(static_cast<double>(mode.dotClock), mode.hTotal, mode.vTotal,
                               (mode.modeFlags & RR_DoubleScan) != 0,
                               (mode.modeFlags & RR_Interlace) != 0)});
        }
        XRRFreeCrtcInfo(crtc);
    }
    XRRFreeScreenResources(resources);
    return out;
}

bool MonitorsOff(Display* display) {
    int event = 0, error = 0;
    if (!DPMSQueryExtension(display, &event, &error) || !DPMSCapable(display)) return false;
    CARD16 level = DPMSModeOn;
    BOOL enabled = False;
    if (!DPMSInfo(display, &level, &enabled)) return false;
    return enabled && level != DPMSModeOn;
}

void WaitForInput(Display* display, int timeoutMs, int fd) {
    if (XPending(display) > 0) return;
    pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {fd, POLLIN, 0}};
    poll(fds, fd >= 0 ? 2 : 1, timeoutMs);
}

}  // namespace orbilon
