// The file operations behind Orbilon.ini, one implementation per platform (posix/, win32/).
// Paths are UTF-8; '/' separates folders on every platform.
#pragma once

#include <string>
#include <string_view>

namespace orbilon::files {

// Far beyond any real settings file; a bigger one is not ours to parse or rewrite.
inline constexpr long long kMaxFileBytes = 16 << 20;

// `folder` + separator + `name`, and the folder holding `path` ("." for a bare name), with
// the platform's separators.
std::string Join(const std::string& folder, std::string_view name);
std::string ParentOf(const std::string& path);

enum class ReadResult { kOk, kMissing, kFailed };

// Reads a regular file whole; never blocks on a special file.
ReadResult ReadFileBytes(const std::string& path, std::string& out);

// The file a write to `path` changes: the target of a symbolic link, else `path` itself.
// Empty when a link cannot be resolved.
std::string WriteTarget(const std::string& path);

// True when the existing file may be changed by us: it is not read-only.
bool MayReplace(const std::string& path);

// Creates the missing folders of `folder`, private to the user where the platform allows.
void MakeFolders(const std::string& folder);

// Writes `data` to a temporary file beside `target` and puts it in its place, so the old file
// stays whole until the new one is complete on disk. `keep` keeps the old file's owner and
// permissions or attributes.
bool ReplaceContents(const std::string& target, std::string_view data, bool keep);

// The user's home folder (from `home` when absolute), or empty.
std::string HomeFolder(const char* home);

}  // namespace orbilon::files
