#include "idle_core.h"

#include <gtest/gtest.h>

namespace idle {
namespace {

Options Parse(std::vector<std::string> args) {
    return ParseArguments(args);
}

TEST(IdleArguments, ActionsAndIdleTimes) {
    EXPECT_EQ(Parse({}).action, Action::Watch);
    EXPECT_FALSE(Parse({}).seconds);
    EXPECT_EQ(Parse({"--minutes", "3"}).seconds, 180);
    EXPECT_EQ(Parse({"--seconds=5"}).seconds, 5);
    const Options enable = Parse({"--enable", "--minutes=1440"});
    EXPECT_EQ(enable.action, Action::Enable);
    EXPECT_EQ(enable.seconds, kMaxSeconds);
    EXPECT_EQ(Parse({"--disable"}).action, Action::Disable);
    EXPECT_EQ(Parse({"--seconds", "9", "--help"}).action, Action::Help);
}

TEST(IdleArguments, RefusesWhatItCannotHonour) {
    // 0 would start the saver at once; past a day the protocols' 32-bit milliseconds are near.
    for (const auto& bad :
         std::vector<std::vector<std::string>>{{"--minutes", "0"},
                                               {"--minutes", "1441"},
                                               {"--seconds", "86401"},
                                               {"--seconds", "-5"},
                                               {"--seconds", "+5"},
                                               {"--seconds", "5s"},
                                               {"--seconds", ""},
                                               {"--minutes", "99999999999999999999"},
                                               {"--minutes"},
                                               {"--enable=yes"},
                                               {"--enable", "--disable"},
                                               {"--disable", "--minutes", "3"},
                                               {"10"},
                                               {"-s"}}) {
        EXPECT_FALSE(Parse(bad).error.empty()) << bad[0];
    }
}

TEST(IdleConfig, ReadsWhatEnableWritesAndRejectsTheRest) {
    EXPECT_EQ(ParseConfig(FormatConfig(42)).seconds, 42);
    EXPECT_TRUE(ParseConfig(FormatConfig(42)).error.empty());
    // A file left empty by hand still turns the watcher on, at the default time.
    EXPECT_EQ(ParseConfig("").seconds, kDefaultSeconds);
    EXPECT_EQ(ParseConfig("\r\n  seconds = 7 \r\n# x\n").seconds, 7);
    EXPECT_EQ(ParseConfig("seconds=0\n").error, "line 1: expected seconds=1..86400");
    EXPECT_EQ(ParseConfig("# c\nminutes=3\n").error, "line 2: expected seconds=1..86400");
    EXPECT_FALSE(ParseConfig("seconds\n").error.empty());
}

TEST(IdleConfig, PathFollowsTheXdgRules) {
    EXPECT_EQ(ConfigPath("/x/cfg", "/home/u"), "/x/cfg/orbilon/idle.conf");
    EXPECT_EQ(ConfigPath("relative", "/home/u"), "/home/u/.config/orbilon/idle.conf");
    EXPECT_EQ(ConfigPath(nullptr, "/home/u"), "/home/u/.config/orbilon/idle.conf");
    EXPECT_EQ(ConfigPath("", ""), "");
}

TEST(IdleSource, PrefersTheWaylandProtocolsThatNeedASeat) {
    EXPECT_EQ(ChooseSource({.seat = true,
                            .ext_idle_notifier = true,
                            .kde_idle = true,
                            .mutter_idle_monitor = true}),
              Source::ExtIdleNotify);
    EXPECT_EQ(ChooseSource({.seat = true, .kde_idle = true, .mutter_idle_monitor = true}),
              Source::KdeIdle);
    EXPECT_EQ(ChooseSource({.ext_idle_notifier = true, .mutter_idle_monitor = true}),
              Source::MutterIdleMonitor);
    EXPECT_EQ(ChooseSource({.ext_idle_notifier = true, .kde_idle = true}), Source::None);
}

TEST(IdleWatcher, OneStartPerIdlePeriodAndOneSaverAtATime) {
    Watcher w(false);
    EXPECT_EQ(w.OnIdle(), Step::StartSaver);
    w.OnSaverStarted(true);
    EXPECT_EQ(w.OnIdle(), Step::None);  // a repeated notification
    w.OnResumed();
    // Idle again while the saver still runs (the user moved the pointer a little).
    EXPECT_EQ(w.OnIdle(), Step::None);
    w.OnSaverEnded();
    w.OnResumed();
    EXPECT_EQ(w.OnIdle(), Step::StartSaver);
    // A saver that failed or ended by itself is not restarted before the user is back.
    w.OnSaverStarted(false);
    EXPECT_EQ(w.OnIdle(), Step::None);
    w.OnResumed();
    EXPECT_EQ(w.OnIdle(), Step::StartSaver);
}

TEST(IdleWatcher, AsksTheSessionManagerWhereTheSourceIgnoresInhibitors) {
    Watcher w(true);
    EXPECT_EQ(w.OnIdle(), Step::AskInhibited);
    EXPECT_EQ(w.OnInhibited(true), Step::None);
    EXPECT_EQ(w.OnInhibited(false), Step::None);  // no question out
    w.OnResumed();
    EXPECT_EQ(w.OnIdle(), Step::AskInhibited);
    EXPECT_EQ(w.OnInhibited(false), Step::StartSaver);
    w.OnSaverStarted(true);
    w.OnSaverEnded();
    w.OnResumed();
    // The user came back before the answer did.
    EXPECT_EQ(w.OnIdle(), Step::AskInhibited);
    w.OnResumed();
    EXPECT_EQ(w.OnInhibited(false), Step::None);
}

}  // namespace
}  // namespace idle
