// The boundary between UTF-8 (everywhere in the program) and CP932 (only inside Orbilon.ini).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orbilon::cp932 {

// True for a byte that starts a two-byte CP932 character. The second byte of such a pair may
// be an ASCII letter, '[', ']' or '\', so byte scans must step over whole characters.
inline bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

inline bool IsTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Length in bytes of the character starting at text[i]: 2 for a lead byte followed by a trail
// byte, else 1, so a stray lead byte never swallows the '=' or ']' after it.
inline size_t CharLength(std::string_view text, size_t i) {
    return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
                   IsTrailByte(static_cast<unsigned char>(text[i + 1]))
               ? 2
               : 1;
}

// UTF-8 to CP932. Fails on invalid UTF-8 and on any character CP932 cannot carry exactly:
// iconv maps some characters to look-alikes ("¥" to "\", "‾" to "~"), and a path changed that
// way would name another file, so a result that does not convert back unchanged is refused.
std::optional<std::string> FromUtf8(std::string_view utf8);

// CP932 to UTF-8. Fails on bytes that are not valid CP932.
std::optional<std::string> ToUtf8(std::string_view cp932);

}  // namespace orbilon::cp932
