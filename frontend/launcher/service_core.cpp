#include "service_core.h"

#include <cstdio>
#include <cstring>

namespace orbilon {
namespace {

std::string Quoted(std::string_view text) {
    std::string q = "\"";
    for (char c : text) {
        // One line whatever the service passed.
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            char buf[5];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            q += buf;
        } else {
            q += c;
        }
    }
    return q + "\"";
}

ServiceStart Bad(std::string error) {
    return {ServiceKind::BadWindow, 0, std::string(kProgramName) + ": " + error};
}

ServiceStart WithWindow(ServiceKind kind, std::string_view text, const char* from) {
    if (const std::optional<uint32_t> id = ParseWindowId(text)) return {kind, *id, {}};
    return Bad(std::string("not a window id in ") + from + ": " + Quoted(text));
}

}  // namespace

ServiceStart ReadServiceStart(const std::vector<std::string>& args, const char* target) {
    bool root = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--window-id" || a == "-window-id") {
            if (i + 1 >= args.size()) return Bad(a + " needs a window id");
            return WithWindow(ServiceKind::Pane, args[i + 1], a.c_str());
        }
        for (const char* prefix : {"--window-id=", "-window-id="}) {
            const size_t n = std::strlen(prefix);
            if (a.compare(0, n, prefix) == 0)
                return WithWindow(ServiceKind::Pane, std::string_view(a).substr(n), prefix);
        }
        if (a == "--root" || a == "-root") root = true;
    }
    if (!root) return {};
    // Set but empty counts as unset: the root window, as for a plain --root.
    if (target == nullptr || *target == '\0') return {ServiceKind::Root, 0, {}};
    return WithWindow(ServiceKind::Root, target, "$XSCREENSAVER_WINDOW");
}

std::vector<std::string> RendererEnvironment(const std::vector<std::string>& environment,
                                             std::optional<uint32_t> target) {
    const std::string name = std::string(kTargetVariable) + "=";
    std::vector<std::string> env;
    for (const std::string& e : environment)
        if (e.compare(0, name.size(), name) != 0) env.push_back(e);
    if (target) {
        char id[16];
        std::snprintf(id, sizeof id, "0x%X", *target);
        env.push_back(name + id);
    }
    return env;
}

std::string DisplayKey(std::string_view display) {
    std::string_view host, number = display;
    if (const size_t colon = display.rfind(':'); colon != std::string_view::npos) {
        host = display.substr(0, colon);
        number = display.substr(colon + 1);
        if (const size_t dot = number.find('.'); dot != std::string_view::npos)
            number = number.substr(0, dot);
        if (host == "unix") host = {};
    }
    std::string key;
    if (!host.empty()) key = std::string(host) + "_";
    key += number;
    for (char& c : key) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '-';
        if (!ok) c = '_';
    }
    return key.empty() ? "_" : key;
}

std::string LockPath(std::string_view runtimeDir, uint32_t uid, std::string_view what,
                     std::string_view display) {
    const std::string tail = std::string(what) + "-" + DisplayKey(display) + ".lock";
    if (!runtimeDir.empty()) return std::string(runtimeDir) + "/orbilon-" + tail;
    return "/tmp/orbilon-" + std::to_string(uid) + "-" + tail;
}

std::vector<std::string> LockPaths(std::string_view runtimeDir, uint32_t uid, std::string_view what,
                                   std::string_view display) {
    std::vector<std::string> paths;
    if (!runtimeDir.empty()) paths.push_back(LockPath(runtimeDir, uid, what, display));
    paths.push_back(LockPath({}, uid, what, display));
    return paths;
}

}  // namespace orbilon
