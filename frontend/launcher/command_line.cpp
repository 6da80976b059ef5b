#include "command_line.h"

#include <cctype>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace orbilon {
namespace {

// Byte length of the UTF-8 character starting with lead (1 for stray continuation bytes,
// so malformed text still advances).
size_t CharLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF7) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

// Byte offset of character number index (0-based), or npos when the text is shorter.
size_t OffsetOfChar(std::string_view s, size_t index) {
    size_t at = 0;
    for (size_t i = 0; i < index; ++i) {
        if (at >= s.size()) return std::string_view::npos;
        at += CharLength(static_cast<unsigned char>(s[at]));
    }
    return at < s.size() ? at : std::string_view::npos;
}

bool Ignored(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

std::optional<int32_t> FitRounded(double v) {
    if (!std::isfinite(v)) return std::nullopt;
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(v);
    std::fesetround(saved);
    if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(r);
}

// &H / &O numbers are integers of the narrowest of 16 or 32 bits that holds their digits,
// so &HFFFF is -1.
std::optional<int32_t> RadixValue(const std::string& digits, int radix) {
    uint64_t v = 0;
    for (char c : digits) {
        v = v * static_cast<uint64_t>(radix) +
            static_cast<uint64_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
        if (v > 0xFFFFFFFFull) return std::nullopt;
    }
    if (v <= 0xFFFF) return static_cast<int32_t>(static_cast<int16_t>(v));
    return static_cast<int32_t>(static_cast<uint32_t>(v));
}

}  // namespace

char ModeLetter(std::string_view args) {
    const size_t at = OffsetOfChar(args, 1);
    if (at == std::string_view::npos) return 0;
    const unsigned char c = static_cast<unsigned char>(args[at]);
    if (c >= 0x80) return 0;
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : static_cast<char>(c);
}

std::string_view FromFourthCharacter(std::string_view args) {
    const size_t at = OffsetOfChar(args, 3);
    return at == std::string_view::npos ? std::string_view{} : args.substr(at);
}

int32_t ReadHandle(std::string_view text) {
    std::string s;
    for (char c : text)
        if (!Ignored(c)) s += c;

    if (s.size() >= 2 && s[0] == '&') {
        const char kind = static_cast<char>(s[1] | 0x20);
        const int radix = kind == 'h' ? 16 : kind == 'o' ? 8 : 0;
        if (radix == 0) return 0;
        std::string digits;
        for (size_t i = 2; i < s.size(); ++i) {
            const char c = s[i];
            const bool ok = radix == 16 ? std::isxdigit(static_cast<unsigned char>(c)) != 0
                                        : (c >= '0' && c <= '7');
            if (!ok) break;
            digits += c;
        }
        return RadixValue(digits, radix).value_or(0);
    }

    // [sign] digits [. digits] [E|D [sign] digits], cut where it cannot go on.
    std::string number;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) number += s[i++];
    bool anyDigit = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        number += s[i++];
        anyDigit = true;
    }
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            number += s[i++];
            anyDigit = true;
        }
    }
    if (!anyDigit) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::string exponent = "e";
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
        const size_t firstDigit = j;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) exponent += s[j++];
        if (j > firstDigit) number += exponent;
    }
    // from_chars, not strtod: Qt switches the C locale to the user's, and the decimal point
    // must stay '.'. It takes no leading '+'.
    double value = 0;
    const char* first = number.data() + (number[0] == '+' ? 1 : 0);
    const auto [end, err] = std::from_chars(first, number.data() + number.size(), value);
    if (err == std::errc::result_out_of_range) return 0;
    if (err != std::errc{}) return 0;
    (void)end;
    return FitRounded(value).value_or(0);
}

}  // namespace orbilon
