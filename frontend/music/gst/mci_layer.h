// The real command-string layer: "cdaudio" through libcdio, "MPEGVideo" files through
// GStreamer playbin, looping WAV playback through GStreamer.
//
// Environment: ORBILON_AUDIO_SINK, a GStreamer sink description that replaces the
// automatic audio sink (and then counts as one output device); ORBILON_CDROM, a drive
// or CD image (.cue, .toc, .nrg) used in place of the default drive.
#pragma once

#include <cstdint>
#include <memory>

#include "mci_engine.h"

namespace orbilon::music {

// Installs the real layer for the music module; call once at start.
void UseRealMciLayer();

// The media backend on its own, for an engine of the caller's.
std::unique_ptr<Backend> MakeGstBackend();

// How often a looping WAV has been queued again since the process started.
uint64_t LoopRequeues();

}  // namespace orbilon::music

using orbilon::music::UseRealMciLayer;
