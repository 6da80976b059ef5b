// orbilon-idle: started at login, starts `Orbilon.scr /s` after some idle minutes in a
// Wayland session, once the user has turned it on with --enable.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "idle_core.h"
#include "idle_mutter.h"
#include "idle_posix.h"
#include "idle_wayland.h"
#include "settings.h"
#include "settings_files.h"

namespace {

constexpr const char* kUsage =
    "usage: orbilon-idle [--minutes N | --seconds N]\n"
    "       orbilon-idle --enable [--minutes N | --seconds N]\n"
    "       orbilon-idle --disable\n"
    "Starts the Orbilon screen saver after N idle minutes (10 unless set) in a Wayland session.\n"
    "--enable turns it on for your next logins, --disable turns it off; a plain run (the\n"
    "login's) does nothing until it is on.\n";

std::string Duration(int seconds) {
    if (seconds % 60 == 0) {
        return std::to_string(seconds / 60) + (seconds == 60 ? " minute" : " minutes");
    }
    return std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
}

int Watch(const idle::Options& options, const std::string& config_path) {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const idle::Start start = idle::StartDecision(wayland && *wayland, FileExists(config_path));
    if (start != idle::Start::Watch) return 0;

    std::string text;
    if (orbilon::files::ReadFileBytes(config_path, text) != orbilon::files::ReadResult::kOk) {
        std::fprintf(stderr, "orbilon-idle: %s: cannot be read\n", config_path.c_str());
        return 1;
    }
    const idle::Config config = idle::ParseConfig(text);
    if (!config.error.empty()) {
        std::fprintf(stderr, "orbilon-idle: %s: %s\n", config_path.c_str(), config.error.c_str());
        return 1;
    }
    const std::string saver_path = idle::FindSaver(ProgramFolder());
    if (saver_path.empty()) {
        std::fprintf(stderr, "orbilon-idle: Orbilon.scr is neither beside %s nor installed\n",
                     ProgramFolder().c_str());
        return 1;
    }
    const int seconds = options.seconds.value_or(config.seconds);
    idle::Saver saver(saver_path);
    idle::Signals signals;
    if (signals.fd() < 0) {
        std::perror("orbilon-idle: signalfd");
        return 1;
    }
    if (auto status = idle::RunWaylandWatch({seconds, config_path, &saver, &signals})) {
        return *status;
    }
    if (auto status = idle::RunMutterWatch({seconds, config_path, &saver, &signals})) {
        return *status;
    }
    std::fprintf(stderr,
                 "orbilon-idle: the session offers no idle notification (ext_idle_notifier_v1, "
                 "org_kde_kwin_idle or GNOME's IdleMonitor)\n");
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const idle::Options options = idle::ParseArguments({argv + 1, argv + argc});
    if (!options.error.empty()) {
        std::fprintf(stderr, "orbilon-idle: %s\n%s", options.error.c_str(), kUsage);
        return 2;
    }
    if (options.action == idle::Action::Help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const std::string config_path =
        idle::ConfigPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    if (config_path.empty()) {
        std::fprintf(stderr, "orbilon-idle: neither XDG_CONFIG_HOME nor HOME names a folder\n");
        return 1;
    }
    std::string error;
    switch (options.action) {
        case idle::Action::Enable: {
            const int seconds = options.seconds.value_or(idle::kDefaultSeconds);
            orbilon::files::MakeFolders(orbilon::files::ParentOf(config_path));
            if (!orbilon::files::ReplaceContents(config_path, idle::FormatConfig(seconds), false)) {
                std::fprintf(stderr, "orbilon-idle: %s: %s\n", config_path.c_str(),
                             std::strerror(errno));
                return 1;
            }
            std::printf(
                "orbilon-idle: on: Orbilon starts after %s idle, from your next login to a "
                "Wayland session\n",
                Duration(seconds).c_str());
            return 0;
        }
        case idle::Action::Disable:
            if (!idle::RemoveFile(config_path, &error)) {
                std::fprintf(stderr, "orbilon-idle: %s: %s\n", config_path.c_str(), error.c_str());
                return 1;
            }
            std::printf("orbilon-idle: off\n");
            return 0;
        default:
            return Watch(options, config_path);
    }
}
