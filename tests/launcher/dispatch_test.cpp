#include "dispatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orbilon {
namespace {

// Answers the look-ups from fixed facts and records what Main asked, in order.
struct FakeSteps : MainSteps {
    bool host = false, dialog = false, renderer = true, lockFree = true;
    std::vector<std::string> calls;

    bool TakeSaverLock() override {
        calls.push_back("lock");
        return lockFree;
    }

    bool WindowTitled(const std::string& title) override {
        calls.push_back("find " + title);
        return (title == kHostTitle && host) || (title == kDialogTitle && dialog);
    }
    void LoadSettings() override { calls.push_back("settings"); }
    bool RendererPresent() override {
        calls.push_back("renderer");
        return renderer;
    }
};

const std::vector<std::string> kGuardOnly = {"find Orbilon_Main", "find <Orbilon>"};
const std::vector<std::string> kFullRun = {"find Orbilon_Main", "find <Orbilon>", "settings",
                                           "renderer"};

// Saver and dialog starts take the lock before the look-ups.
std::vector<std::string> Expected(std::string_view args, std::vector<std::string> calls) {
    const char letter = args.size() > 1 ? static_cast<char>(args[1] | 0x20) : 0;
    if (args.empty() || letter == 's' || letter == 'c') calls.insert(calls.begin(), "lock");
    return calls;
}

TEST(Dispatch, AnOpenHostOrDialogEndsEverySwitchAtOnce) {
    for (const char* args : {"/s", "/p 1234", "/c", "", "/a"}) {
        for (int which = 0; which < 3; ++which) {
            FakeSteps f;
            f.host = which != 1;
            f.dialog = which != 0;
            const Plan p = Dispatch(args, f);
            EXPECT_EQ(p.outcome, Outcome::End) << args;
            EXPECT_FALSE(p.hideCursor);
            // Both look-ups are made even when the first one found a window.
            EXPECT_EQ(f.calls, Expected(args, kGuardOnly)) << args;
        }
    }
}

TEST(Dispatch, PreviewReadsNoSettingsAndChecksNoRenderer) {
    for (bool renderer : {true, false}) {
        FakeSteps f;
        f.renderer = renderer;
        const Plan p = Dispatch("/p 1234", f);
        EXPECT_EQ(p.outcome, Outcome::Preview);
        EXPECT_EQ(p.handle, 1234);
        EXPECT_EQ(f.calls, kGuardOnly);
    }
    FakeSteps f;
    EXPECT_EQ(Dispatch("/P1234", f).handle, 234);
    EXPECT_EQ(Dispatch("/p", f).handle, 0);  // passed on; the placement decides
}

TEST(Dispatch, RendererPresent) {
    struct Row {
        const char* args;
        Outcome outcome;
        bool hide;
    };
    for (const Row& r :
         {Row{"/c", Outcome::SettingsDialog, false}, Row{"/c:1234", Outcome::SettingsDialog, false},
          Row{"/C", Outcome::SettingsDialog, false}, Row{"/s", Outcome::Saver, true},
          Row{"-s", Outcome::Saver, true}, Row{"xS", Outcome::Saver, true},
          Row{"/S", Outcome::Saver, true}, Row{"", Outcome::Saver, false},
          Row{"/a", Outcome::End, false}, Row{"/x", Outcome::End, false},
          Row{"/", Outcome::End, false}, Row{"s", Outcome::End, false},
          Row{" ", Outcome::End, false}}) {
        FakeSteps f;
        const Plan p = Dispatch(r.args, f);
        EXPECT_EQ(p.outcome, r.outcome) << '"' << r.args << '"';
        EXPECT_EQ(p.hideCursor, r.hide) << '"' << r.args << '"';
        // Settings are read before the renderer check, for silent ends too.
        EXPECT_EQ(f.calls, Expected(r.args, kFullRun)) << '"' << r.args << '"';
    }
}

TEST(Dispatch, RendererMissingShowsTheMessageForEverySwitchButPreview) {
    for (const char* args : {"/c", "/s", "", "/a", "/x", "/"}) {
        FakeSteps f;
        f.renderer = false;
        const Plan p = Dispatch(args, f);
        EXPECT_EQ(p.outcome, Outcome::MissingRenderer) << '"' << args << '"';
        EXPECT_FALSE(p.hideCursor);
        EXPECT_EQ(f.calls, Expected(args, kFullRun));
    }
}

TEST(Dispatch, ASaverOrDialogStartWhoseLockIsHeldEndsAtOnce) {
    // The lock stands for a host or dialog whose title cannot be seen (on Wayland).
    for (const char* args : {"/s", "-S", "", "/c", "/C:1234"}) {
        FakeSteps f;
        f.lockFree = false;
        EXPECT_EQ(Dispatch(args, f).outcome, Outcome::End) << '"' << args << '"';
        // The title look-ups are still made, after the lock.
        EXPECT_EQ(f.calls, Expected(args, kGuardOnly)) << '"' << args << '"';
    }
    // A preview, or a switch that ends anyway, holds no lock: a preview beside a saver or a
    // dialog is the title guard's business (it needs X11, where titles are seen).
    struct Row {
        const char* args;
        Outcome outcome;
    };
    for (const Row& r : {Row{"/p 1234", Outcome::Preview}, Row{"/a", Outcome::End}}) {
        FakeSteps f;
        f.lockFree = false;
        EXPECT_EQ(Dispatch(r.args, f).outcome, r.outcome) << r.args;
        EXPECT_EQ(f.calls.front(), "find Orbilon_Main") << r.args;
    }
}

}  // namespace
}  // namespace orbilon

namespace orbilon {
namespace {

// Records what Main does with its plan, after the look-ups of FakeSteps.
struct FakeMain : MainShell {
    FakeSteps steps;
    std::vector<std::string> done;
    bool TakeSaverLock() override { return steps.TakeSaverLock(); }
    bool WindowTitled(const std::string& t) override { return steps.WindowTitled(t); }
    void LoadSettings() override { steps.LoadSettings(); }
    bool RendererPresent() override { return steps.RendererPresent(); }
    void PlacePreview(int32_t handle) override {
        done.push_back("preview " + std::to_string(handle));
    }
    void ShowMessage(const char* text, const char* caption) override {
        done.push_back(std::string("message ") + caption + ": " + text);
    }
    void ShowSettingsDialog() override { done.push_back("dialog"); }
    void UseRealMusic() override { done.push_back("music"); }
    void HideCursor() override { done.push_back("hide"); }
    void LoadSaverHost() override { done.push_back("host"); }
    void End() override { done.push_back("end"); }
};

TEST(RunMain, EachOutcomeReachesItsFormsInOrder) {
    using V = std::vector<std::string>;
    const std::string missing =
        std::string("message Orbilon (ScreenSaver): ") + kMissingRendererText;
    struct Case {
        const char* args;
        bool renderer, host;
        V done;
    } cases[] = {
        {"/s", true, false, {"music", "hide", "host"}},
        {"", true, false, {"music", "host"}},  // the pointer stays
        {"/c", true, false, {"music", "dialog", "end"}},
        {"/p 77", false, false, {"preview 77"}},
        {"/a", true, false, {"end"}},
        {"/s", false, false, {missing, "end"}},
        {"/c", false, false, {missing, "end"}},
        {"/s", true, true, {"end"}},
    };
    for (const Case& c : cases) {
        FakeMain m;
        m.steps.renderer = c.renderer;
        m.steps.host = c.host;
        RunMain(c.args, m);
        EXPECT_EQ(m.done, c.done) << c.args;
    }
}

}  // namespace
}  // namespace orbilon
