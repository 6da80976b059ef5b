// The saver host's decisions, made once for every platform: what the load step starts, what
// each timer tick does, when the renderer counts as ended, and what the unload stops. The
// platform's form drives it through HostShell (its timers, the renderer's process and window,
// the pointer, the end of the process) and HostMusic (the music module's operations).
#pragma once

#include <cstdint>
#include <string>

#include "host_core.h"

namespace orbilon {

enum class HostTimer {
    Mp3Loop,     // Timer1, 1000 ms
    CdWatch,     // Timer2, 200 ms
    Poll,        // Timer3, 50 ms: the renderer's window (or, in a service run, its process)
    MusicRetry,  // the music lock, tried again while another process plays
};

int IntervalMs(HostTimer timer);

class HostShell {
public:
    virtual ~HostShell() = default;
    virtual void StartTimer(HostTimer timer, int ms) = 0;
    virtual void StopTimer(HostTimer timer) = 0;
    // Starts the renderer beside the front end.
    virtual void Launch() = 0;
    // Whether a top-level window titled "Orbilon_VC" exists.
    virtual bool RendererWindowPresent() = 0;
    // Whether the renderer's process has ended (or never started).
    virtual bool RendererEnded() = 0;
    virtual int64_t MsSinceLaunch() = 0;
    // Asks the renderer to end; AwaitRenderer gives it a short while, then kills it.
    virtual void StopRenderer() = 0;
    virtual void AwaitRenderer() = 0;
    // ShowCursor with the counter Main saved.
    virtual void RestoreCursor() = 0;
    virtual bool TakeMusicLock() = 0;
    // Ends the process. EndServiceRun reports how the service run's renderer ended.
    virtual void End(int status) = 0;
    virtual void EndServiceRun() = 0;
};

class HostMusic {
public:
    virtual ~HostMusic() = default;
    virtual void CdOpen() = 0;
    virtual void CdWatch() = 0;
    virtual bool CdAvailable() = 0;
    virtual void CdClose() = 0;
    virtual void WavPlay() = 0;
    virtual void WavStop() = 0;
    virtual void Mp3Open() = 0;
    virtual void Mp3Loop() = 0;
    virtual void Mp3Close() = 0;
};

struct HostConfig {
    int16_t bgmKind = 0;
    std::string bgmFile;
    std::string args;  // the argument text: only runs started with "S" restore the pointer
    // A screen-saver service's run: its renderer's process is watched, not a window title,
    // and the pointer is the service's.
    bool service = false;
    enum class Music { None, Now, Later } music = Music::Now;
};

class SaverHost {
public:
    SaverHost(HostShell& shell, HostMusic& music, HostConfig config);

    // The load step: the music (after the launch in a service run, whose window stays black
    // until the renderer draws), the renderer, the poll.
    void Load();
    void Tick(HostTimer timer);
    // The form is closed, by its own poll or from outside: stops the music, restores the
    // pointer, ends. The renderer is left alone.
    void QueryUnload();
    // SIGTERM and its kind in a full-screen run: the renderer is ended too, told first so
    // that it ends while the music stops.
    void EndBySignal();

private:
    void StartMusic();
    void StopMusic();
    void Poll();
    void RestoreCursorIfHidden();

    HostShell& shell_;
    HostMusic& music_;
    HostConfig config_;
    bool playing_ = false;
    bool cdWatching_ = false;  // Timer2 on
    RendererWatch watch_;
};

}  // namespace orbilon
