#include "saver_host.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace orbilon {
namespace {

const char* Name(HostTimer t) {
    switch (t) {
        case HostTimer::Mp3Loop:
            return "Timer1";
        case HostTimer::CdWatch:
            return "Timer2";
        case HostTimer::Poll:
            return "Timer3";
        case HostTimer::MusicRetry:
            return "retry";
    }
    return "?";
}

// One log of everything the host asks of its form and of the music, in order; the renderer
// and the lock answer from fixed facts.
struct Fake : HostShell, HostMusic {
    std::vector<std::string> log;
    bool window = false, processEnded = false, cdAvailable = true, lockFree = false;
    int64_t ms = 0;

    void StartTimer(HostTimer t, int interval) override {
        log.push_back(std::string(Name(t)) + " on " + std::to_string(interval));
    }
    void StopTimer(HostTimer t) override { log.push_back(std::string(Name(t)) + " off"); }
    void Launch() override { log.push_back("launch"); }
    bool RendererWindowPresent() override { return window; }
    bool RendererEnded() override { return processEnded; }
    int64_t MsSinceLaunch() override { return ms; }
    void StopRenderer() override { log.push_back("stop renderer"); }
    void AwaitRenderer() override { log.push_back("await renderer"); }
    void RestoreCursor() override { log.push_back("cursor"); }
    bool TakeMusicLock() override { return lockFree; }
    void End(int status) override { log.push_back("end " + std::to_string(status)); }
    void EndServiceRun() override { log.push_back("end service"); }

    void CdOpen() override { log.push_back("CdOpen"); }
    void CdWatch() override { log.push_back("CdWatch"); }
    bool CdAvailable() override { return cdAvailable; }
    void CdClose() override { log.push_back("CdClose"); }
    void WavPlay() override { log.push_back("WavPlay"); }
    void WavStop() override { log.push_back("WavStop"); }
    void Mp3Open() override { log.push_back("Mp3Open"); }
    void Mp3Loop() override { log.push_back("Mp3Loop"); }
    void Mp3Close() override { log.push_back("Mp3Close"); }

    std::vector<std::string> Take() { return std::exchange(log, {}); }
};

using Log = std::vector<std::string>;

HostConfig Config(int16_t kind, const char* file, const char* args) {
    HostConfig c;
    c.bgmKind = kind;
    c.bgmFile = file;
    c.args = args;
    return c;
}

TEST(SaverHost, AFullScreenRunPlaysUntilTheRenderersWindowIsGone) {
    Fake f;
    SaverHost host(f, f, Config(2, "/m/a.MP3", "/s"));
    host.Load();
    EXPECT_EQ(f.Take(), (Log{"Mp3Open", "Timer1 on 1000", "launch", "Timer3 on 50"}));
    host.Tick(HostTimer::Mp3Loop);
    host.Tick(HostTimer::Poll);  // no window yet: still starting
    f.window = true;
    host.Tick(HostTimer::Poll);
    EXPECT_EQ(f.Take(), (Log{"Mp3Loop"}));
    f.window = false;
    host.Tick(HostTimer::Poll);
    EXPECT_EQ(f.Take(), (Log{"Timer3 off", "Mp3Close", "cursor", "end 0"}));
}

TEST(SaverHost, TheUnloadStopsOnlyWhatRunsAndRestoresOnlyWhatSHid) {
    Fake f;
    SaverHost wav(f, f, Config(2, "x.wav", ""));
    wav.Load();
    EXPECT_EQ(f.Take(), (Log{"WavPlay", "launch", "Timer3 on 50"}));
    wav.QueryUnload();  // closed from outside; no "S": the pointer is not touched
    EXPECT_EQ(f.Take(), (Log{"WavStop", "end 0"}));

    SaverHost cd(f, f, Config(1, "", "-s"));
    cd.Load();
    EXPECT_EQ(f.Take(), (Log{"CdOpen", "Timer2 on 200", "launch", "Timer3 on 50"}));
    cd.Tick(HostTimer::CdWatch);
    cd.QueryUnload();
    EXPECT_EQ(f.Take(), (Log{"CdWatch", "Timer2 off", "CdClose", "cursor", "end 0"}));

    // CD watching that stopped itself is not closed at the end.
    SaverHost lost(f, f, Config(1, "", "/s"));
    lost.Load();
    f.cdAvailable = false;
    lost.Tick(HostTimer::CdWatch);
    f.Take();
    lost.QueryUnload();
    EXPECT_EQ(f.Take(), (Log{"cursor", "end 0"}));
}

TEST(SaverHost, ARendererThatDiesOrNeverComesEndsTheRun) {
    Fake f;
    SaverHost died(f, f, Config(0, "", "/s"));
    died.Load();
    f.Take();
    f.processEnded = true;  // the launch failed, or it crashed before its window
    died.Tick(HostTimer::Poll);
    EXPECT_EQ(f.Take(), (Log{"Timer3 off", "cursor", "end 0"}));

    Fake g;
    SaverHost never(g, g, Config(0, "", "/s"));
    never.Load();
    g.Take();
    g.ms = RendererWatch::kGraceMs - 1;
    never.Tick(HostTimer::Poll);
    EXPECT_TRUE(g.Take().empty());
    g.ms = RendererWatch::kGraceMs;
    never.Tick(HostTimer::Poll);
    EXPECT_EQ(g.Take(), (Log{"Timer3 off", "cursor", "end 0"}));
}

TEST(SaverHost, ASignalEndsTheRendererWhileTheMusicStops) {
    Fake f;
    SaverHost host(f, f, Config(2, "a.mp3", "/S"));
    host.Load();
    f.Take();
    host.EndBySignal();
    EXPECT_EQ(f.Take(), (Log{"Timer3 off", "stop renderer", "Mp3Close", "await renderer", "cursor",
                             "end 0"}));
}

TEST(SaverHost, AServiceRunWatchesItsProcessAndLeavesThePointerAlone) {
    Fake f;
    HostConfig c = Config(2, "a.mp3", "--root");
    c.service = true;
    SaverHost host(f, f, c);
    host.Load();  // the renderer first: the service's window stays black until it draws
    EXPECT_EQ(f.Take(), (Log{"launch", "Mp3Open", "Timer1 on 1000", "Timer3 on 50"}));
    f.window = false;  // no title is looked for
    host.Tick(HostTimer::Poll);
    EXPECT_TRUE(f.Take().empty());
    f.processEnded = true;
    host.Tick(HostTimer::Poll);
    EXPECT_EQ(f.Take(), (Log{"Timer3 off", "Mp3Close", "end service"}));
}

TEST(SaverHost, ARunWithoutTheMusicLockWaitsForItAsLongAsItRuns) {
    Fake f;
    HostConfig c = Config(2, "a.mp3", "--root");
    c.service = true;
    c.music = HostConfig::Music::Later;
    SaverHost host(f, f, c);
    host.Load();
    EXPECT_EQ(f.Take(), (Log{"launch", "Timer3 on 50", "retry on 100"}));
    f.ms = 600000;  // long after any start-up
    host.Tick(HostTimer::MusicRetry);
    EXPECT_TRUE(f.Take().empty());
    f.lockFree = true;
    host.Tick(HostTimer::MusicRetry);
    EXPECT_EQ(f.Take(), (Log{"retry off", "Mp3Open", "Timer1 on 1000"}));
    f.processEnded = true;
    host.Tick(HostTimer::Poll);
    EXPECT_EQ(f.Take(), (Log{"Timer3 off", "Mp3Close", "end service"}));

    // Never taken: nothing of the music is stopped; none: not even waited for.
    Fake g;
    SaverHost waiting(g, g, c);
    waiting.Load();
    g.Take();
    waiting.EndBySignal();
    EXPECT_EQ(g.Take(), (Log{"Timer3 off", "stop renderer", "await renderer", "end 0"}));
    c.music = HostConfig::Music::None;
    SaverHost none(g, g, c);
    none.Load();
    EXPECT_EQ(g.Take(), (Log{"launch", "Timer3 on 50"}));
}

}  // namespace
}  // namespace orbilon
