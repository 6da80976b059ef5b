#include "service_core.h"

#include <gtest/gtest.h>

namespace orbilon {
namespace {

using Args = std::vector<std::string>;

TEST(ServiceStart, RootTakesTheServicesWindowOrTheRoot) {
    for (const char* flag : {"--root", "-root"}) {
        ServiceStart s = ReadServiceStart({flag}, nullptr);
        EXPECT_EQ(s.kind, ServiceKind::Root);
        EXPECT_EQ(s.window, 0u);  // the screen's root window
        s = ReadServiceStart({flag}, "");
        EXPECT_EQ(s.kind, ServiceKind::Root);
        EXPECT_EQ(s.window, 0u);
        s = ReadServiceStart({flag}, "0x400001");
        EXPECT_EQ(s.kind, ServiceKind::Root);
        EXPECT_EQ(s.window, 0x400001u);
        EXPECT_EQ(ReadServiceStart({flag}, "4194305").window, 0x400001u);
    }
    // Options the user added to the hack's command line are left alone.
    EXPECT_EQ(ReadServiceStart({"-fps", "--root", "-delay", "3"}, "12").window, 12u);
}

TEST(ServiceStart, PaneTakesItsArgumentOverRootAndTheVariable) {
    for (const Args& args : {Args{"--window-id", "0x40000a"}, Args{"-window-id", "4194314"},
                             Args{"--window-id=0x40000a"}, Args{"-window-id=4194314"},
                             Args{"--root", "--window-id", "0x40000a"}}) {
        const ServiceStart s = ReadServiceStart(args, "0x999");
        EXPECT_EQ(s.kind, ServiceKind::Pane) << args[0];
        EXPECT_EQ(s.window, 0x40000au) << args[0];
    }
}

TEST(ServiceStart, AnUnreadableWindowIsOneLineOfError) {
    struct Row {
        Args args;
        const char* target;
    };
    for (const Row& r :
         {Row{{"--root"}, "zero"}, Row{{"--root"}, "0"}, Row{{"-root"}, "0x12\nrm -rf"},
          Row{{"--window-id"}, nullptr}, Row{{"--window-id", "pane"}, "0x10"},
          Row{{"--window-id="}, nullptr}, Row{{"--window-id", ""}, nullptr}}) {
        const ServiceStart s = ReadServiceStart(r.args, r.target);
        EXPECT_EQ(s.kind, ServiceKind::BadWindow) << r.args[0];
        EXPECT_EQ(s.error.rfind("Orbilon.scr: ", 0), 0u) << s.error;
        EXPECT_EQ(s.error.find('\n'), std::string::npos) << s.error;
    }
}

TEST(ServiceStart, TheDesignsSwitchesAreNoServiceStart) {
    for (const Args& args : {Args{}, Args{"/s"}, Args{"/c"}, Args{"/p", "1234"}, Args{"-s"},
                             Args{"/root"}, Args{"root"}, Args{"--rooted"}, Args{"/s", "-r"}}) {
        // A stray variable does not turn a design run into a service run.
        EXPECT_EQ(ReadServiceStart(args, "0x400001").kind, ServiceKind::None);
    }
}

TEST(ServiceStart, TheRendererGetsExactlyTheTargetItIsGiven) {
    const Args env = {"HOME=/h", "XSCREENSAVER_WINDOW=0x55", "PATH=/bin", "XSCREENSAVER_WINDOWS=x",
                      "XSCREENSAVER_WINDOW=9"};
    EXPECT_EQ(RendererEnvironment(env, std::nullopt),
              (Args{"HOME=/h", "PATH=/bin", "XSCREENSAVER_WINDOWS=x"}));
    EXPECT_EQ(
        RendererEnvironment(env, 0x1e00007u),
        (Args{"HOME=/h", "PATH=/bin", "XSCREENSAVER_WINDOWS=x", "XSCREENSAVER_WINDOW=0x1E00007"}));
}

TEST(ServiceLocks, OneLockPerDisplayWhateverTheScreen) {
    for (const char* same : {":0", ":0.0", ":0.1", "unix:0", "unix:0.2"})
        EXPECT_EQ(DisplayKey(same), "0") << same;
    EXPECT_EQ(DisplayKey(":10"), "10");
    EXPECT_EQ(DisplayKey("localhost:10.0"), "localhost_10");
    EXPECT_EQ(DisplayKey("[::1]:3"), "___1__3");
    EXPECT_EQ(DisplayKey("/tmp/../x:0"), "_tmp_.._x_0");  // never leaves the folder
    EXPECT_EQ(DisplayKey(""), "_");
    EXPECT_EQ(LockPath("/run/user/1000", 1000, "music", ":0.1"),
              "/run/user/1000/orbilon-music-0.lock");
    EXPECT_EQ(LockPath("", 1000, "saver", ":2"), "/tmp/orbilon-1000-saver-2.lock");
    // An unwritable runtime folder falls back to the file every process of the user finds.
    EXPECT_EQ(LockPaths("/run/user/0", 1000, "music", ":0"),
              (std::vector<std::string>{"/run/user/0/orbilon-music-0.lock",
                                        "/tmp/orbilon-1000-music-0.lock"}));
    EXPECT_EQ(LockPaths("", 7, "music", ":1"),
              (std::vector<std::string>{"/tmp/orbilon-7-music-1.lock"}));
}

}  // namespace
}  // namespace orbilon
