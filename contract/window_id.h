// The target window of a run inside another program's window, as the screen-saver services pass
// it in $XSCREENSAVER_WINDOW: hexadecimal with 0x, or decimal.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace orbilon {

// The window id, or nothing when the text is not one whole number in 1 ... 2^32 - 1 (X ids are
// 32-bit; blanks, signs, trailing text and zero are refused).
std::optional<uint32_t> ParseWindowId(std::string_view text);

}  // namespace orbilon
