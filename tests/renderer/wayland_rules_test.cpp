// The Wayland shell's display-free decisions: which shell and role, the saver's input rules
// over several surfaces, the outputs followed, one model paced by several outputs, and the EGL
// configuration.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "egl_config_choice.h"
#include "output_set.h"
#include "saver_proc.h"
#include "shell_choice.h"
#include "surface_input.h"

namespace orbilon {
namespace {

TEST(ShellChoiceTest, WaylandWhereTheSessionIsWaylandUnlessAServiceWindowOrTheUserSaysOtherwise) {
    EXPECT_EQ(Shell::Wayland, ChooseShell({.waylandDisplay = "wayland-1"}).shell);
    EXPECT_EQ(Shell::Wayland, ChooseShell({.waylandSocket = "5"}).shell);
    EXPECT_EQ(Shell::X11, ChooseShell({}).shell);
    EXPECT_EQ(Shell::X11, ChooseShell({.waylandDisplay = ""}).shell);
    // A service's window is an X window, even one whose value X11 will refuse.
    EXPECT_EQ(Shell::X11,
              ChooseShell({.waylandDisplay = "wayland-1", .screensaverWindow = "0x400001"}).shell);
    EXPECT_EQ(Shell::X11,
              ChooseShell({.waylandDisplay = "wayland-1", .screensaverWindow = ""}).shell);
    EXPECT_EQ(Shell::X11, ChooseShell({.waylandDisplay = "wayland-1", .forced = "x11"}).shell);
    EXPECT_EQ(Shell::Wayland, ChooseShell({.forced = "wayland"}).shell);
    // A misspelt choice is refused rather than guessed.
    const ShellDecision bad = ChooseShell({.waylandDisplay = "wayland-1", .forced = "X11 "});
    EXPECT_THAT(bad.error, ::testing::HasSubstr("ORBILON_SHELL"));
    EXPECT_TRUE(ChooseShell({.waylandDisplay = "wayland-1"}).error.empty());
}

TEST(ShellChoiceTest, LayerShellFirstThenFullScreenToplevelsUnlessAskedOtherwise) {
    EXPECT_EQ(SurfaceRole::LayerOverlay, ChooseSurfaceRole(true, true).role);
    EXPECT_EQ(SurfaceRole::LayerOverlay, ChooseSurfaceRole(true, false).role);
    EXPECT_EQ(SurfaceRole::XdgFullscreen, ChooseSurfaceRole(false, true).role);
    EXPECT_EQ(SurfaceRole::None, ChooseSurfaceRole(false, false).role);
    EXPECT_EQ(SurfaceRole::XdgFullscreen, ChooseSurfaceRole(true, true, "toplevel").role);
    // Asked for what the compositor lacks: the role it has.
    EXPECT_EQ(SurfaceRole::LayerOverlay, ChooseSurfaceRole(true, false, "toplevel").role);
    EXPECT_EQ(SurfaceRole::XdgFullscreen, ChooseSurfaceRole(false, true, "layer").role);
    const RoleDecision bad = ChooseSurfaceRole(true, true, "fullscreen");
    EXPECT_EQ(SurfaceRole::None, bad.role);
    EXPECT_THAT(bad.error, ::testing::HasSubstr("ORBILON_WAYLAND_SURFACE"));
}

// The saver's own rules fed as the Wayland shell feeds them: the cursor is the tracker's.
class TrackedHost : public SaverHost {
public:
    explicit TrackedHost(const PointerTracker& pointer) : pointer_(pointer) {}
    CursorPos GetCursorPos() override { return pointer_.Position(); }
    void HideCursor() override {}
    void InstallAnimationConstants() override {}
    void SetTitle(std::string_view) override {}
    void LowerPriority() override {}
    void InitGraphics() override {}
    void ShutdownGraphics() override {}
    void PostClose() override { ++closes; }
    void PostQuit(int) override {}
    bool HasPasswordCheck() override { return false; }
    int VerifyPassword() override { return 1; }

    int closes = 0;

private:
    const PointerTracker& pointer_;
};

class PointerRuleTest : public ::testing::Test {
protected:
    void SetUp() override { proc.Handle(SaverMessage::Create); }
    void Enter(uint32_t surface, double x, double y) { pointer.Enter(surface, x, y); }
    void Move(double x, double y) {
        if (pointer.Motion(x, y)) proc.Handle(SaverMessage::MouseMove);
    }
    // Whether the posted closes so far end the saver (a close is honoured only once armed).
    bool Ends() {
        if (host.closes == 0) return false;
        return proc.Handle(SaverMessage::Close).callDefault;
    }

    PointerTracker pointer;
    TrackedHost host{pointer};
    SaverProc proc{host};
};

TEST_F(PointerRuleTest, AJumpIsMeasuredFromTheEnterPositionAndTheFirstMoveNeverEnds) {
    Enter(1, 600.5, 300.25);
    Move(900, 700);  // the first move, however far
    EXPECT_FALSE(Ends());
    host.closes = 0;
    Move(903, 701);  // near the first move, but the reference stayed where the pointer entered
    EXPECT_TRUE(Ends());
}

TEST_F(PointerRuleTest, StepsOfFourPixelsNeverEndButFiveDo) {
    Enter(1, 100, 100);
    Move(102, 102);
    Move(104, 104);
    Move(106, 106);
    Move(110, 106);
    EXPECT_EQ(0, host.closes);
    Move(113, 108);
    EXPECT_TRUE(Ends());
}

TEST_F(PointerRuleTest, CrossingToAnotherOutputIsNoJump) {
    Enter(1, 10, 10);
    Move(12, 10);
    Move(13, 11);
    pointer.Leave(1);
    // Far away in the other surface's coordinates: entering moves nothing.
    Enter(2, 1900, 1000);
    Move(1902, 1001);
    Move(1901, 999);
    EXPECT_EQ(0, host.closes);
    Move(1895, 999);
    EXPECT_TRUE(Ends());
}

TEST_F(PointerRuleTest, MotionWithNoSurfaceEnteredIsIgnored) {
    Move(500, 500);
    Move(900, 900);
    EXPECT_EQ(0, host.closes);
    Enter(1, 0, 0);
    pointer.Leave(2);  // a leave of another surface changes nothing
    EXPECT_EQ(std::optional<uint32_t>(1), pointer.surface());
    pointer.Leave(1);
    Move(300, 0);
    EXPECT_EQ(0, host.closes);
}

TEST(FocusTrackerTest, FocusLeavingEverySurfaceIsLostActivationButMovingBetweenThemIsNot) {
    FocusTracker focus;
    EXPECT_FALSE(focus.TakeLoss()) << "never focused: nothing was lost";
    focus.Enter(1);
    EXPECT_FALSE(focus.TakeLoss());
    // From one output's surface to another's within one batch.
    focus.Leave(1);
    focus.Enter(2);
    EXPECT_FALSE(focus.TakeLoss());
    focus.Leave(2);
    EXPECT_TRUE(focus.TakeLoss());
    EXPECT_FALSE(focus.TakeLoss()) << "reported once";
}

TEST(FocusTrackerTest, FocusTakenAlongByAnOutputOrAKeyboardGoingIsNoLoss) {
    FocusTracker focus;
    focus.Enter(3);
    focus.SurfaceGone(3);
    EXPECT_FALSE(focus.TakeLoss());
    focus.Enter(4);
    focus.KeyboardGone(4);
    EXPECT_FALSE(focus.TakeLoss());
    // Once focused again, leaving is a loss as before.
    focus.Enter(4);
    focus.Leave(4);
    EXPECT_TRUE(focus.TakeLoss());
}

TEST(FocusTrackerTest, TwoKeyboardsOnOneSurfaceBothHaveToLeave) {
    FocusTracker focus;
    focus.Enter(1);
    focus.Enter(1);
    focus.Leave(1);
    EXPECT_FALSE(focus.TakeLoss());
    focus.Leave(7);  // not focused: ignored
    EXPECT_TRUE(focus.Focused());
    focus.Leave(1);
    EXPECT_TRUE(focus.TakeLoss());
}

TEST(ButtonMessageTest, ButtonsOneToThreeOnly) {
    EXPECT_EQ(SaverMessage::LButtonDown, ButtonMessage(0x110));
    EXPECT_EQ(SaverMessage::RButtonDown, ButtonMessage(0x111));
    EXPECT_EQ(SaverMessage::MButtonDown, ButtonMessage(0x112));
    EXPECT_EQ(std::nullopt, ButtonMessage(0x113));  // side
    EXPECT_EQ(std::nullopt, ButtonMessage(0x114));  // extra
    EXPECT_EQ(std::nullopt, ButtonMessage(0x10f));
}

TEST(OutputSetTest, OutputsComeAndGoAndTheLastSurfaceGoneEndsTheRun) {
    OutputSet set;
    EXPECT_FALSE(set.Over()) << "nothing made yet is not the end";
    EXPECT_TRUE(set.Added(10));
    EXPECT_TRUE(set.Added(11));
    EXPECT_FALSE(set.Added(10)) << "one surface per output";
    EXPECT_EQ(2, set.surfaces());
    EXPECT_TRUE(set.Added(12));
    EXPECT_TRUE(set.Removed(11));
    EXPECT_FALSE(set.Removed(11));
    EXPECT_FALSE(set.Removed(99));
    EXPECT_FALSE(set.Over());
    EXPECT_TRUE(set.Closed(12));
    EXPECT_FALSE(set.Closed(12)) << "let go once";
    EXPECT_FALSE(set.Added(12)) << "a closed surface is not made again on the same output";
    EXPECT_FALSE(set.HasSurface(12));
    EXPECT_FALSE(set.Removed(12)) << "its output leaving has nothing left to let go";
    EXPECT_FALSE(set.Over());
    EXPECT_TRUE(set.Removed(10));
    EXPECT_TRUE(set.Over());
}

TEST(OutputSetTest, AnOutputAddedWhileRunningGetsItsSurface) {
    OutputSet set;
    set.Added(1);
    set.Closed(1);
    EXPECT_TRUE(set.Over());
    EXPECT_TRUE(set.Added(2));
    EXPECT_FALSE(set.Over());
    EXPECT_TRUE(set.HasSurface(2));
}

TEST(SharedStepTest, EqualOutputsStepTheModelOncePerRound) {
    SharedStep step;
    int steps = 0;
    for (int round = 0; round < 10; ++round) {
        for (uint32_t s : {1u, 2u, 3u}) steps += step.BeforeDraw(s);
    }
    EXPECT_EQ(10, steps);
    EXPECT_EQ(10u, step.step());
}

TEST(SharedStepTest, TheFastestOutputDrivesAndOneWithoutFramesHoldsNothingBack) {
    SharedStep step;
    int steps = 0;
    for (int i = 0; i < 6; ++i) {
        steps += step.BeforeDraw(1);
        if (i % 3 == 0) steps += step.BeforeDraw(2);  // a third of the rate
    }
    EXPECT_EQ(6, steps);
    // Output 3 drew once long ago and never again; output 4 appears late.
    step.BeforeDraw(3);
    for (int i = 0; i < 5; ++i) steps += step.BeforeDraw(1);
    EXPECT_EQ(11, steps);
    EXPECT_FALSE(step.BeforeDraw(4)) << "a new output shows the latest step";
    step.Forget(1);
    EXPECT_FALSE(step.BeforeDraw(1)) << "a forgotten surface starts as a new one";
}

EglConfigTraits Config(int r, int g, int b, int a, int depth, bool window = true, bool gl = true) {
    return {r, g, b, a, depth, window, gl};
}

TEST(EglConfigChoiceTest, EightBitRgbWithoutAlphaAndWithDepthFirstOf24Bits) {
    const std::vector<EglConfigTraits> configs = {
        Config(10, 10, 10, 2, 24),            // 10-bit
        Config(8, 8, 8, 8, 24),               // alpha
        Config(8, 8, 8, 0, 24, false),        // no window
        Config(8, 8, 8, 0, 24, true, false),  // no desktop GL
        Config(5, 6, 5, 0, 24),
        Config(8, 8, 8, 0, 0),  // no depth buffer
        Config(8, 8, 8, 0, 16),
        Config(8, 8, 8, 0, 32),
        Config(8, 8, 8, 0, 24),
        Config(8, 8, 8, 0, 24),
    };
    EXPECT_EQ(std::optional<size_t>(8), ChooseEglConfig(configs));
    const std::vector<EglConfigTraits> noDepth24 = {Config(8, 8, 8, 0, 16), Config(8, 8, 8, 0, 32)};
    EXPECT_EQ(std::optional<size_t>(1), ChooseEglConfig(noDepth24));
    const std::vector<EglConfigTraits> none = {Config(8, 8, 8, 8, 24), Config(10, 10, 10, 0, 24)};
    EXPECT_EQ(std::nullopt, ChooseEglConfig(none));
}

}  // namespace
}  // namespace orbilon
