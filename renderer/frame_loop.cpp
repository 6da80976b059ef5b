#include "frame_loop.h"

namespace orbilon {

int RunFrameLoop(WindowSource& source, const InputPolicy& policy, const SaverHooks& hooks) {
    uint64_t frames = 0;
    FramePacer pacer;
    for (;;) {
        if (const auto status = source.Ended()) return *status;
        // Events first: input must end the saver however long frames take.
        if (source.HandleOne()) continue;
        FrameGate& gate = source.gate();
        const int64_t now = source.NowNs();
        if (gate.DpmsCheckDue(now)) gate.SetMonitorsOff(source.MonitorsOff());
        const FramePlan plan = gate.Next(policy.FramesAllowed(), now);
        if (plan.step == FrameStep::Sleep) {
            // Nothing worth drawing: wait for an event instead of spinning.
            source.Wait(plan.waitMs);
            continue;
        }
        const bool show = plan.step == FrameStep::Draw;
        if (show) {
            pacer.SetPeriod(hooks.unpaced ? 0 : source.RefreshPeriodNs());
            if (const int64_t wait = pacer.WaitNs(now); wait > 0) {
                // Rounded up: waking early would only lead to a second wait.
                source.Wait(static_cast<int>((wait + 999'999) / 1'000'000));
                continue;
            }
            pacer.FrameStarted(now);
        }
        source.Frame(show);
        gate.Stepped(now);
        if (show) {
            ++frames;
            if (hooks.afterSwap && !hooks.afterSwap(frames)) source.EndRun();
        }
        source.YieldSlice();
    }
}

}  // namespace orbilon
