// The saver host form: hidden, titled "Orbilon_Main"; the Qt and POSIX shell of the saver
// host's core. In a screen-saver service's run it has no title: it watches the renderer's
// process instead, and a signal ends the renderer, the music and then the host by that same
// signal.
#pragma once

#include <sys/types.h>

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <map>
#include <memory>
#include <string>

#include "bgm_music.h"
#include "display_x11.h"
#include "processes_posix.h"
#include "saver_host.h"

class QSocketNotifier;

// What kind of saver run the host serves.
struct HostRun {
    bool service = false;  // started by a screen-saver service into `target`
    unsigned long target = 0;
    orbilon::HostConfig::Music music = orbilon::HostConfig::Music::Now;
};

class Orbilon_S : public QWidget, orbilon::HostShell {
public:
    explicit Orbilon_S(const HostRun& run = {});

    std::string RendererPath;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void StartTimer(orbilon::HostTimer timer, int ms) override;
    void StopTimer(orbilon::HostTimer timer) override;
    void Launch() override;
    bool RendererWindowPresent() override;
    bool RendererEnded() override;
    int64_t MsSinceLaunch() override;
    void StopRenderer() override;
    void AwaitRenderer() override;
    void RestoreCursor() override;
    bool TakeMusicLock() override;
    void End(int status) override;
    void EndServiceRun() override;
    void WatchSignals();

    HostRun run_;
    orbilon::BgmMusic music_;
    orbilon::SaverHost host_;
    std::map<orbilon::HostTimer, std::unique_ptr<QTimer>> timers_;
    pid_t renderer_ = -1;
    int rendererStatus_ = 0;
    bool rendererReaped_ = false;
    // On Wayland no program can see another's windows: the renderer's process stands for its
    // window.
    bool watchProcess_ = false;
    QElapsedTimer sinceLaunch_;
    QSocketNotifier* signals_ = nullptr;
};

// Loads the host (not shown); it lives until it ends the process.
void LoadSaverHost(const HostRun& run = {});

// The exclusive per-display lock of `what` ("saver", "music"), in the runtime folder or, where
// it cannot be made there, under /tmp.
platform::LockResult TakeDisplayLock(const char* what);

// Whether a saver run plays now, waits for the music lock, or has no music at all (too few
// file descriptors left for it; one line on stderr says so).
orbilon::HostConfig::Music MusicOfRun();
// Whether a full-screen renderer started now runs on Wayland.
bool RendererOnWayland();
