#include "settings.h"

#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cmath>
#include <optional>
#include <string_view>

#include "cp932.h"
#include "number.h"
#include "profile.h"

#ifndef ORBILON_HACK_DIR
#define ORBILON_HACK_DIR "/usr/libexec/xscreensaver"
#endif

int16_t BGMKind = 0;
int16_t RepeatTrack = 0;
std::string BGMFile;
int32_t LastApiResult = 0;

namespace orbilon {
namespace {

// Far beyond any real settings file; a bigger one is not ours to parse or rewrite.
constexpr off_t kMaxFileBytes = 16 << 20;

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now so a delayed write error is seen.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool HasNul(const std::string& s) {
    return s.find('\0') != std::string::npos;
}

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

enum class ReadResult { kOk, kMissing, kFailed };

// Reads a regular file whole. O_NONBLOCK keeps a FIFO in its place from hanging the open.
ReadResult ReadFileBytes(const std::string& path, std::string& out) {
    out.clear();
    if (path.empty() || HasNul(path)) return ReadResult::kFailed;
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
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

// Writes `data` to a temporary file beside `target` and renames it over `target`, so the old
// file stays whole until the new one is complete on disk.
bool ReplaceFile(const std::string& target, std::string_view data, const struct stat* old) {
    std::string temp;
    Fd fd(CreateTemp(target, temp));
    if (fd.get() < 0) return false;
    bool ok = WriteAll(fd.get(), data);
    if (ok && old) {
        // Keep the old file's owner where we may (only root can give it away), then its
        // permissions, which a change of owner could have cut.
        if (fchown(fd.get(), old->st_uid, old->st_gid) != 0) {
            // A plain user's new file stays the user's own.
        }
        ok = fchmod(fd.get(), old->st_mode & 07777) == 0;
    }
    ok = ok && fsync(fd.get()) == 0;
    ok = fd.Close() && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    Fd dir(::open(ParentOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) fsync(dir.get());
    return true;
}

// Creates the missing folders of `folder` (0700, as for a user's own configuration).
void MakeFolders(const std::string& folder) {
    struct stat st;
    if (folder.empty() || stat(folder.c_str(), &st) == 0) return;
    MakeFolders(ParentOf(folder));
    ::mkdir(folder.c_str(), 0700);
}

bool IsAbsolute(const char* path) {
    return path && path[0] == '/';
}

std::string HomeFolder(const char* home) {
    if (IsAbsolute(home)) return home;
    const passwd* pw = getpwuid(getuid());
    if (pw && IsAbsolute(pw->pw_dir)) return pw->pw_dir;
    return {};
}

// Applies one number setting: empty gives 0; a non-number or a whole part outside signed
// 16 bits keeps the previous value.
void LoadNumber(const std::string& text, int16_t& setting) {
    if (text.empty()) {
        setting = 0;
        return;
    }
    const std::optional<double> value = ParseNumber(text);
    if (!value) return;
    const double whole = std::floor(*value);
    if (!(whole >= -32768.0 && whole <= 32767.0)) return;
    setting = static_cast<int16_t>(whole);
}

}  // namespace

std::string ChooseSettingsPath(const std::string& program_folder, bool folder_has_file,
                               bool folder_writable, const char* xdg_config_home,
                               const char* home) {
    const std::string beside = Join(program_folder, "Orbilon.ini");
    if (folder_has_file || folder_writable) return beside;
    std::string config;
    if (IsAbsolute(xdg_config_home)) {
        config = xdg_config_home;
    } else {
        const std::string h = HomeFolder(home);
        if (h.empty()) return beside;
        config = Join(h, ".config");
    }
    return Join(Join(config, "orbilon"), "Orbilon.ini");
}

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

std::string ReadIniAt(const std::string& path, const std::string& section, const std::string& key,
                      const std::string& def) {
    std::string text;
    if (ReadFileBytes(path, text) != ReadResult::kOk) return def;
    const auto section_bytes = cp932::FromUtf8(section);
    const auto key_bytes = cp932::FromUtf8(key);
    if (!section_bytes || !key_bytes) return def;
    const auto value = profile::GetValue(text, *section_bytes, *key_bytes);
    if (!value) return def;
    auto utf8 = cp932::ToUtf8(*value);
    return utf8 ? *utf8 : def;
}

bool WriteIniAt(const std::string& path, const std::string& section, const std::string& key,
                const std::string& value) {
    auto write = [&]() -> bool {
        if (path.empty() || HasNul(path)) return false;
        const auto section_bytes = cp932::FromUtf8(section);
        const auto key_bytes = cp932::FromUtf8(key);
        const auto value_bytes = cp932::FromUtf8(value);
        if (!section_bytes || !key_bytes || !value_bytes) return false;

        // Write through a symbolic link to its target rather than replacing the link.
        std::string target = path;
        struct stat st;
        if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
            char* resolved = realpath(path.c_str(), nullptr);
            if (!resolved) return false;
            target = resolved;
            free(resolved);
        }

        std::string text;
        const ReadResult read = ReadFileBytes(target, text);
        if (read == ReadResult::kFailed) return false;
        const bool exists = read == ReadResult::kOk;
        if (exists) {
            if (stat(target.c_str(), &st) != 0) return false;
            // A file without write permission bits is read-only even to root, as the
            // read-only attribute is on the platform this format comes from.
            if ((st.st_mode & 0222) == 0) return false;
            if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return false;
        }
        const auto updated = profile::SetValue(text, *section_bytes, *key_bytes, *value_bytes);
        if (!updated) return false;
        if (exists && *updated == text) return true;
        // Only the per-user location can be missing; the program folder always exists.
        if (!exists) MakeFolders(ParentOf(target));
        return ReplaceFile(target, *updated, exists ? &st : nullptr);
    };
    const bool ok = write();
    LastApiResult = ok ? 1 : 0;
    return ok;
}

void LoadSettingsFrom(const std::string& path) {
    LoadNumber(ReadIniAt(path, kSection, kKeyKind, ""), BGMKind);
    LoadNumber(ReadIniAt(path, kSection, kKeyRepeat, ""), RepeatTrack);
    const std::string file = ReadIniAt(path, kSection, kKeyFile, "");
    BGMFile = file;
    if (file.empty() || !FileExists(file)) {
        BGMFile.clear();
        if (BGMKind == 2) BGMKind = 0;
    }
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

std::string ReadIni(const std::string& key, const std::string& def) {
    return orbilon::ReadIniAt(SettingsPath(), orbilon::kSection, key, def);
}

bool WriteIni(const std::string& key, const std::string& value) {
    return orbilon::WriteIniAt(SettingsPath(), orbilon::kSection, key, value);
}

void LoadSettings() {
    orbilon::LoadSettingsFrom(SettingsPath());
}

bool FileExists(const std::string& path) {
    std::string copy = path;
    if (!copy.empty() && copy.back() == '/') copy.pop_back();
    // A NUL would make the check look at a shorter path than the caller's.
    if (copy.empty() || orbilon::HasNul(copy)) return false;
    orbilon::Fd fd(::open(copy.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) return false;
    struct stat st;
    return fstat(fd.get(), &st) == 0 && !S_ISDIR(st.st_mode);
}
