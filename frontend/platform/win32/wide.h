// The Windows front end keeps its texts in UTF-8 and calls the wide entry points; these two
// conversions are the only crossing. Invalid input converts to an empty string.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace orbilon::win32 {

inline std::wstring Wide(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > 0x7FFFFFFF) return {};
    const int size = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, out.data(), n);
    return out;
}

inline std::string Utf8(std::wstring_view wide) {
    if (wide.empty() || wide.size() > 0x7FFFFFFF) return {};
    const int size = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), size, nullptr, 0,
                                      nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), size, out.data(), n, nullptr,
                        nullptr);
    return out;
}

}  // namespace orbilon::win32
