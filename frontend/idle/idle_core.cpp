#include "idle_core.h"

#include <charconv>

namespace idle {

namespace {

// A whole number from 1 to max, digits only.
std::optional<int> Count(const std::string& text, int max) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || text[0] == '+' || ec != std::errc() || ptr != end) return std::nullopt;
    if (value < 1 || value > max) return std::nullopt;
    return value;
}

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

Options ParseArguments(const std::vector<std::string>& args) {
    Options o;
    bool enable = false, disable = false;
    auto fail = [&o](const std::string& why) {
        o.error = why;
        return o;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i], value;
        const auto eq = arg.find('=');
        const bool has_value = arg.rfind("--", 0) == 0 && eq != std::string::npos;
        if (has_value) {
            value = arg.substr(eq + 1);
            arg.resize(eq);
        }
        if (arg == "--minutes" || arg == "--seconds") {
            if (!has_value) {
                if (i + 1 == args.size()) return fail(arg + " needs a number");
                value = args[++i];
            }
            const bool minutes = arg == "--minutes";
            const auto n = Count(value, minutes ? kMaxSeconds / 60 : kMaxSeconds);
            if (!n) {
                return fail(arg + " takes a whole number from 1 to " +
                            std::to_string(minutes ? kMaxSeconds / 60 : kMaxSeconds) + ", not '" +
                            value + "'");
            }
            o.seconds = minutes ? *n * 60 : *n;
        } else if (has_value) {
            return fail(arg + " takes no value");
        } else if (arg == "--enable") {
            enable = true;
        } else if (arg == "--disable") {
            disable = true;
        } else if (arg == "--help" || arg == "-h") {
            o.action = Action::Help;
            return o;
        } else {
            return fail("unknown argument '" + arg + "'");
        }
    }
    if (enable && disable) return fail("--enable and --disable exclude each other");
    if (disable && o.seconds) return fail("--disable takes no idle time");
    o.action = enable ? Action::Enable : disable ? Action::Disable : Action::Watch;
    return o;
}

Config ParseConfig(const std::string& text) {
    Config c;
    size_t start = 0, line = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        ++line;
        const std::string s = Trim(text.substr(start, end - start));
        start = end + 1;
        if (s.empty() || s[0] == '#') continue;
        const auto eq = s.find('=');
        const std::string key = Trim(s.substr(0, eq));
        const auto n =
            eq == std::string::npos ? std::nullopt : Count(Trim(s.substr(eq + 1)), kMaxSeconds);
        if (key != "seconds" || !n) {
            c.error = "line " + std::to_string(line) + ": expected seconds=1.." +
                      std::to_string(kMaxSeconds);
            return c;
        }
        c.seconds = *n;
    }
    return c;
}

std::string FormatConfig(int seconds) {
    return "# orbilon-idle: start the Orbilon screen saver after this many idle seconds.\n"
           "# orbilon-idle --disable removes this file.\n"
           "seconds=" +
           std::to_string(seconds) + "\n";
}

std::string ConfigPath(const char* xdg_config_home, const char* home) {
    std::string base;
    if (xdg_config_home && xdg_config_home[0] == '/') {
        base = xdg_config_home;
    } else if (home && home[0]) {
        base = std::string(home) + "/.config";
    } else {
        return {};
    }
    return base + "/orbilon/idle.conf";
}

Start StartDecision(bool wayland_session, bool config_exists) {
    if (!wayland_session) return Start::NotWayland;
    return config_exists ? Start::Watch : Start::NotEnabled;
}

Source ChooseSource(const Offered& offered) {
    if (offered.seat && offered.ext_idle_notifier) return Source::ExtIdleNotify;
    if (offered.seat && offered.kde_idle) return Source::KdeIdle;
    if (offered.mutter_idle_monitor) return Source::MutterIdleMonitor;
    return Source::None;
}

const char* SourceName(Source source) {
    switch (source) {
        case Source::ExtIdleNotify:
            return "ext_idle_notifier_v1";
        case Source::KdeIdle:
            return "org_kde_kwin_idle";
        case Source::MutterIdleMonitor:
            return "org.gnome.Mutter.IdleMonitor";
        case Source::None:
            break;
    }
    return "none";
}

Step Watcher::OnIdle() {
    if (idle_) return Step::None;
    idle_ = true;
    if (saver_running_) return Step::None;
    if (ask_inhibited_) {
        asking_ = true;
        return Step::AskInhibited;
    }
    return Step::StartSaver;
}

Step Watcher::OnInhibited(bool inhibited) {
    if (!asking_) return Step::None;
    asking_ = false;
    // The user may have come back while the question was out.
    if (!idle_ || saver_running_ || inhibited) return Step::None;
    return Step::StartSaver;
}

void Watcher::OnResumed() {
    idle_ = false;
    asking_ = false;
}

}  // namespace idle
