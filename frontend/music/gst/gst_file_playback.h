// Music files through GStreamer playbin: an "MPEGVideo" file the command layer opens, and a
// WAV file looping without a gap between passes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "mci_engine.h"

namespace orbilon::music {

// The opened file, or nullptr with `error` set.
std::unique_ptr<MediaFile> OpenGstFile(const std::string& path, int32_t& error);

// A WAV file playing in a loop while the handle lives.
class WavLoop {
public:
    virtual ~WavLoop() = default;
};
// The running loop, or nullptr when the file cannot start.
std::unique_ptr<WavLoop> StartGstLoop(const std::string& path);

}  // namespace orbilon::music
