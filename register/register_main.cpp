// orbilon-register: adds Orbilon to the user's XScreenSaver list (~/.xscreensaver), or takes it
// out again with --remove. The file is replaced atomically and only when something changes.
#include <fcntl.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "unique_fd.h"
#include "xscreensaver_list.h"

#ifndef ORBILON_HACK_DIR
#define ORBILON_HACK_DIR "/usr/libexec/xscreensaver"
#endif

namespace {

namespace xss = orbilon::xscreensaver;
using orbilon::UniqueFd;

constexpr const char* kUsage =
    "usage: orbilon-register [--remove] [--file PATH]\n"
    "Adds Orbilon to your XScreenSaver list (~/.xscreensaver), or takes it out with --remove.\n";

int Fail(const std::string& path, const std::string& why) {
    std::fprintf(stderr, "orbilon-register: %s: %s\n", path.c_str(), why.c_str());
    return 1;
}

std::string DefaultPath() {
    const char* home = getenv("HOME");
    if (!home || !*home) {
        const passwd* pw = getpwuid(getuid());
        home = pw ? pw->pw_dir : nullptr;
    }
    return std::string(home ? home : ".") + "/.xscreensaver";
}

// The hacks folder is on XScreenSaver's own search path, so the plain name finds the hack there.
std::string HackCommand() {
    const std::string dir = ORBILON_HACK_DIR;
    return (dir == "/usr/libexec/xscreensaver" ? std::string("orbilon") : dir + "/orbilon") +
           " --root";
}

bool ReadAll(int fd, std::string& out) {
    char buf[65536];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        out.append(buf, static_cast<size_t>(n));
        if (out.size() > xss::kMaxFileBytes) return true;  // the parser refuses it
    }
}

bool WriteAll(int fd, const std::string& text) {
    for (size_t at = 0; at < text.size();) {
        const ssize_t n = write(fd, text.data() + at, text.size() - at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += static_cast<size_t>(n);
    }
    return true;
}

// Writes `text` to a new file beside `target` and renames it over `target`, so a reader sees the
// old file or the new one, never a part. `before` is the target as it was read (nullptr: it
// did not exist); a target that changed since is left alone.
int Replace(const std::string& target, const std::string& text, const struct stat* before) {
    std::string temp = target + ".XXXXXX";
    UniqueFd fd(mkstemp(temp.data()));
    if (fd.get() < 0)
        return Fail(target, std::string("cannot write beside it: ") + strerror(errno));
    const mode_t mask = umask(0);
    umask(mask);
    const mode_t mode = before ? (before->st_mode & 07777) : (0666 & ~mask);
    bool ok = fchmod(fd.get(), mode) == 0;
    if (ok && before && geteuid() == 0) ok = fchown(fd.get(), before->st_uid, before->st_gid) == 0;
    ok = ok && WriteAll(fd.get(), text) && fsync(fd.get()) == 0;
    const int saved = errno;
    ok = close(fd.release()) == 0 && ok;
    if (ok) {
        struct stat now;
        const bool exists = stat(target.c_str(), &now) == 0;
        const bool same = before ? exists && now.st_ino == before->st_ino &&
                                       now.st_size == before->st_size &&
                                       now.st_mtim.tv_sec == before->st_mtim.tv_sec &&
                                       now.st_mtim.tv_nsec == before->st_mtim.tv_nsec
                                 : !exists;
        if (!same) {
            unlink(temp.c_str());
            return Fail(target, "it changed while being edited; left as it is, run again");
        }
        if (rename(temp.c_str(), target.c_str()) == 0) return 0;
    }
    const std::string why = strerror(ok ? errno : saved);
    unlink(temp.c_str());
    return Fail(target, "cannot write it: " + why + "; left as it was");
}

const char* Describe(xss::Outcome o) {
    switch (o) {
        case xss::Outcome::Added:
            return "Orbilon added to the XScreenSaver list";
        case xss::Outcome::Enabled:
            return "Orbilon was disabled in the XScreenSaver list and is enabled now";
        case xss::Outcome::AlreadyListed:
            return "Orbilon is already in the XScreenSaver list; nothing changed";
        case xss::Outcome::Removed:
            return "Orbilon taken out of the XScreenSaver list";
        case xss::Outcome::NotListed:
            return "Orbilon is not in the XScreenSaver list; nothing changed";
    }
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    bool remove = false;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--remove") {
            remove = true;
        } else if (arg == "--file" && i + 1 < argc) {
            path = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (path.empty()) path = DefaultPath();

    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) return Fail(path, strerror(errno));
        struct stat link;
        if (lstat(path.c_str(), &link) == 0) return Fail(path, "a link to nothing; left as it is");
        if (remove) {
            std::printf("%s: %s\n", path.c_str(), Describe(xss::Outcome::NotListed));
            return 0;
        }
        if (const int rc = Replace(path, xss::NewFile(HackCommand()), nullptr)) return rc;
        std::printf("%s: created; %s\n", path.c_str(), Describe(xss::Outcome::Added));
        return 0;
    }
    if (!S_ISREG(st.st_mode)) return Fail(path, "not a regular file; left as it is");

    // A link (a managed dotfile) keeps pointing at its file: the file behind it is replaced.
    char* real = realpath(path.c_str(), nullptr);
    if (!real) return Fail(path, strerror(errno));
    const std::string target = real;
    free(real);

    std::string text;
    {
        UniqueFd fd(open(target.c_str(), O_RDONLY | O_CLOEXEC));
        if (fd.get() < 0) return Fail(path, std::string("cannot read it: ") + strerror(errno));
        if (fstat(fd.get(), &st) != 0 || !ReadAll(fd.get(), text)) {
            return Fail(path, std::string("cannot read it: ") + strerror(errno));
        }
    }

    std::string error;
    const auto edit =
        remove ? xss::Unregister(text, &error) : xss::Register(text, HackCommand(), &error);
    if (!edit) return Fail(path, "cannot understand it (" + error + "); left as it is");
    if (edit->text != text) {
        if (const int rc = Replace(target, edit->text, &st)) return rc;
    }
    std::printf("%s: %s\n", path.c_str(), Describe(edit->outcome));
    return 0;
}
