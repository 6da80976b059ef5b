#include "idle_posix.h"

#include <signal.h>
#include <spawn.h>
#include <sys/signalfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "settings.h"

extern char** environ;

#ifndef ORBILON_SAVER_FROM_BIN
#define ORBILON_SAVER_FROM_BIN "../libexec/orbilon/Orbilon.scr"
#endif

namespace idle {

namespace {

std::string Why() {
    return std::strerror(errno);
}

sigset_t WatchedSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : {SIGTERM, SIGINT, SIGHUP, SIGCHLD}) sigaddset(&set, s);
    return set;
}

}  // namespace

bool RemoveFile(const std::string& path, std::string* error) {
    if (unlink(path.c_str()) == 0 || errno == ENOENT) return true;
    *error = Why();
    return false;
}

std::string FindSaver(const std::string& from_program_dir) {
    for (const std::string& p :
         {from_program_dir + "/Orbilon.scr", from_program_dir + "/" + ORBILON_SAVER_FROM_BIN}) {
        if (access(p.c_str(), X_OK) == 0) return p;
    }
    return {};
}

Signals::Signals() {
    const sigset_t set = WatchedSignals();
    sigprocmask(SIG_BLOCK, &set, &old_);
    fd_ = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
}

Signals::~Signals() {
    if (fd_ >= 0) close(fd_);
    sigprocmask(SIG_SETMASK, &old_, nullptr);
}

bool Signals::ReadEnd() {
    bool end = false;
    signalfd_siginfo info;
    while (read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        if (info.ssi_signo != SIGCHLD) end = true;
    }
    return end;
}

bool Saver::Start() {
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK);
    std::string arg = "/s";
    char* argv[] = {path_.data(), arg.data(), nullptr};
    const int rc = posix_spawn(&pid_, path_.c_str(), nullptr, &attr, argv, environ);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
        std::fprintf(stderr, "orbilon-idle: cannot start %s: %s\n", path_.c_str(),
                     std::strerror(rc));
        pid_ = -1;
        return false;
    }
    return true;
}

bool Saver::Ended() {
    if (pid_ <= 0) return true;
    int status;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == 0) return false;
    pid_ = -1;
    return true;
}

bool Perform(Step step, Watcher& watcher, Saver& saver, const std::string& config_path) {
    if (step != Step::StartSaver) return true;
    if (!::FileExists(config_path)) return false;
    watcher.OnSaverStarted(saver.Start());
    return true;
}

bool HandleSignals(Signals& signals, Watcher& watcher, Saver& saver) {
    const bool end = signals.ReadEnd();
    if (watcher.SaverRunning() && saver.Ended()) watcher.OnSaverEnded();
    return !end;
}

}  // namespace idle
