// orbilon-idle's decisions: its command line, the per-user file that turns it on, which idle
// source a session offers, and when the saver starts. No platform code here.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace idle {

constexpr int kDefaultSeconds = 600;
// A day at most, far inside the idle protocols' 32-bit milliseconds.
constexpr int kMaxSeconds = 24 * 60 * 60;

enum class Action { Watch, Enable, Disable, Help };

struct Options {
    Action action = Action::Watch;
    std::optional<int> seconds;  // --minutes or --seconds
    std::string error;           // not empty: a usage error, one line
};

Options ParseArguments(const std::vector<std::string>& args);

// The per-user file: "seconds=N" (comments and blank lines allowed). A file that exists turns
// the watcher on; its idle time, when it names none, is the default.
struct Config {
    int seconds = kDefaultSeconds;
    std::string error;  // not empty: the file is not understood
};
Config ParseConfig(const std::string& text);
std::string FormatConfig(int seconds);

// $XDG_CONFIG_HOME/orbilon/idle.conf, or ~/.config/...; an XDG_CONFIG_HOME that is not absolute
// is ignored, as the XDG base directory rules ask. Empty when neither gives a folder.
std::string ConfigPath(const char* xdg_config_home, const char* home);

// What a plain run (the login's autostart) does before it watches anything.
enum class Start { Watch, NotWayland, NotEnabled };
Start StartDecision(bool wayland_session, bool config_exists);

// The idle source, in order of preference. The Wayland protocols need a seat.
enum class Source { ExtIdleNotify, KdeIdle, MutterIdleMonitor, None };
struct Offered {
    bool seat = false;
    bool ext_idle_notifier = false;
    bool kde_idle = false;
    bool mutter_idle_monitor = false;
};
Source ChooseSource(const Offered& offered);
const char* SourceName(Source source);

// One saver at a time, one start per idle period: the period ends when the user is back.
// A saver that ends (or fails) while the session stays idle is not started again until then,
// so a saver that cannot run is never restarted in a loop.
enum class Step { None, StartSaver, AskInhibited };

class Watcher {
public:
    // ask_inhibited: the source does not honour idle inhibitors itself (Mutter's idle watch),
    // so each start waits for the session manager's answer.
    explicit Watcher(bool ask_inhibited) : ask_inhibited_(ask_inhibited) {}

    Step OnIdle();
    Step OnInhibited(bool inhibited);
    void OnResumed();
    void OnSaverStarted(bool started) { saver_running_ = started; }
    void OnSaverEnded() { saver_running_ = false; }

    bool Idle() const { return idle_; }
    bool SaverRunning() const { return saver_running_; }

private:
    bool ask_inhibited_;
    bool idle_ = false;
    bool asking_ = false;
    bool saver_running_ = false;
};

}  // namespace idle
