// The front end's one reader for "reads as a number", shared by the settings loader, the
// settings dialog and the music so all accept exactly the same texts.
#pragma once

#include <optional>
#include <string_view>

// Accepts: optional blanks (space, tab), an optional sign, digits with an optional fraction
// (".5" and "5." included) and an optional exponent ("1e3", "2E-2"), optional blanks; or, with
// the same blanks around it, "&H" and hexadecimal digits or "&O" and octal digits (letters in
// either case, no sign, read as unsigned). Anything else, the empty text included, is not a
// number. Values too large for a double come back as an infinity.
std::optional<double> ParseNumber(std::string_view text);

namespace orbilon {
using ::ParseNumber;
}  // namespace orbilon
