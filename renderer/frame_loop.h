// The renderer's run loop, whatever the window system: handle what the window system has
// queued, then draw, only step the model, or sleep, as the frame gate and the input policy
// allow. Each window system supplies a WindowSource (its own full-screen window, a window given
// by a screen-saver service, ...); the loop itself needs no display.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "frame_gate.h"
#include "frame_pacer.h"

namespace orbilon {

// For timing builds only; the saver itself runs without hooks.
struct SaverHooks {
    // After each buffer swap, with the frames drawn so far; false ends the run like an honoured
    // close.
    std::function<bool(uint64_t frames)> afterSwap;
    // Frames as fast as the swap allows, to measure a frame's cost.
    bool unpaced = false;
};

class WindowSource {
public:
    virtual ~WindowSource() = default;

    // The exit status once the run is over (quit posted, window gone, stop requested).
    virtual std::optional<int> Ended() = 0;
    // Handles one queued event or posted message; false when nothing was waiting.
    virtual bool HandleOne() = 0;
    // Blocks until something is queued or timeoutMs passes (-1: no limit).
    virtual void Wait(int timeoutMs) = 0;
    // Steps the model once and draws it; swaps the buffers when `show`.
    virtual void Frame(bool show) = 0;
    // Ends the run from inside (a hook said so), as an honoured close would.
    virtual void EndRun() = 0;
    // Hands the rest of the time slice to whatever else is ready.
    virtual void YieldSlice() = 0;
    virtual int64_t NowNs() = 0;
    // True while the monitors are in a power-saving state; asked about once a second.
    virtual bool MonitorsOff() = 0;
    // Nanoseconds per refresh of the display drawn on, for pacing frames where the swap
    // returns before the display has shown the frame; 0 where the swap or the compositor
    // already paces them.
    virtual int64_t RefreshPeriodNs() = 0;
    // What the window system has said about visibility and the context, kept up to date while
    // events are handled.
    virtual FrameGate& gate() = 0;
};

// Whether frames may be drawn: the saver's rules (SaverProc) hold them back before the window
// is set up, after it is gone and while a password dialog shows; a service run has no rules.
class InputPolicy {
public:
    virtual ~InputPolicy() = default;
    virtual bool FramesAllowed() const = 0;
};

class NoInputPolicy final : public InputPolicy {
public:
    bool FramesAllowed() const override { return true; }
};

// Runs until the source says the run is over; returns its exit status.
int RunFrameLoop(WindowSource& source, const InputPolicy& policy, const SaverHooks& hooks = {});

}  // namespace orbilon
