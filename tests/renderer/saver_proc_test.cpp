#include "saver_proc.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace orbilon {
namespace {

using ::testing::ElementsAre;
using M = SaverMessage;

class FakeHost : public SaverHost {
public:
    CursorPos GetCursorPos() override {
        log.push_back("cursor");
        return cursor;
    }
    void HideCursor() override { log.push_back("hide"); }
    void InstallAnimationConstants() override { log.push_back("constants"); }
    void SetTitle(std::string_view t) override { log.push_back("title " + std::string(t)); }
    void LowerPriority() override { log.push_back("priority"); }
    void InitGraphics() override { log.push_back("init"); }
    void ShutdownGraphics() override { log.push_back("shutdown"); }
    void PostClose() override {
        log.push_back("post-close");
        ++closes;
    }
    void PostQuit(int code) override { log.push_back("quit " + std::to_string(code)); }
    bool HasPasswordCheck() override { return password != nullptr; }
    int VerifyPassword() override {
        log.push_back("password");
        return password();
    }

    CursorPos cursor{100, 100};
    std::vector<std::string> log;
    int closes = 0;
    std::function<int()> password;
};

constexpr ProcResult Default{true, 0};
constexpr ProcResult Swallowed{false, 0};

class SaverProcTest : public ::testing::Test {
protected:
    void Create() {
        proc.Handle(M::Create);
        host.log.clear();
    }
    void MoveTo(int x, int y) {
        host.cursor = {x, y};
        EXPECT_EQ(Default, proc.Handle(M::MouseMove));
    }

    FakeHost host;
    SaverProc proc{host};
};

TEST_F(SaverProcTest, CreationRetitlesAndStartsGraphicsInOrder) {
    EXPECT_FALSE(proc.ShouldDraw());
    host.cursor = {7, -3};
    EXPECT_EQ(Default, proc.Handle(M::Create));
    EXPECT_THAT(host.log,
                ElementsAre("cursor", "hide", "constants", "title Orbilon_VC", "priority", "init"));
    EXPECT_TRUE(proc.ShouldDraw());
    EXPECT_EQ((CursorPos{7, -3}), proc.state().lastCursor);
}

TEST_F(SaverProcTest, DestroyQuitsWithZeroAndStopsDrawing) {
    Create();
    EXPECT_EQ(Default, proc.Handle(M::Destroy));
    EXPECT_THAT(host.log, ElementsAre("quit 0", "shutdown"));
    EXPECT_FALSE(proc.ShouldDraw());
}

TEST_F(SaverProcTest, KeysAndButtonsArmAndRequestClose) {
    for (M m : {M::KeyDown, M::SysKeyDown, M::LButtonDown, M::RButtonDown, M::MButtonDown}) {
        FakeHost h;
        SaverProc p(h);
        p.Handle(M::Create);
        EXPECT_EQ(Default, p.Handle(m));
        EXPECT_TRUE(p.state().closeArmed);
        EXPECT_EQ(1, h.closes);
        EXPECT_EQ(Default, p.Handle(M::Close)) << "the close it posted is honoured";
    }
}

TEST_F(SaverProcTest, CloseBeforeAnyInputIsIgnoredAndAfterInputHonoured) {
    Create();
    EXPECT_EQ(Swallowed, proc.Handle(M::Close));
    EXPECT_TRUE(host.log.empty());
    proc.Handle(M::KeyDown);
    EXPECT_EQ(Default, proc.Handle(M::Close));
}

TEST_F(SaverProcTest, ActivationLossClosesButGainDoesNot) {
    Create();
    proc.Handle(M::ActivateApp, 1);
    EXPECT_EQ(0, host.closes);
    EXPECT_FALSE(proc.state().closeArmed);
    proc.Handle(M::ActivateApp, 0);
    EXPECT_EQ(1, host.closes);
    EXPECT_TRUE(proc.state().closeArmed);
}

TEST_F(SaverProcTest, WindowSwitchAndSaverCommandsAreSwallowedOthersNot) {
    Create();
    for (uintptr_t c : {SC_NEXTWINDOW, SC_PREVWINDOW, SC_SCREENSAVE}) {
        EXPECT_EQ(Swallowed, proc.Handle(M::SysCommand, c));
    }
    // Whole-value comparison: low bits set make it another command.
    EXPECT_EQ(Default, proc.Handle(M::SysCommand, SC_SCREENSAVE | 2));
    EXPECT_EQ(Default, proc.Handle(M::SysCommand, 0xF060));
    EXPECT_FALSE(proc.state().closeArmed);
    EXPECT_EQ(0, host.closes);
}

TEST_F(SaverProcTest, CursorStaysHidden) {
    Create();
    EXPECT_EQ((ProcResult{false, 1}), proc.Handle(M::SetCursor));
    EXPECT_EQ(Default, proc.Handle(M::ShowWindow, 1));
    EXPECT_EQ(Default, proc.Handle(M::ShowWindow, 0));
    EXPECT_THAT(host.log, ElementsAre("hide", "hide"));
    EXPECT_EQ(Default, proc.Handle(M::Other));
    EXPECT_EQ(0, host.closes);
}

TEST_F(SaverProcTest, FirstMoveNeverEndsTheSaverHoweverFar) {
    Create();
    MoveTo(900, 700);
    EXPECT_TRUE(proc.state().firstMoveSeen);
    EXPECT_FALSE(proc.state().closeArmed);
    EXPECT_EQ(1, host.closes);  // posted, but not armed
    EXPECT_EQ(Swallowed, proc.Handle(M::Close));
    // The far position was not taken: the next move is measured from the start position.
    EXPECT_EQ((CursorPos{100, 100}), proc.state().lastCursor);
}

TEST_F(SaverProcTest, MovesOfFourPixelsKeepRunningFiveEndIt) {
    Create();
    MoveTo(101, 100);  // first move
    MoveTo(104, 101);  // 3 + 1
    MoveTo(104, 105);  // 0 + 4
    MoveTo(100, 105);  // 4 + 0: total travel 12, never more than 4 at a time
    EXPECT_EQ(0, host.closes);
    EXPECT_TRUE(proc.state().closeArmed);
    EXPECT_EQ((CursorPos{100, 105}), proc.state().lastCursor);
    MoveTo(97, 107);  // 3 + 2
    EXPECT_EQ(1, host.closes);
    EXPECT_EQ((CursorPos{100, 105}), proc.state().lastCursor);
    EXPECT_EQ(Default, proc.Handle(M::Close));
}

TEST_F(SaverProcTest, DistanceDoesNotOverflowAtExtremeCoordinates) {
    host.cursor = {INT32_MIN, INT32_MIN};
    proc.Handle(M::Create);
    MoveTo(INT32_MIN, INT32_MIN);
    MoveTo(INT32_MAX, INT32_MAX);
    EXPECT_EQ(1, host.closes);
}

TEST_F(SaverProcTest, RefusedPasswordKeepsRunningAndTakesCursorAfresh) {
    int answer = 0;
    host.password = [&] { return answer; };
    Create();
    proc.Handle(M::KeyDown);
    host.cursor = {300, 300};
    EXPECT_EQ(Swallowed, proc.Handle(M::Close));
    EXPECT_EQ((CursorPos{300, 300}), proc.state().lastCursor);
    EXPECT_TRUE(proc.ShouldDraw());
    EXPECT_TRUE(proc.state().closeArmed);
    // A small move from the fresh position keeps running; the next key asks again.
    MoveTo(302, 301);
    answer = 1;
    proc.Handle(M::KeyDown);
    EXPECT_EQ(Default, proc.Handle(M::Close));
}

TEST_F(SaverProcTest, InputIsIgnoredAndNoFramesDrawnWhileThePasswordDialogShows) {
    std::vector<ProcResult> during;
    bool drawing = true;
    host.password = [&] {
        drawing = proc.ShouldDraw();
        EXPECT_TRUE(proc.state().passwordDialogOpen);
        const int before = host.closes;
        for (M m : {M::KeyDown, M::LButtonDown, M::ActivateApp, M::ShowWindow, M::SetCursor}) {
            during.push_back(proc.Handle(m, 0));
        }
        host.cursor = {999, 999};
        during.push_back(proc.Handle(M::MouseMove));
        EXPECT_EQ(before, host.closes);
        return 1;
    };
    Create();
    proc.Handle(M::KeyDown);
    EXPECT_EQ(Default, proc.Handle(M::Close));
    EXPECT_FALSE(drawing);
    EXPECT_FALSE(proc.state().passwordDialogOpen);
    EXPECT_TRUE(proc.ShouldDraw());
    for (const auto& r : during) EXPECT_EQ(Default, r);
    EXPECT_FALSE(proc.state().firstMoveSeen);
}

TEST_F(SaverProcTest, NoPasswordCheckOnThisPlatformMeansCloseAllowed) {
    EXPECT_EQ(1, proc.CheckScreenLockPassword());
    EXPECT_TRUE(host.log.empty());
}

}  // namespace
}  // namespace orbilon
