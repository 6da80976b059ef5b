#include "number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

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

// from_chars reports a value beyond a double's range without one; tell an overflow (an
// infinity) from an underflow (zero) by the power of ten of the first significant digit.
// `s` has passed the syntax check of ParseDecimal.
double OutOfRange(std::string_view s) {
    size_t i = (s[0] == '+' || s[0] == '-') ? 1 : 0;
    long long scale = 0;  // the value is 0.ddd times ten to the power of scale + exponent
    bool significant = false;
    for (; i < s.size() && IsDigit(s[i]); ++i) {
        significant = significant || s[i] != '0';
        if (significant) ++scale;
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && IsDigit(s[i]); ++i) {
            if (significant) continue;
            significant = s[i] != '0';
            if (!significant) --scale;
        }
    }
    long long exponent = 0;
    if (i < s.size()) {  // 'e' or 'E'
        const bool down = s[++i] == '-';
        if (s[i] == '+' || s[i] == '-') ++i;
        for (; i < s.size(); ++i) exponent = std::min(exponent * 10 + (s[i] - '0'), 1LL << 40);
        if (down) exponent = -exponent;
    }
    const double magnitude = scale + exponent > 0 ? HUGE_VAL : 0.0;
    return s[0] == '-' ? -magnitude : magnitude;
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
    // from_chars ignores the locale, so the file's "1.7" reads the same under a German one.
    // It takes no leading '+'.
    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    double value = 0;
    const auto [end, error] = std::from_chars(first, s.data() + s.size(), value);
    if (error == std::errc::result_out_of_range) return OutOfRange(s);
    if (error != std::errc{} || end != s.data() + s.size()) return std::nullopt;
    return value;
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
