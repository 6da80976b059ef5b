#include "idle_posix.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "unique_fd.h"

extern char** environ;

#ifndef ORBILON_SAVER_FROM_BIN
#define ORBILON_SAVER_FROM_BIN "../libexec/orbilon/Orbilon.scr"
#endif

namespace idle {

namespace {

using orbilon::UniqueFd;

std::string Why() {
    return std::strerror(errno);
}

sigset_t WatchedSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : {SIGTERM, SIGINT, SIGHUP, SIGCHLD}) sigaddset(&set, s);
    return set;
}

bool MakeFolders(const std::string& path) {
    for (size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1)) {
        if (mkdir(path.substr(0, at).c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

}  // namespace

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool ReadFile(const std::string& path, std::string* text, std::string* error) {
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        *error = Why();
        return false;
    }
    char buf[4096];
    for (;;) {
        const ssize_t n = read(fd.get(), buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *error = Why();
            return false;
        }
        if (n == 0) return true;
        text->append(buf, static_cast<size_t>(n));
        if (text->size() > 65536) {
            *error = "too large";
            return false;
        }
    }
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error) {
    const std::string tmp = path + ".new";
    if (!MakeFolders(path)) {
        *error = Why();
        return false;
    }
    {
        UniqueFd fd(open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (fd.get() < 0) {
            *error = Why();
            return false;
        }
        size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = write(fd.get(), text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                *error = Why();
                unlink(tmp.c_str());
                return false;
            }
            done += static_cast<size_t>(n);
        }
        if (fsync(fd.get()) != 0) {
            *error = Why();
            unlink(tmp.c_str());
            return false;
        }
    }
    if (rename(tmp.c_str(), path.c_str()) != 0) {
        *error = Why();
        unlink(tmp.c_str());
        return false;
    }
    return true;
}

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
    if (!FileExists(config_path)) return false;
    watcher.OnSaverStarted(saver.Start());
    return true;
}

bool HandleSignals(Signals& signals, Watcher& watcher, Saver& saver) {
    const bool end = signals.ReadEnd();
    if (watcher.SaverRunning() && saver.Ended()) watcher.OnSaverEnded();
    return !end;
}

}  // namespace idle
