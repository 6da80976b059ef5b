#include "saver_host.h"

#include <utility>

#include "service_core.h"

namespace orbilon {

int IntervalMs(HostTimer timer) {
    switch (timer) {
        case HostTimer::Mp3Loop:
            return 1000;
        case HostTimer::CdWatch:
            return 200;
        case HostTimer::Poll:
            return 50;
        case HostTimer::MusicRetry:
            return kMusicRetryMs;
    }
    return 1000;
}

SaverHost::SaverHost(HostShell& shell, HostMusic& music, HostConfig config)
    : shell_(shell), music_(music), config_(std::move(config)) {}

void SaverHost::Load() {
    const bool now = config_.music == HostConfig::Music::Now;
    if (now && !config_.service) StartMusic();
    shell_.Launch();
    if (now && config_.service) StartMusic();
    shell_.StartTimer(HostTimer::Poll, IntervalMs(HostTimer::Poll));
    if (config_.music == HostConfig::Music::Later)
        shell_.StartTimer(HostTimer::MusicRetry, IntervalMs(HostTimer::MusicRetry));
}

void SaverHost::StartMusic() {
    playing_ = true;
    const LoadMusic m = MusicAtLoad(config_.bgmKind, config_.bgmFile);
    if (m.cdOpen) {
        music_.CdOpen();
        shell_.StartTimer(HostTimer::CdWatch, IntervalMs(HostTimer::CdWatch));
        cdWatching_ = true;
    }
    if (m.wavPlay) music_.WavPlay();
    if (m.mp3Open) {
        music_.Mp3Open();
        shell_.StartTimer(HostTimer::Mp3Loop, IntervalMs(HostTimer::Mp3Loop));
    }
}

void SaverHost::StopMusic() {
    if (!playing_) return;
    playing_ = false;
    const UnloadSteps steps = StepsAtUnload(config_.bgmKind, config_.bgmFile, cdWatching_, {});
    if (steps.cdClose) {
        shell_.StopTimer(HostTimer::CdWatch);
        cdWatching_ = false;
        music_.CdClose();
    }
    if (steps.wavStop) music_.WavStop();
    if (steps.mp3Close) music_.Mp3Close();
}

void SaverHost::Tick(HostTimer timer) {
    switch (timer) {
        case HostTimer::Mp3Loop:
            music_.Mp3Loop();
            return;
        case HostTimer::CdWatch:
            music_.CdWatch();
            if (!music_.CdAvailable()) {
                shell_.StopTimer(HostTimer::CdWatch);
                cdWatching_ = false;
            }
            return;
        case HostTimer::Poll:
            Poll();
            return;
        case HostTimer::MusicRetry:
            // The player may end at any time: a restarting service's previous run, another
            // monitor's run killed. Whoever takes the lock next plays from then on.
            if (!shell_.TakeMusicLock()) return;
            shell_.StopTimer(HostTimer::MusicRetry);
            StartMusic();
            return;
    }
}

void SaverHost::Poll() {
    if (config_.service) {
        // Several service runs share a display, one per monitor: each watches its own
        // renderer's process, never a title another run's renderer could carry.
        if (!shell_.RendererEnded()) return;
        shell_.StopTimer(HostTimer::Poll);
        StopMusic();
        shell_.EndServiceRun();
        return;
    }
    const bool window = shell_.RendererWindowPresent();
    const bool exited = !window && shell_.RendererEnded();
    if (!watch_.Ended(window, exited, shell_.MsSinceLaunch())) return;
    shell_.StopTimer(HostTimer::Poll);
    QueryUnload();
}

void SaverHost::RestoreCursorIfHidden() {
    const UnloadSteps steps =
        StepsAtUnload(config_.bgmKind, config_.bgmFile, cdWatching_, config_.args);
    if (!config_.service && steps.restoreCursor) shell_.RestoreCursor();
}

void SaverHost::QueryUnload() {
    StopMusic();
    RestoreCursorIfHidden();
    shell_.End(0);
}

void SaverHost::EndBySignal() {
    shell_.StopTimer(HostTimer::Poll);
    shell_.StopRenderer();
    StopMusic();
    shell_.AwaitRenderer();
    RestoreCursorIfHidden();
    shell_.End(0);
}

}  // namespace orbilon
