// The saver host form: hidden, titled "Orbilon_Main"; plays the music, launches the
// renderer and ends the process when the renderer's window is gone.
#pragma once

#include <sys/types.h>

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <string>

#include "host_core.h"

class QSocketNotifier;

class Orbilon_S : public QWidget {
public:
    Orbilon_S();

    QTimer Timer1;  // 1000 ms, Mp3Loop
    QTimer Timer2;  // 200 ms, CdWatch
    QTimer Timer3;  // 50 ms, renderer-window poll
    std::string RendererPath;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Load();
    void Timer1Tick();
    void Timer2Tick();
    void Timer3Tick();
    [[noreturn]] void QueryUnload();
    void WatchSignals();

    pid_t renderer_ = -1;
    QElapsedTimer sinceLaunch_;
    orbilon::RendererWatch watch_;
    QSocketNotifier* signals_ = nullptr;
};

// Loads the host (not shown); it lives until it ends the process.
void LoadSaverHost();
