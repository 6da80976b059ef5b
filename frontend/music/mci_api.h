// The four multimedia entry points the music module talks to. On Linux the layer in gst/
// plays through GStreamer and libcdio, on Windows the one in win32/ forwards to winmm; tests
// plug in a scripted one.
#pragma once

#include <cstdint>
#include <string_view>

namespace orbilon::music {

// PlaySound flags the module uses.
inline constexpr uint32_t kSndAsync = 1;
inline constexpr uint32_t kSndLoop = 8;

class MciApi {
public:
    virtual ~MciApi() = default;
    // mciSendString: 0 on success or an error code; the reply NUL-terminated in
    // `reply` (which may be null when `replySize` is 0).
    virtual int32_t SendString(std::string_view command, char* reply, uint32_t replySize) = 0;
    // mciGetErrorString: true when a text was written, NUL-terminated, into `text`.
    virtual bool GetErrorString(int32_t code, char* text, uint32_t textSize) = 0;
    // waveOutGetNumDevs.
    virtual int32_t WaveOutGetNumDevs() = 0;
    // PlaySound: `sound` null stops the looping sound.
    virtual bool PlaySound(const char* sound, uint32_t flags) = 0;
};

// The layer the module uses; a silent one (every command fails, no devices) until
// something is installed. The pointer is not owned.
MciApi& CurrentMciApi();
void SetMciApi(MciApi* api);

}  // namespace orbilon::music
