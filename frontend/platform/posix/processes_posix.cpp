#include "processes_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>

extern char** environ;

namespace platform {

namespace {
std::string gCommandLine;
}  // namespace

void SetCommandLine(int argc, char** argv) {
    gCommandLine.clear();
    for (int i = 1; i < argc; ++i) {
        if (i > 1) gCommandLine += ' ';
        gCommandLine += argv[i];
    }
}

const std::string& CommandLine() {
    return gCommandLine;
}

pid_t StartProcess(const std::string& path, const std::vector<std::string>& environment) {
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    std::vector<char*> env;
    for (const std::string& e : environment) env.push_back(const_cast<char*>(e.c_str()));
    env.push_back(nullptr);
    // posix_spawn cannot ask for a parent-death signal. Between fork and exec the child
    // makes only async-signal-safe calls.
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0) return pid < 0 ? -1 : pid;
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    // The signal comes when the forking thread ends: this is the main thread, which lives
    // as long as the process. A parent already gone before the request leaves no one to
    // send it.
    if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent) _exit(127);
    execve(path.c_str(), argv, env.data());
    _exit(127);
}

std::vector<std::string> Environment() {
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e) env.emplace_back(*e);
    return env;
}

bool ProcessEnded(pid_t pid, int* status) {
    if (pid <= 0) return true;
    int st = 0;
    const pid_t r = waitpid(pid, &st, WNOHANG);
    if (r == pid && status) *status = st;
    return r == pid || (r < 0 && errno == ECHILD);
}

void SignalProcess(pid_t pid, int sig) {
    // A reaped pid may belong to another process by now; only signal a child still ours.
    if (pid <= 0) return;
    siginfo_t info{};
    if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
        info.si_pid == 0)
        kill(pid, sig);
}

void AwaitProcess(pid_t pid, int ms) {
    if (pid <= 0) return;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        const pid_t r = waitpid(pid, nullptr, WNOHANG);
        if (r == pid || r < 0) return;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

void ReopenClosedStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        const int null = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd) {
            dup2(null, fd);
            close(null);
        }
    }
}

void RestoreRuntimeDir() {
    const char* now = std::getenv("XDG_RUNTIME_DIR");
    if (now && *now) return;
    const std::string dir = "/run/user/" + std::to_string(getuid());
    struct stat st {};
    if (stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid())
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
}

std::string RuntimeDir() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    if (!dir || *dir == '\0' || stat(dir, &st) != 0 || !S_ISDIR(st.st_mode)) return {};
    return dir;
}

LockResult TakeLock(const std::string& path) {
    // Kept open for the process's life: the lock goes when the process does, however.
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return LockResult::Failed;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return LockResult::Taken;
    const int error = errno;
    close(fd);
    return error == EWOULDBLOCK ? LockResult::Busy : LockResult::Failed;
}

LockResult TakeFirstLock(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        const LockResult r = TakeLock(path);
        if (r != LockResult::Failed) return r;
    }
    return LockResult::Failed;
}

long FreeDescriptors() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 1L << 20;
    long open = 0;
    // opendir itself needs a descriptor: with none left, none are free.
    DIR* fds = opendir("/proc/self/fd");
    if (!fds) return 0;
    while (const dirent* e = readdir(fds))
        if (e->d_name[0] != '.') ++open;
    closedir(fds);
    return static_cast<long>(limit.rlim_cur) - (open - 1);
}

}  // namespace platform
