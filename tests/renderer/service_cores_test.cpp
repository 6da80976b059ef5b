// The display-free rules of runs across several monitors: monitors to viewports, and when a
// frame is worth drawing.
#include <gtest/gtest.h>

#include <vector>

#include "frame_gate.h"
#include "monitor_layout.h"

namespace orbilon {
namespace {

TEST(MonitorLayout, OneViewportPerMonitorInGlCoordinates) {
    // Two side by side, the right one shorter and lower: rows count from the window's bottom.
    const std::vector<ScreenRect> monitors{{0, 0, 1280, 1024}, {1280, 256, 1024, 768}};
    EXPECT_EQ((std::vector<Viewport>{{0, 0, 1280, 1024}, {1280, 0, 1024, 768}}),
              MonitorViewports(monitors, {0, 0, 2304, 1024}));
    const std::vector<ScreenRect> stacked{{0, 0, 800, 600}, {0, 600, 800, 600}};
    EXPECT_EQ((std::vector<Viewport>{{0, 600, 800, 600}, {0, 0, 800, 600}}),
              MonitorViewports(stacked, {0, 0, 800, 1200}));
    // Windows: a monitor left of and above the primary one puts the window's origin below zero.
    const std::vector<ScreenRect> leftOfPrimary{{0, 0, 1920, 1080}, {-1280, -200, 1280, 1024}};
    EXPECT_EQ((std::vector<Viewport>{{1280, 0, 1920, 1080}, {0, 256, 1280, 1024}}),
              MonitorViewports(leftOfPrimary, {-1280, -200, 3200, 1280}));
}

TEST(MonitorLayout, WindowClipsMonitorsAndFallsBackToItself) {
    const std::vector<ScreenRect> monitors{{0, 0, 1000, 500}, {1000, 0, 1000, 500}};
    // A window manager that kept the window on the right monitor: that monitor only.
    EXPECT_EQ((std::vector<Viewport>{{0, 0, 1000, 500}}),
              MonitorViewports(monitors, {1000, 0, 1000, 500}));
    // A window across the boundary gets the part of each monitor it covers.
    EXPECT_EQ((std::vector<Viewport>{{0, 100, 100, 400}, {100, 100, 50, 400}}),
              MonitorViewports(monitors, {900, 100, 150, 500}));
    // Mirrored outputs draw once; no monitor (or none on the window): the whole window.
    const std::vector<ScreenRect> mirrored{{0, 0, 640, 480}, {0, 0, 640, 480}};
    EXPECT_EQ((std::vector<Viewport>{{0, 0, 640, 480}}),
              MonitorViewports(mirrored, {0, 0, 640, 480}));
    EXPECT_EQ((std::vector<Viewport>{{0, 0, 300, 200}}), MonitorViewports({}, {5, 5, 300, 200}));
    EXPECT_EQ((std::vector<Viewport>{{0, 0, 300, 200}}),
              MonitorViewports(monitors, {3000, 0, 300, 200}));
    EXPECT_TRUE(MonitorViewports({}, {0, 0, 0, 0}).empty());
}

TEST(MonitorLayout, SpanCoversEveryMonitor) {
    EXPECT_EQ(std::nullopt, SpanAllMonitors({}));
    const std::vector<ScreenRect> one{{0, 0, 800, 600}};
    EXPECT_EQ((MonitorSpan{0, 0, 0, 0}), SpanAllMonitors(one));
    // Primary on the right, a taller monitor on the left, a third below the primary.
    const std::vector<ScreenRect> three{
        {1920, 0, 1920, 1080}, {0, 0, 1920, 1200}, {1920, 1080, 1280, 1024}};
    EXPECT_EQ((MonitorSpan{0, 2, 1, 0}), SpanAllMonitors(three));
}

TEST(MonitorLayout, RefreshOfTheMonitorShowingMostOfTheWindow) {
    // 1080p at 148.5 MHz; the same lines interlaced at half the clock; 320x200 doubled.
    EXPECT_DOUBLE_EQ(60, ModeRefreshHz(148.5e6, 2200, 1125, false, false));
    EXPECT_DOUBLE_EQ(60, ModeRefreshHz(74.25e6, 2200, 1125, false, true));
    EXPECT_NEAR(70.24, ModeRefreshHz(12.5875e6, 400, 224, true, false), 0.01);
    // A virtual display's mode: no timings, no rate.
    EXPECT_EQ(0, ModeRefreshHz(0, 0, 0, false, false));
    EXPECT_EQ(0, ModeRefreshHz(148.5e6, 2200, 0, false, false));

    const std::vector<MonitorRate> two{{{0, 0, 1920, 1080}, 60}, {{1920, 0, 2560, 1440}, 144}};
    EXPECT_EQ(6'944'444, RefreshPeriodNs(two, {1800, 0, 1000, 800}));
    EXPECT_EQ(16'666'667, RefreshPeriodNs(two, {0, 0, 1920, 1080}));
    // Spanning both: the one showing most of it.
    EXPECT_EQ(6'944'444, RefreshPeriodNs(two, {0, 0, 4480, 1440}));
    // Nothing known, a window on no monitor, or a rate no monitor has: 60 Hz.
    EXPECT_EQ(16'666'667, RefreshPeriodNs({}, {0, 0, 640, 480}));
    EXPECT_EQ(16'666'667, RefreshPeriodNs(two, {5000, 0, 640, 480}));
    const std::vector<MonitorRate> odd{{{0, 0, 800, 600}, 0}, {{800, 0, 800, 600}, 1e9}};
    EXPECT_EQ(16'666'667, RefreshPeriodNs(odd, {0, 0, 1600, 600}));
}

constexpr int64_t Ms = 1'000'000;

TEST(FrameGate, DrawsOnlyWhatCanBeSeen) {
    FrameGate gate;
    EXPECT_EQ((FramePlan{FrameStep::Draw, 0}), gate.Next(true, 0));
    EXPECT_EQ((FramePlan{FrameStep::Sleep, -1}), gate.Next(false, 0));

    gate.SetMapped(false);
    EXPECT_EQ((FramePlan{FrameStep::Sleep, -1}), gate.Next(true, 0));
    gate.SetMapped(true);
    gate.SetFullyCovered(true);
    EXPECT_EQ((FramePlan{FrameStep::Sleep, -1}), gate.Next(true, 0));
    gate.SetFullyCovered(false);
    EXPECT_EQ(FrameStep::Draw, gate.Next(true, 0).step);

    // Monitors off: no event says they are back, so sleep only until the next question.
    EXPECT_FALSE(gate.DpmsCheckDue(0));  // taken as on at the start
    EXPECT_FALSE(gate.DpmsCheckDue(99 * Ms));
    EXPECT_TRUE(gate.DpmsCheckDue(1000 * Ms));
    EXPECT_FALSE(gate.DpmsCheckDue(1000 * Ms));
    EXPECT_TRUE(gate.DpmsCheckDue(2000 * Ms));
    gate = FrameGate();
    gate.DpmsCheckDue(0);
    EXPECT_TRUE(gate.DpmsCheckDue(100 * Ms + FrameGate::DpmsPeriodNs));
    gate.SetMonitorsOff(true);
    EXPECT_EQ((FramePlan{FrameStep::Sleep, 1000}), gate.Next(true, 1100 * Ms));
    EXPECT_EQ((FramePlan{FrameStep::Sleep, 1}), gate.Next(true, 2099 * Ms + 1));
    EXPECT_FALSE(gate.DpmsCheckDue(2099 * Ms));
    EXPECT_TRUE(gate.DpmsCheckDue(2100 * Ms));
    EXPECT_EQ((FramePlan{FrameStep::Sleep, 1000}), gate.Next(true, 2100 * Ms));
    gate.SetMonitorsOff(false);
    EXPECT_EQ(FrameStep::Draw, gate.Next(true, 2100 * Ms).step);
}

TEST(FrameGate, WithoutContextStepsAtDisplayRate) {
    FrameGate gate;
    gate.SetHasContext(false);
    EXPECT_EQ(FrameStep::StepModel, gate.Next(true, 5 * Ms).step);
    gate.Stepped(5 * Ms);
    // 16.67 ms per step, waited out rather than spun.
    EXPECT_EQ((FramePlan{FrameStep::Sleep, 17}), gate.Next(true, 5 * Ms));
    EXPECT_EQ((FramePlan{FrameStep::Sleep, 1}), gate.Next(true, 21 * Ms));
    EXPECT_EQ(FrameStep::StepModel, gate.Next(true, 5 * Ms + FrameGate::StepPeriodNs).step);
    // However long it slept, one step at a time: 60 a second at most, never a burst.
    int steps = 0;
    for (int64_t t = 0; t <= 1000 * Ms; t += Ms) {
        if (gate.Next(true, 1000 * Ms + t).step == FrameStep::StepModel) {
            gate.Stepped(1000 * Ms + t);
            ++steps;
        }
    }
    EXPECT_LE(steps, 60);
    EXPECT_GE(steps, 55);
    EXPECT_EQ((FramePlan{FrameStep::Sleep, -1}), gate.Next(false, 0));
}

}  // namespace
}  // namespace orbilon
