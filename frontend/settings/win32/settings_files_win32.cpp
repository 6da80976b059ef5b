// Orbilon.ini on Windows: wide-character file calls, replacement in one step, %APPDATA%.
#include <windows.h>

#include <memory>
#include <optional>

#include "settings.h"
#include "settings_files.h"

namespace orbilon {

using files::Join;
using files::ParentOf;

namespace {

struct HandleCloser {
    void operator()(HANDLE h) const {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};
using Handle = std::unique_ptr<void, HandleCloser>;

bool HasNul(const std::string& s) {
    return s.find('\0') != std::string::npos;
}

std::optional<std::wstring> Wide(const std::string& utf8) {
    if (utf8.empty() || HasNul(utf8) || utf8.size() > 32767) return std::nullopt;
    const int size = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, out.data(), n);
    return out;
}

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

// The program's paths use '/' as on every platform; the system takes it as well as '\'.
std::string Slashes(std::string path) {
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

size_t LastSeparator(const std::string& path) {
    return path.find_last_of("/\\");
}

Handle Open(const std::wstring& path, DWORD access, DWORD disposition, DWORD flags = 0) {
    return Handle(CreateFileW(path.c_str(), access,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              disposition, FILE_ATTRIBUTE_NORMAL | flags, nullptr));
}

bool Valid(const Handle& h) {
    return h.get() != INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE h, std::string_view data) {
    while (!data.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size(), 1 << 20));
        DWORD written = 0;
        if (!WriteFile(h, data.data(), chunk, &written, nullptr) || written == 0) return false;
        data.remove_prefix(written);
    }
    return true;
}

// A fresh file beside `target` that nobody else has opened.
Handle CreateTemp(const std::string& target, std::wstring& temp) {
    const std::string base = target.substr(LastSeparator(target) + 1);
    unsigned long long seed =
        GetTickCount64() ^ (static_cast<unsigned long long>(GetCurrentProcessId()) << 20);
    for (int attempt = 0; attempt < 100; ++attempt) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        const auto path = Wide(Join(
            ParentOf(target), "." + base + "." + std::to_string(seed % 1000000007ULL) + ".tmp"));
        if (!path) return Handle(INVALID_HANDLE_VALUE);
        Handle h(CreateFileW(path->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
        if (Valid(h) || GetLastError() != ERROR_FILE_EXISTS) {
            temp = *path;
            return h;
        }
    }
    return Handle(INVALID_HANDLE_VALUE);
}

}  // namespace

namespace files {

std::string ParentOf(const std::string& path) {
    const size_t slash = LastSeparator(path);
    if (slash == std::string::npos) return ".";
    return path.substr(0, slash);
}

std::string Join(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (path.empty() || (path.back() != '/' && path.back() != '\\')) path += '/';
    path.append(name);
    return path;
}

ReadResult ReadFileBytes(const std::string& path, std::string& out) {
    out.clear();
    const auto wide = Wide(path);
    if (!wide) return ReadResult::kFailed;
    const Handle h = Open(*wide, GENERIC_READ, OPEN_EXISTING);
    if (!Valid(h)) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadResult::kMissing
                                                                              : ReadResult::kFailed;
    }
    LARGE_INTEGER size{};
    if (GetFileType(h.get()) != FILE_TYPE_DISK || !GetFileSizeEx(h.get(), &size) ||
        size.QuadPart > kMaxFileBytes) {
        return ReadResult::kFailed;
    }
    char buffer[8192];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(h.get(), buffer, sizeof buffer, &n, nullptr)) return ReadResult::kFailed;
        if (n == 0) break;
        out.append(buffer, n);
        // The file may grow while we read it.
        if (out.size() > static_cast<size_t>(kMaxFileBytes)) return ReadResult::kFailed;
    }
    return ReadResult::kOk;
}

// Replacing a file by name keeps what the name stands for; there is no link to follow here.
std::string WriteTarget(const std::string& path) {
    return path;
}

bool MayReplace(const std::string& path) {
    const auto wide = Wide(path);
    if (!wide) return false;
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
    return Valid(Open(*wide, GENERIC_WRITE, OPEN_EXISTING));
}

void MakeFolders(const std::string& folder) {
    const auto wide = Wide(folder);
    if (!wide || GetFileAttributesW(wide->c_str()) != INVALID_FILE_ATTRIBUTES) return;
    const std::string parent = ParentOf(folder);
    if (parent != folder && parent != ".") MakeFolders(parent);
    CreateDirectoryW(wide->c_str(), nullptr);
}

bool ReplaceContents(const std::string& target, std::string_view data, bool keep) {
    const auto wideTarget = Wide(target);
    if (!wideTarget) return false;
    std::wstring temp;
    Handle h = CreateTemp(target, temp);
    if (!Valid(h)) return false;
    bool ok = WriteAll(h.get(), data) && FlushFileBuffers(h.get());
    h.reset();
    // ReplaceFileW keeps the old file's attributes and security; a new file needs a plain move.
    ok = ok && (keep ? ::ReplaceFileW(wideTarget->c_str(), temp.c_str(), nullptr,
                                      REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                     : MoveFileExW(temp.c_str(), wideTarget->c_str(), MOVEFILE_WRITE_THROUGH));
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

std::string HomeFolder(const char* home) {
    if (home && *home) return home;
    const wchar_t* profile = _wgetenv(L"USERPROFILE");
    return profile ? Slashes(Utf8(profile)) : std::string();
}

}  // namespace files

// On Windows the per-user place is %APPDATA%\Orbilon; `appdata` stands where XDG_CONFIG_HOME
// does elsewhere. The program folder counts as writable when a file can be created in it.
std::string SettingsPathFor(const std::string& program_folder, const char* appdata, const char*) {
    const std::string beside = Join(program_folder, "Orbilon.ini");
    const auto wideBeside = Wide(beside);
    if (!wideBeside || GetFileAttributesW(wideBeside->c_str()) != INVALID_FILE_ATTRIBUTES) {
        return beside;
    }
    std::wstring probe;
    if (Valid(CreateTemp(beside, probe))) {
        DeleteFileW(probe.c_str());
        return beside;
    }
    if (!appdata || !*appdata) return beside;
    return Join(Join(Slashes(appdata), "Orbilon"), "Orbilon.ini");
}

}  // namespace orbilon

std::string ProgramFolder() {
    std::wstring exe(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
        if (n == 0) return ".";
        if (n < exe.size()) {
            exe.resize(n);
            break;
        }
        exe.resize(exe.size() * 2);
    }
    return orbilon::ParentOf(orbilon::Slashes(orbilon::Utf8(exe)));
}

std::string SettingsPath() {
    const wchar_t* appdata = _wgetenv(L"APPDATA");
    const std::string folder = appdata ? orbilon::Utf8(appdata) : std::string();
    return orbilon::SettingsPathFor(ProgramFolder(), folder.c_str(), nullptr);
}

bool FileExists(const std::string& path) {
    std::string copy = path;
    if (!copy.empty() && (copy.back() == '/' || copy.back() == '\\')) copy.pop_back();
    const auto wide = orbilon::Wide(copy);
    if (!wide) return false;
    // Without backup semantics a folder does not open.
    return orbilon::Valid(orbilon::Open(*wide, GENERIC_READ, OPEN_EXISTING));
}
