// Edits the `programs:` resource of an XScreenSaver preferences file (~/.xscreensaver): adds,
// enables or removes Orbilon's entry and keeps every byte it does not need to change.
//
// The file uses X resource syntax: `name: value` lines, `!` or `#` comment lines, and values
// that run on over lines ending in an odd number of backslashes. The `programs:` value lists one
// hack per entry, entries separated by the escape `\n`; an entry is
//   [-] [VISUAL:] ["label"] command args...
// where `-` disables it and VISUAL is a visual name such as `GL`.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbilon::xscreensaver {

// Files larger than this are refused rather than parsed (a preferences file is a few KiB).
inline constexpr size_t kMaxFileBytes = 4 << 20;

enum class Outcome {
    Added,          // a new entry was appended to the list
    Enabled,        // a disabled entry was enabled
    AlreadyListed,  // an enabled entry was there: nothing changed
    Removed,        // every Orbilon entry was taken out
    NotListed,      // --remove found no entry: nothing changed
};

struct Edit {
    Outcome outcome = Outcome::AlreadyListed;
    std::string text;  // the whole new file; equal to the input when nothing changed
};

struct Entry {
    bool enabled = true;
    std::string visual;   // "GL", "" when none
    std::string label;    // without the quotes
    std::string command;  // the command line, blanks around it trimmed
};

// The parsed list, or nullopt with the reason in `error` for a file that cannot be read as X
// resources (a NUL byte, a line that is neither blank, a comment nor `name: value`, an invalid
// resource name, more than one `programs` resource, or more than kMaxFileBytes).
std::optional<std::vector<Entry>> Programs(std::string_view file, std::string* error);

// True when the entry's command runs a program named `orbilon` (any folder).
bool IsOrbilon(const Entry& entry);

// Makes sure an enabled entry `GL: command` is in the list: appends one (creating the resource
// when the file has none), or enables a disabled one. nullopt with `error` as for Programs().
std::optional<Edit> Register(std::string_view file, std::string_view command, std::string* error);

// Takes every Orbilon entry, enabled or not, out of the list.
std::optional<Edit> Unregister(std::string_view file, std::string* error);

// The contents of a new preferences file that lists only `GL: command`. XScreenSaver merges
// its own list of hacks into the user's.
std::string NewFile(std::string_view command);

}  // namespace orbilon::xscreensaver
