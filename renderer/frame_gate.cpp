#include "frame_gate.h"

namespace orbilon {

namespace {

// Whole milliseconds, rounded up so a wake-up never comes early.
int CeilMs(int64_t ns) {
    return ns <= 0 ? 0 : static_cast<int>((ns + 999'999) / 1'000'000);
}

}  // namespace

FramePlan FrameGate::Next(bool allowed, int64_t nowNs) const {
    if (!allowed) return {FrameStep::Sleep, -1};
    if (!hasContext_) {
        // Nothing can be drawn: the animation still runs, at display rate.
        const int64_t due = lastStepNs_ + StepPeriodNs;
        if (!stepped_ || nowNs >= due) return {FrameStep::StepModel, 0};
        return {FrameStep::Sleep, CeilMs(due - nowNs)};
    }
    if (Visible()) return {FrameStep::Draw, 0};
    // Mapping and covering come as events; the monitors waking up does not.
    if (monitorsOff_) return {FrameStep::Sleep, CeilMs(lastDpmsNs_ + DpmsPeriodNs - nowNs)};
    return {FrameStep::Sleep, -1};
}

bool FrameGate::DpmsCheckDue(int64_t nowNs) {
    if (dpmsAsked_ && nowNs - lastDpmsNs_ < DpmsPeriodNs) return false;
    dpmsAsked_ = true;
    lastDpmsNs_ = nowNs;
    return true;
}

}  // namespace orbilon
