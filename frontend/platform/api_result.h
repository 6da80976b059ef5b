// The front end's process-wide slot for the raw result of the last platform call that sets it
// (settings file, dialog and music calls alike). Scratch: read it only right after the call.
#pragma once

#include <cstdint>

inline int32_t LastApiResult = 0;
