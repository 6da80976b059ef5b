// The command-string layer on Windows: the music module's commands go to winmm as they are,
// converted from UTF-8 to the wide entry points.
//
// Environment: ORBILON_MCI_LOG, a file each command and its answer are appended to (one
// line each: code, command, reply), for tests and for finding out why a file stays silent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orbilon::music {

// Installs the winmm layer for the music module; call once at start.
void UseRealMciLayer();

// A wide reply as UTF-8 in `out` (NUL-terminated, cut at a whole character to fit `size`).
void CopyUtf8(std::string_view utf8, char* out, uint32_t size);

}  // namespace orbilon::music

using orbilon::music::UseRealMciLayer;
