// Whether the next turn of the frame loop draws, only steps the model, or sleeps: nothing is
// drawn while nobody can see it (monitors off, window unmapped or fully covered), and without a
// GL context the model advances at display rate instead of as fast as the CPU allows.
#pragma once

#include <cstdint>

namespace orbilon {

enum class FrameStep { Draw, StepModel, Sleep };

struct FramePlan {
    FrameStep step = FrameStep::Sleep;
    // For Sleep: how long to wait for an event at most, in milliseconds; -1 until one comes.
    int waitMs = -1;
    bool operator==(const FramePlan&) const = default;
};

class FrameGate {
public:
    // Steps a second with nothing drawn: one per refresh of a 60 Hz display.
    static constexpr int64_t StepPeriodNs = 1'000'000'000 / 60;
    // The monitors' power state comes with no event; it is asked for this often.
    static constexpr int64_t DpmsPeriodNs = 1'000'000'000;

    void SetMapped(bool mapped) { mapped_ = mapped; }
    void SetFullyCovered(bool covered) { covered_ = covered; }
    void SetMonitorsOff(bool off) { monitorsOff_ = off; }
    void SetHasContext(bool has) { hasContext_ = has; }

    // The plan at monotonic time nowNs; `allowed` is false while the window procedure holds
    // frames back (before creation, after destruction).
    FramePlan Next(bool allowed, int64_t nowNs) const;

    // The model took a step (drawn or not) at nowNs.
    void Stepped(int64_t nowNs) {
        lastStepNs_ = nowNs;
        stepped_ = true;
    }

    // True when the monitors' power state should be asked again; counts as asked.
    bool DpmsCheckDue(int64_t nowNs);

    bool Visible() const { return mapped_ && !covered_ && !monitorsOff_; }

private:
    bool mapped_ = true;
    bool covered_ = false;
    bool monitorsOff_ = false;
    bool hasContext_ = true;
    bool stepped_ = false;
    bool dpmsAsked_ = false;
    int64_t lastStepNs_ = 0;
    int64_t lastDpmsNs_ = 0;
};

}  // namespace orbilon
