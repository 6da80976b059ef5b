// Orbilon.ini on POSIX: file descriptors, atomic rename, the XDG configuration folder.
#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "settings.h"
#include "settings_files.h"
#include "unique_fd.h"

namespace orbilon {

using files::Join;
using files::ParentOf;

namespace {

bool HasNul(const std::string& s) {
    return s.find('\0') != std::string::npos;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// A fresh file beside `target`, created with the process umask like any new file.
int CreateTemp(const std::string& target, std::string& temp_path) {
    const std::string folder = ParentOf(target);
    const std::string base = target.substr(target.rfind('/') + 1);
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    unsigned long seed =
        static_cast<unsigned long>(now.tv_nsec) ^ (static_cast<unsigned long>(getpid()) << 16);
    for (int attempt = 0; attempt < 100; ++attempt) {
        seed = seed * 6364136223846793005UL + 1442695040888963407UL;
        temp_path = Join(folder, "." + base + "." + std::to_string(seed % 1000000007UL) + ".tmp");
        const int fd = ::open(temp_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool IsAbsolute(const char* path) {
    return path && path[0] == '/';
}

}  // namespace

namespace files {

std::string Join(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (path.empty() || path.back() != '/') path += '/';
    path.append(name);
    return path;
}

std::string ParentOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// O_NONBLOCK keeps a FIFO in its place from hanging the open.
ReadResult ReadFileBytes(const std::string& path, std::string& out) {
    out.clear();
    if (path.empty() || HasNul(path)) return ReadResult::kFailed;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) return errno == ENOENT ? ReadResult::kMissing : ReadResult::kFailed;
    struct stat st;
    if (fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxFileBytes) {
        return ReadResult::kFailed;
    }
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return ReadResult::kFailed;
        if (n == 0) break;
        out.append(buffer, static_cast<size_t>(n));
        // The file may grow while we read it.
        if (out.size() > static_cast<size_t>(kMaxFileBytes)) return ReadResult::kFailed;
    }
    return ReadResult::kOk;
}

// Writing through a symbolic link changes its target rather than replacing the link.
std::string WriteTarget(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved) return {};
    std::string target = resolved;
    free(resolved);
    return target;
}

bool MayReplace(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return false;
    // A file without write permission bits is read-only even to root, as the read-only
    // attribute is on the platform this format comes from.
    if ((st.st_mode & 0222) == 0) return false;
    return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// 0700, as for a user's own configuration.
void MakeFolders(const std::string& folder) {
    struct stat st;
    if (folder.empty() || stat(folder.c_str(), &st) == 0) return;
    MakeFolders(ParentOf(folder));
    ::mkdir(folder.c_str(), 0700);
}

bool ReplaceContents(const std::string& target, std::string_view data, bool keep) {
    struct stat old;
    if (keep && stat(target.c_str(), &old) != 0) return false;
    std::string temp;
    UniqueFd fd(CreateTemp(target, temp));
    if (fd.get() < 0) return false;
    bool ok = WriteAll(fd.get(), data);
    if (ok && keep) {
        // Keep the old file's owner where we may (only root can give it away), then its
        // permissions, which a change of owner could have cut.
        if (fchown(fd.get(), old.st_uid, old.st_gid) != 0) {
            // A plain user's new file stays the user's own.
        }
        ok = fchmod(fd.get(), old.st_mode & 07777) == 0;
    }
    ok = ok && fsync(fd.get()) == 0;
    ok = fd.Close() && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    UniqueFd dir(::open(ParentOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) fsync(dir.get());
    return true;
}

std::string HomeFolder(const char* home) {
    if (IsAbsolute(home)) return home;
    const passwd* pw = getpwuid(getuid());
    if (pw && IsAbsolute(pw->pw_dir)) return pw->pw_dir;
    return {};
}

}  // namespace files

bool IsInstalledCopy(const std::string& program_folder, const std::string& hack_link) {
    char* target = realpath(hack_link.c_str(), nullptr);
    char* front = realpath(Join(program_folder, "Orbilon.scr").c_str(), nullptr);
    const bool same = target && front && std::string_view(target) == front;
    free(target);
    free(front);
    return same;
}

std::string SettingsPathFor(const std::string& program_folder, const char* xdg_config_home,
                            const char* home) {
    // The copy XScreenSaver's hack link leads to is installed: its folder is the system's even
    // where this user (root) may write it.
    if (IsInstalledCopy(program_folder, ORBILON_HACK_DIR "/orbilon")) {
        return ChooseSettingsPath(program_folder, false, false, xdg_config_home, home);
    }
    struct stat st;
    const bool has_file = lstat(Join(program_folder, "Orbilon.ini").c_str(), &st) == 0;
    const bool writable = faccessat(AT_FDCWD, program_folder.c_str(), W_OK, AT_EACCESS) == 0;
    return ChooseSettingsPath(program_folder, has_file, writable, xdg_config_home, home);
}

}  // namespace orbilon

std::string ProgramFolder() {
    std::string exe(256, '\0');
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", exe.data(), exe.size());
        if (n < 0) {
            char* cwd = getcwd(nullptr, 0);
            std::string folder = cwd ? cwd : ".";
            free(cwd);
            return folder;
        }
        if (static_cast<size_t>(n) < exe.size()) {
            exe.resize(static_cast<size_t>(n));
            break;
        }
        exe.resize(exe.size() * 2);
    }
    // A program replaced while it runs (a rebuild) reads as "path (deleted)".
    constexpr std::string_view kDeleted = " (deleted)";
    struct stat st;
    if (exe.ends_with(kDeleted) && stat(exe.c_str(), &st) != 0) {
        exe.resize(exe.size() - kDeleted.size());
    }
    return orbilon::ParentOf(exe);
}

std::string SettingsPath() {
    return orbilon::SettingsPathFor(ProgramFolder(), getenv("XDG_CONFIG_HOME"), getenv("HOME"));
}

bool FileExists(const std::string& path) {
    std::string copy = path;
    if (!copy.empty() && copy.back() == '/') copy.pop_back();
    // A NUL would make the check look at a shorter path than the caller's.
    if (copy.empty() || orbilon::HasNul(copy)) return false;
    orbilon::UniqueFd fd(::open(copy.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) return false;
    struct stat st;
    return fstat(fd.get(), &st) == 0 && !S_ISDIR(st.st_mode);
}
