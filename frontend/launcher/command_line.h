// Reading the front end's argument text: the mode letter and the preview handle.
#pragma once

#include <cstdint>
#include <string_view>

namespace orbilon {

// The upper-cased second character of the argument text, or 0 when it has none. Only
// ASCII letters change case; a character beyond ASCII gives 0.
char ModeLetter(std::string_view args);

// The argument text from its fourth character on (empty when shorter).
std::string_view FromFourthCharacter(std::string_view args);

// Reads a window handle the way a number is read from text: blanks, tabs and line feeds are
// ignored wherever they stand, reading stops at the first character that cannot continue
// the number, &H and &O introduce hexadecimal and octal. No number gives 0; the value is
// rounded to the nearest 32-bit integer, halves to even; one that does not fit gives 0.
int32_t ReadHandle(std::string_view text);

}  // namespace orbilon
