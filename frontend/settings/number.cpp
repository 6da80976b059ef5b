#include "number.h"

#include <locale.h>
#include <stdlib.h>

#include <string>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<double> ParseRadix(std::string_view digits, int radix) {
    if (digits.empty()) return std::nullopt;
    double value = 0;
    for (char c : digits) {
        int d = HexValue(c);
        if (d < 0 || d >= radix) return std::nullopt;
        value = value * radix + d;
    }
    return value;
}

// strtod follows LC_NUMERIC; the file's "1.7" must read the same under a German locale.
locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return c;
}

std::optional<double> ParseDecimal(std::string_view s) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        size_t exp_digits = 0;
        while (i < s.size() && IsDigit(s[i])) ++i, ++exp_digits;
        if (exp_digits == 0) return std::nullopt;
    }
    if (i != s.size()) return std::nullopt;
    // The syntax is checked above, so strtod sees nothing it could read differently
    // (no "inf", "nan" or hexadecimal floats reach it).
    const std::string copy(s);
    if (CLocale() == static_cast<locale_t>(0)) return strtod(copy.c_str(), nullptr);
    return strtod_l(copy.c_str(), nullptr, CLocale());
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    if (text[0] == '&') {
        if (text.size() < 2) return std::nullopt;
        const char form = text[1];
        if (form == 'H' || form == 'h') return ParseRadix(text.substr(2), 16);
        if (form == 'O' || form == 'o') return ParseRadix(text.substr(2), 8);
        return std::nullopt;
    }
    return ParseDecimal(text);
}
