// Sectioned profile text ("[Section]" lines, then "key=value" lines), worked on as the file's
// CP932 bytes. Pure: no file access, so the parser can be tested and fuzzed on its own.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orbilon::profile {

// Longest value a read returns, in bytes.
inline constexpr size_t kMaxValueBytes = 255;

// The value of `key` in `section`: section and key names match without regard to ASCII case
// and without the blanks around them; the first matching key line wins, across repeated
// sections of that name. The value loses the blanks around it and one pair of enclosing
// double quotes, then is cut to 255 bytes (never inside a two-byte character). Lines may end
// in CRLF or LF; a line starting with ';' is a comment. nullopt when the section or key is
// missing.
std::optional<std::string> GetValue(std::string_view text, std::string_view section,
                                    std::string_view key);

// `text` with `key` in `section` set to `value`: the key's line is replaced where it stands,
// or the key is added after the last line of the section's first occurrence, or the section
// is added at the end. Every other byte stays as it was. New lines end like the file's first
// line (CRLF for a file without any). A value that reading would change (blanks at its ends,
// enclosing quotes) is written in quotes so it reads back unchanged. nullopt when the names or
// the value cannot be stored as one line (line breaks, NUL, '=' or a leading '[' or ';' in the
// key, ']' in the section, an empty name).
std::optional<std::string> SetValue(std::string_view text, std::string_view section,
                                    std::string_view key, std::string_view value);

struct KeyValue {
    std::string_view key;
    std::string_view value;
};

// `text` with every write applied in order, as SetValue would one after the other, so a caller
// can store them all with a single replacement of the file. nullopt when any one of them
// cannot be stored: then none is.
std::optional<std::string> SetValues(std::string_view text, std::string_view section,
                                     std::span<const KeyValue> writes);

}  // namespace orbilon::profile
