// At most one frame per refresh where the buffer swap does not wait for the display (software
// rendering, a driver that ignores the swap interval): frames keep to a grid of refresh periods,
// so waits that wake a little late do not slow the animation, and a frame that overran its
// period is followed at once by the next.
#pragma once

#include <cstdint>

namespace orbilon {

class FramePacer {
public:
    // Nanoseconds per refresh; 0 leaves frames unpaced. A new period starts a new grid.
    void SetPeriod(int64_t periodNs);

    // How long to wait at nowNs before the next frame may start; 0: at once.
    int64_t WaitNs(int64_t nowNs) const;

    // A frame starts at nowNs.
    void FrameStarted(int64_t nowNs);

private:
    int64_t period_ = 0;
    bool started_ = false;
    int64_t slot_ = 0;  // when the latest frame was due
};

}  // namespace orbilon
