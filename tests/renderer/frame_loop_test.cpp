// The run loop against a scripted window source on a simulated clock: what it draws, when it
// sleeps, and that events always come first.
#include "frame_loop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace orbilon {
namespace {

constexpr int64_t Ms = 1'000'000;
constexpr int64_t Second = 1000 * Ms;

class FakeSource final : public WindowSource {
public:
    using Action = std::function<void(FakeSource&)>;

    // An event arriving at the given time.
    void At(int64_t ns, Action a) { events_.emplace(ns, std::move(a)); }

    std::optional<int> Ended() override {
        if (status) return status;
        if (now >= limitNs) return -1;  // the run went on past the script
        return std::nullopt;
    }
    bool HandleOne() override {
        if (events_.empty() || events_.begin()->first > now) return false;
        const Action a = events_.begin()->second;
        events_.erase(events_.begin());
        a(*this);
        ++handled;
        return true;
    }
    void Wait(int timeoutMs) override {
        waits.push_back(timeoutMs);
        const int64_t next = events_.empty() ? limitNs : events_.begin()->first;
        now = timeoutMs < 0 ? std::max(now, next)
                            : std::min(now + timeoutMs * Ms, std::max(now, next));
        if (timeoutMs < 0 && events_.empty()) status = -2;  // would sleep for ever
    }
    void Frame(bool show) override {
        if (show) startedAt.push_back(now);
        const size_t i = shownAt.size();
        now += !show ? stepNs : i < drawCosts.size() ? drawCosts[i] : drawNs;
        // A swap that waits for the display returns at its next refresh.
        if (show && vblankNs > 0) now = (now / vblankNs + 1) * vblankNs;
        (show ? shownAt : steppedAt).push_back(now);
    }
    void EndRun() override {
        ++endRuns;
        status = 0;
    }
    void YieldSlice() override {}
    int64_t NowNs() override { return now; }
    bool MonitorsOff() override {
        ++monitorQuestions;
        return monitorsOff;
    }
    int64_t RefreshPeriodNs() override { return periodNs; }
    FrameGate& gate() override { return gate_; }

    int64_t now = 0;
    int64_t periodNs = 0;            // the swap paces frames itself
    std::vector<int64_t> drawCosts;  // per frame, before drawNs applies
    int64_t vblankNs = 0;            // the display's true refresh where the swap waits for it
    int64_t limitNs = Second;
    int64_t drawNs = 2 * Ms;
    int64_t stepNs = 100'000;
    bool monitorsOff = false;
    std::optional<int> status;
    int handled = 0, endRuns = 0, monitorQuestions = 0;
    std::vector<int> waits;
    std::vector<int64_t> startedAt, shownAt, steppedAt;

private:
    std::multimap<int64_t, Action> events_;
    FrameGate gate_;
};

class SwitchPolicy final : public InputPolicy {
public:
    bool FramesAllowed() const override { return allowed; }
    bool allowed = true;
};

TEST(FrameLoop, EventsComeFirstAndTheSourceEndsTheRun) {
    FakeSource source;
    std::vector<size_t> framesBeforeEvent;
    for (int64_t t : {10 * Ms, 11 * Ms, 50 * Ms}) {
        source.At(t, [&](FakeSource& s) { framesBeforeEvent.push_back(s.shownAt.size()); });
    }
    source.At(100 * Ms, [](FakeSource& s) { s.status = 7; });
    const NoInputPolicy none;
    EXPECT_EQ(7, RunFrameLoop(source, none));
    EXPECT_EQ(4, source.handled);
    // Frames of 2 ms: an event waits at most for the frame under way.
    ASSERT_EQ(3u, framesBeforeEvent.size());
    EXPECT_EQ(5u, framesBeforeEvent[0]);
    EXPECT_EQ(6u, framesBeforeEvent[1]);
    EXPECT_EQ(25u, framesBeforeEvent[2]);
    EXPECT_EQ(50u, source.shownAt.size());
    EXPECT_TRUE(source.waits.empty()) << "an unpaced swap-as-fast run never sleeps";
}

TEST(FrameLoop, SleepsWhileFramesAreHeldBackOrUnseen) {
    FakeSource source;
    SwitchPolicy policy;
    policy.allowed = false;  // e.g. before the window is set up, or a password dialog
    source.At(30 * Ms, [&](FakeSource&) { policy.allowed = true; });
    source.At(40 * Ms, [](FakeSource& s) { s.gate().SetMapped(false); });
    source.At(200 * Ms, [](FakeSource& s) { s.gate().SetMapped(true); });
    source.At(210 * Ms, [](FakeSource& s) { s.gate().SetFullyCovered(true); });
    source.At(400 * Ms, [](FakeSource& s) { s.status = 0; });
    EXPECT_EQ(0, RunFrameLoop(source, policy));
    for (const int64_t t : source.shownAt) {
        EXPECT_TRUE((t > 30 * Ms && t <= 42 * Ms) || (t > 200 * Ms && t <= 212 * Ms)) << t;
    }
    EXPECT_EQ(10u, source.shownAt.size());
    // Each stretch without frames is one wait for the next event, not a spin.
    EXPECT_EQ((std::vector<int>{-1, -1, -1}), source.waits);
    EXPECT_TRUE(source.steppedAt.empty());
}

TEST(FrameLoop, WithoutContextTheModelStepsAtDisplayRateUnshown) {
    FakeSource source;
    source.gate().SetHasContext(false);
    const NoInputPolicy none;
    EXPECT_EQ(-1, RunFrameLoop(source, none));  // runs to the end of the simulated second
    EXPECT_TRUE(source.shownAt.empty());
    EXPECT_GE(source.steppedAt.size(), 55u);
    EXPECT_LE(source.steppedAt.size(), 61u);
}

TEST(FrameLoop, MonitorsOffStopFramesAndAreAskedAboutOnceASecond) {
    FakeSource source;
    source.limitNs = 5 * Second;
    source.At(1500 * Ms, [](FakeSource& s) { s.monitorsOff = true; });
    source.At(3500 * Ms, [](FakeSource& s) { s.monitorsOff = false; });
    const NoInputPolicy none;
    EXPECT_EQ(-1, RunFrameLoop(source, none));
    EXPECT_GE(source.monitorQuestions, 4);
    EXPECT_LE(source.monitorQuestions, 5);
    // Dark from the first question after 1.5 s until the first after 3.5 s.
    for (const int64_t t : source.shownAt) {
        EXPECT_TRUE(t <= 2002 * Ms || t > 4000 * Ms) << t;
    }
    EXPECT_FALSE(source.shownAt.empty());
    EXPECT_GT(source.shownAt.back(), 4000 * Ms);
}

TEST(FrameLoop, AHookEndsTheRunAfterItsFrame) {
    FakeSource source;
    uint64_t seen = 0;
    SaverHooks hooks;
    hooks.afterSwap = [&](uint64_t frames) {
        seen = frames;
        return frames < 12;
    };
    const NoInputPolicy none;
    EXPECT_EQ(0, RunFrameLoop(source, none, hooks));
    EXPECT_EQ(12u, seen);
    EXPECT_EQ(12u, source.shownAt.size());
    EXPECT_EQ(1, source.endRuns);
}

TEST(FramePacing, InstantSwapsKeepToTheRefreshRate) {
    for (const double hz : {60.0, 59.94, 75.0, 144.0}) {
        FakeSource source;
        source.periodNs = std::llround(1e9 / hz);
        source.drawNs = 3 * Ms;
        source.limitNs = 10 * Second;
        const NoInputPolicy none;
        EXPECT_EQ(-1, RunFrameLoop(source, none));
        EXPECT_NEAR(hz, source.startedAt.size() / 10.0, 1.0) << hz << " Hz";
        std::vector<int> perSecond(10);
        for (const int64_t t : source.startedAt) ++perSecond[t / Second];
        for (int second = 0; second < 10; ++second) {
            EXPECT_NEAR(hz, perSecond[second], 2.0) << hz << " Hz, second " << second;
        }
        // Never two frames within one refresh, give or take a wait's rounding.
        for (size_t i = 1; i < source.startedAt.size(); ++i) {
            EXPECT_GE(source.startedAt[i] - source.startedAt[i - 1], source.periodNs - Ms)
                << hz << " Hz, frame " << i;
        }
    }
}

TEST(FramePacing, ASlowFrameIsFollowedAtOnce) {
    FakeSource source;
    source.periodNs = 16'666'667;
    source.drawNs = 2 * Ms;
    source.drawCosts.assign(40, 2 * Ms);
    for (const size_t slow : {10, 20, 21, 30}) source.drawCosts[slow] = 40 * Ms;
    source.drawCosts[25] = 17 * Ms;  // just over a refresh
    source.limitNs = Second;
    const NoInputPolicy none;
    EXPECT_EQ(-1, RunFrameLoop(source, none));
    for (const size_t slow : {10, 20, 21, 25, 30}) {
        EXPECT_EQ(source.shownAt[slow], source.startedAt[slow + 1]) << "after frame " << slow;
    }
    // Afterwards back on a grid of refreshes, not a burst catching up.
    EXPECT_GE(source.startedAt[12] - source.startedAt[11], source.periodNs - Ms);

    // Every frame slower than a refresh: never a wait.
    FakeSource slowest;
    slowest.periodNs = 16'666'667;
    slowest.drawNs = 25 * Ms;
    slowest.limitNs = Second;
    EXPECT_EQ(-1, RunFrameLoop(slowest, none));
    EXPECT_TRUE(slowest.waits.empty());
    EXPECT_EQ(40u, slowest.shownAt.size());
}

TEST(FramePacing, WhereTheSwapWaitsNothingChanges) {
    // The mode says 60 Hz; the display refreshes a shade faster, and the swap waits for it.
    FakeSource source;
    source.periodNs = 16'666'667;
    source.vblankNs = 16'652'800;  // 60.05 Hz
    source.limitNs = 20 * Second;
    const NoInputPolicy none;
    EXPECT_EQ(-1, RunFrameLoop(source, none));
    EXPECT_TRUE(source.waits.empty()) << source.waits.size() << " waits";
    EXPECT_NEAR(20.0 * Second / source.vblankNs, static_cast<double>(source.shownAt.size()), 1);
}

TEST(FramePacing, UnpacedRunsAndSelfPacingSourcesNeverWait) {
    const NoInputPolicy none;
    FakeSource bench;
    bench.periodNs = 16'666'667;
    SaverHooks unpaced;
    unpaced.unpaced = true;
    EXPECT_EQ(-1, RunFrameLoop(bench, none, unpaced));
    EXPECT_EQ(500u, bench.shownAt.size());
    EXPECT_TRUE(bench.waits.empty());

    // A refresh learnt later (a window moved onto another monitor) applies from then on.
    FakeSource moved;
    moved.At(500 * Ms, [](FakeSource& s) { s.periodNs = 10 * Ms; });
    EXPECT_EQ(-1, RunFrameLoop(moved, none));
    EXPECT_NEAR(250 + 50, static_cast<double>(moved.shownAt.size()), 1);
}

}  // namespace
}  // namespace orbilon
