// CP932 through the system's own code page 932 tables.
#include <windows.h>

#include "cp932.h"

namespace orbilon::cp932 {
namespace {

constexpr UINT kCp932 = 932;

std::optional<std::wstring> Widen(UINT codePage, std::string_view in) {
    if (in.empty()) return std::wstring();
    if (in.size() > 0x7FFFFFFF) return std::nullopt;
    const int size = static_cast<int>(in.size());
    const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), size, nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring out(static_cast<size_t>(n), L'\0');
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), size, out.data(), n) != n) {
        return std::nullopt;
    }
    return out;
}

// For UTF-8 the system refuses lone surrogates itself; for code page 932 a character without an
// exact counterpart would come out as a look-alike or as '?', so best fit is off and any use of
// the default character fails the conversion.
std::optional<std::string> Narrow(UINT codePage, const std::wstring& in) {
    if (in.empty()) return std::string();
    const int size = static_cast<int>(in.size());
    const DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* used = codePage == CP_UTF8 ? nullptr : &usedDefault;
    const int n = WideCharToMultiByte(codePage, flags, in.data(), size, nullptr, 0, nullptr, used);
    if (n <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<size_t>(n), '\0');
    if (WideCharToMultiByte(codePage, flags, in.data(), size, out.data(), n, nullptr, used) != n ||
        usedDefault) {
        return std::nullopt;
    }
    return out;
}

}  // namespace

// A result that does not convert back unchanged is refused, as a path changed on the way would
// name another file.
std::optional<std::string> FromUtf8(std::string_view utf8) {
    const auto wide = Widen(CP_UTF8, utf8);
    if (!wide) return std::nullopt;
    auto encoded = Narrow(kCp932, *wide);
    if (!encoded) return std::nullopt;
    const auto back = ToUtf8(*encoded);
    if (!back || *back != utf8) return std::nullopt;
    return encoded;
}

std::optional<std::string> ToUtf8(std::string_view cp932) {
    const auto wide = Widen(kCp932, cp932);
    if (!wide) return std::nullopt;
    return Narrow(CP_UTF8, *wide);
}

}  // namespace orbilon::cp932
