// The argument text of a Windows program: its command line after the program's own name.
#pragma once

#include <string_view>

namespace orbilon {

// The name is the first word, or everything up to the closing quote when the line starts with
// one (a path with blanks); the blanks and tabs after the name are not part of the text.
inline std::wstring_view AfterProgramName(std::wstring_view line) {
    size_t i = 0;
    if (!line.empty() && line[0] == L'"') {
        const size_t close = line.find(L'"', 1);
        i = close == std::wstring_view::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && line[i] != L' ' && line[i] != L'\t') ++i;
    }
    while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) ++i;
    return line.substr(i);
}

}  // namespace orbilon
