#include "frame_pacer.h"

namespace orbilon {

void FramePacer::SetPeriod(int64_t periodNs) {
    // The grid runs a little faster than the refresh given: where the swap already waits for
    // the display, and the display is a shade faster than its mode says, the swap keeps pacing
    // alone instead of meeting a wait that now and then misses a refresh.
    const int64_t period = periodNs > 0 ? periodNs - periodNs / 256 : 0;
    if (period == period_) return;
    period_ = period;
    started_ = false;
}

int64_t FramePacer::WaitNs(int64_t nowNs) const {
    if (period_ == 0 || !started_) return 0;
    const int64_t wait = slot_ + period_ - nowNs;
    return wait > 0 ? wait : 0;
}

void FramePacer::FrameStarted(int64_t nowNs) {
    if (period_ == 0) return;
    const int64_t due = slot_ + period_;
    // A frame a whole period late (a slow frame, a pause) starts the grid afresh rather than
    // letting the following frames catch up in a burst.
    if (!started_ || nowNs - due >= period_ || nowNs < slot_) {
        slot_ = nowNs;
    } else {
        slot_ = due;
    }
    started_ = true;
}

}  // namespace orbilon
