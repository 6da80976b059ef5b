// orbilon-idle's POSIX services: its per-user file, the saver's process, and the signals both
// watch loops wait on.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <string>
#include <utility>

#include "idle_core.h"

namespace idle {

// A file that is not there counts as removed.
bool RemoveFile(const std::string& path, std::string* error);

// Orbilon.scr beside this program (a build), else where an install puts it relative to this
// program's folder. Empty when neither exists.
std::string FindSaver(const std::string& from_program_dir);

// SIGTERM, SIGINT, SIGHUP and SIGCHLD, blocked and read through one descriptor that a loop
// polls; the old mask comes back when this ends.
class Signals {
public:
    Signals();
    ~Signals();
    Signals(const Signals&) = delete;
    Signals& operator=(const Signals&) = delete;
    int fd() const { return fd_; }
    // Drains what is pending: true when asked to end.
    bool ReadEnd();

private:
    int fd_ = -1;
    sigset_t old_{};
};

// The one saver this watcher runs: `Orbilon.scr /s`, with signals unblocked and the session's
// environment.
class Saver {
public:
    explicit Saver(std::string path) : path_(std::move(path)) {}
    bool Start();
    // After SIGCHLD: true when the saver has ended (and is reaped).
    bool Ended();

private:
    std::string path_;
    pid_t pid_ = -1;
};

// What a watch loop works with, whichever source it listens to.
struct Watch {
    int seconds = kDefaultSeconds;
    std::string config_path;
    Saver* saver = nullptr;
    Signals* signals = nullptr;
};

// What both loops do: the core's step, and the file's existence checked again before a start,
// so `--disable` stops a running watcher at its next idle period. False: end the watch.
bool Perform(Step step, Watcher& watcher, Saver& saver, const std::string& config_path);
// After signals were pending: false when asked to end.
bool HandleSignals(Signals& signals, Watcher& watcher, Saver& saver);

}  // namespace idle
