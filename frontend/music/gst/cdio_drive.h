// The "cdaudio" device through libcdio: a drive or a CD image, its audio pushed into a
// GStreamer pipeline.
#pragma once

#include <cstdint>
#include <memory>

#include "mci_engine.h"

namespace orbilon::music {

// The drive ($ORBILON_CDROM, else the default one), or nullptr with `error` set.
std::unique_ptr<CdDrive> OpenCdioDrive(int32_t& error);

// Keeps libcdio's own log lines off the terminal.
void QuietCdioLog();

}  // namespace orbilon::music
