// The saver host's decisions: which music to start and stop, and when the renderer counts
// as ended.
#pragma once

#include <cstdint>
#include <string_view>

namespace orbilon {

enum class MusicFile { None, Wav, Mp3 };

// The upper-cased last three characters of the music file's path: "WAV" or "MP3".
MusicFile FileKind(std::string_view path);

struct LoadMusic {
    bool cdOpen = false;  // CdOpen, then Timer2 on
    bool wavPlay = false;
    bool mp3Open = false;  // Mp3Open, then Timer1 on
};
LoadMusic MusicAtLoad(int16_t bgmKind, std::string_view bgmFile);

struct UnloadSteps {
    bool cdClose = false;  // only while Timer2 still runs
    bool wavStop = false;
    bool mp3Close = false;
    bool restoreCursor = false;  // only in runs started with "S"
};
UnloadSteps StepsAtUnload(int16_t bgmKind, std::string_view bgmFile, bool timer2On,
                          std::string_view args);

// The renderer's end as the host sees it. Its window title is the signal, but a renderer
// still starting has no window yet: it counts as ended only once its window was seen and
// is gone, or its process has exited, or no window came within the grace time.
class RendererWatch {
public:
    static constexpr int kGraceMs = 10000;

    // One poll: whether the window exists now, whether the process has ended, and the time
    // since launch. True when the host should end.
    bool Ended(bool windowPresent, bool processEnded, int64_t msSinceLaunch) {
        if (windowPresent) {
            seen_ = true;
            return false;
        }
        return seen_ || processEnded || msSinceLaunch >= kGraceMs;
    }

private:
    bool seen_ = false;
};

}  // namespace orbilon
