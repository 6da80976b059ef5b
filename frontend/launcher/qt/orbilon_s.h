// The saver host form: hidden, titled "Orbilon_Main"; plays the music, launches the
// renderer and ends the process when the renderer's window is gone. In a screen-saver
// service's run it has no window: it watches the renderer's process instead, and a signal
// ends the renderer, the music and then the host by that same signal.
#pragma once

#include <sys/types.h>

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <string>

#include "host_core.h"

class QSocketNotifier;

// What kind of saver run the host serves.
struct HostRun {
    bool service = false;  // started by a screen-saver service into `target`
    unsigned long target = 0;
    bool music = true;        // the music lock is ours: play what Orbilon.ini says
    bool musicLater = false;  // try the music lock again for a while (service root runs)
};

class Orbilon_S : public QWidget {
public:
    explicit Orbilon_S(const HostRun& run = {});

    QTimer Timer1;  // 1000 ms, Mp3Loop
    QTimer Timer2;  // 200 ms, CdWatch
    QTimer Timer3;  // 50 ms, renderer-window poll
    std::string RendererPath;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Load();
    void StartMusic();
    void StopMusic();
    void Timer1Tick();
    void Timer2Tick();
    void Timer3Tick();
    void ServiceWatch();
    void MusicHandover();
    [[noreturn]] void QueryUnload();
    [[noreturn]] void OnSignal(int sig);
    void WatchSignals();

    HostRun run_;
    QTimer musicRetry_;
    pid_t renderer_ = -1;
    // On Wayland no program can see another's windows: the renderer's process stands for its
    // window.
    bool watchProcess_ = false;
    QElapsedTimer sinceLaunch_;
    orbilon::RendererWatch watch_;
    QSocketNotifier* signals_ = nullptr;
};

// Loads the host (not shown); it lives until it ends the process.
void LoadSaverHost(const HostRun& run = {});

// The exclusive per-display lock of `what` ("saver", "music"): taken, or false when another
// process holds it. A lock that cannot be made counts as taken.
bool TakeDisplayLock(const char* what);
// Whether a full-screen renderer started now runs on Wayland.
bool RendererOnWayland();
