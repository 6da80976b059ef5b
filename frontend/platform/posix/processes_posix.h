// Processes, locks and the process's own resources on POSIX, for the whole front end.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace platform {

// The process's argument text. SetCommandLine is called once from main(); CommandLine() is the
// text after the program's own name, the arguments joined by single blanks.
void SetCommandLine(int argc, char** argv);
const std::string& CommandLine();

// Process start by path, no arguments, no shell, with the given environment ("NAME=value"
// entries). The child gets SIGTERM when this process dies, however it dies (SIGKILL, an
// abort): a renderer covering the screen must not outlive the front end that watches it.
// Returns the pid or -1.
pid_t StartProcess(const std::string& path, const std::vector<std::string>& environment);

// This process's environment, as StartProcess takes it.
std::vector<std::string> Environment();

// Whether a child started by StartProcess has ended (reaps it; its wait status goes to
// *status). A pid <= 0 counts as ended.
bool ProcessEnded(pid_t pid, int* status = nullptr);

// Sends sig to a child that has not been reaped yet.
void SignalProcess(pid_t pid, int sig);

// Waits up to ms for a child to end, then kills it (SIGKILL) and reaps it.
void AwaitProcess(pid_t pid, int ms);

// Before anything else opens a file: standard streams a starter closed (xautolock closes
// stdout and stderr) are reopened on /dev/null, so no later file takes their place.
void ReopenClosedStreams();

// $XDG_RUNTIME_DIR, put back as /run/user/UID when a service dropped it and that folder is
// the user's, so the music still reaches the session's sound server.
void RestoreRuntimeDir();

// $XDG_RUNTIME_DIR when it names a folder, else empty.
std::string RuntimeDir();

// An exclusive flock on the file at path, held until the process ends (and not passed to
// children). Failed: the file cannot be made or locked.
enum class LockResult { Taken, Busy, Failed };
LockResult TakeLock(const std::string& path);

// The first of the paths whose lock could be made decides: Taken or Busy; Failed when none.
LockResult TakeFirstLock(const std::vector<std::string>& paths);

// File descriptors this process may still open under its limit.
long FreeDescriptors();

}  // namespace platform
