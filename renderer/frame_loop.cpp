#include "frame_loop.h"

namespace orbilon {

int RunFrameLoop(WindowSource& source, const InputPolicy& policy, const SaverHooks& hooks) {
    uint64_t frames = 0;
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
