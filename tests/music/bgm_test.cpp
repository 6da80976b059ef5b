// The music module against a scripted layer: which texts it sends, in which order, and
// what it makes of the replies.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "api_result.h"
#include "mci_api.h"
#include "orbilon_bgm.h"

namespace {

using ::testing::ElementsAre;
using namespace Orbilon_BGM;

struct Sent {
    std::string command;
    uint32_t size;
    bool operator==(const Sent&) const = default;
};

class ScriptedLayer final : public orbilon::music::MciApi {
public:
    struct Answer {
        int32_t code = 0;
        std::string reply;
    };
    std::map<std::string, Answer> answers;
    std::vector<Sent> sent;
    std::vector<std::pair<std::string, uint32_t>> sounds;
    bool errorTexts = true;
    int32_t devices = 1;

    int32_t SendString(std::string_view command, char* reply, uint32_t size) override {
        sent.push_back({std::string(command), size});
        Answer a = answers.count(sent.back().command) ? answers[sent.back().command] : Answer{};
        if (reply && size > 0) std::snprintf(reply, size, "%s", a.reply.c_str());
        return a.code;
    }
    bool GetErrorString(int32_t code, char* text, uint32_t size) override {
        if (!errorTexts) return false;
        std::snprintf(text, size, "text of %d", code);
        return true;
    }
    int32_t WaveOutGetNumDevs() override { return devices; }
    bool PlaySound(const char* sound, uint32_t flags) override {
        sounds.emplace_back(sound ? sound : "<none>", flags);
        return true;
    }
    std::vector<std::string> Commands() const {
        std::vector<std::string> out;
        for (const Sent& s : sent) out.push_back(s.command);
        return out;
    }
};

class BgmTest : public ::testing::Test {
protected:
    void SetUp() override {
        orbilon::music::SetMciApi(&layer);
        LastApiResult = 12345;
        std::memset(CdMode, 0, sizeof CdMode);
    }
    void TearDown() override { orbilon::music::SetMciApi(nullptr); }

    // A disc of `tracks` tracks whose drive is on `track`, in `mode`.
    void Disc(const std::string& track, const std::string& mode, int tracks = 12) {
        layer.answers["status cdaudio current track"] = {0, track};
        layer.answers["status cdaudio number of tracks"] = {0, std::to_string(tracks)};
        layer.answers["status cdaudio mode"] = {0, mode};
        for (int t = 1; t <= tracks; ++t) {
            char pos[24];
            std::snprintf(pos, sizeof pos, "%02d:00:00:00", t);
            layer.answers["status cdaudio position track " + std::to_string(t)] = {0, pos};
        }
    }

    ScriptedLayer layer;
    int16_t repeatTrack = 0;
    std::string file;
};

TEST_F(BgmTest, OpenAndCloseSendTheirCommandsWithoutReplyBuffers) {
    layer.answers["set cdaudio time format tmsf"] = {276, ""};
    CdOpen();
    EXPECT_EQ(LastApiResult, 276);
    CdClose();
    EXPECT_EQ(LastApiResult, 0);
    file = "/music/my song.mp3";
    Mp3Open(file);
    Mp3Close();
    EXPECT_THAT(
        layer.sent,
        ElementsAre(Sent{"open cdaudio", 0}, Sent{"set cdaudio time format tmsf", 0},
                    Sent{"stop cdaudio", 0}, Sent{"close cdaudio", 0},
                    Sent{"open \"/music/my song.mp3\" type MPEGVideo Alias MP3Play", 0},
                    Sent{"play MP3Play", 0}, Sent{"stop MP3Play", 0}, Sent{"close MP3Play", 0}));
}

TEST_F(BgmTest, FailedMp3OpenSendsNoPlayAndLoopKeepsTrying) {
    file = "/gone.mp3";
    layer.answers["open \"/gone.mp3\" type MPEGVideo Alias MP3Play"] = {275, ""};
    layer.answers["status MP3Play mode"] = {263, ""};
    Mp3Open(file);
    Mp3Loop();
    EXPECT_EQ(LastApiResult, 12345);  // file commands leave it alone
    EXPECT_THAT(layer.Commands(),
                ElementsAre("open \"/gone.mp3\" type MPEGVideo Alias MP3Play",
                            "status MP3Play mode", "stop MP3Play", "play MP3Play from 0"));
}

TEST_F(BgmTest, Mp3LoopRestartsOnlyWhenNotPlaying) {
    layer.answers["status MP3Play mode"] = {0, "playing"};
    Mp3Loop();
    EXPECT_TRUE(Mp3IsPlaying());
    layer.answers["status MP3Play mode"] = {0, "stopped"};
    Mp3Loop();
    layer.answers["status MP3Play mode"] = {0, "paused"};
    EXPECT_FALSE(Mp3IsPlaying());
    EXPECT_THAT(layer.sent,
                ElementsAre(Sent{"status MP3Play mode", 30}, Sent{"status MP3Play mode", 30},
                            Sent{"status MP3Play mode", 30}, Sent{"stop MP3Play", 0},
                            Sent{"play MP3Play from 0", 0}, Sent{"status MP3Play mode", 30}));
}

TEST_F(BgmTest, WavPlaysLoopingOnlyWithAnOutputDevice) {
    file = "/a/loop.wav";
    layer.devices = 0;
    WavPlay(file);
    EXPECT_TRUE(layer.sounds.empty());
    EXPECT_EQ(LastApiResult, 12345);
    layer.devices = 2;
    WavPlay(file);
    WavStop();
    EXPECT_EQ(LastApiResult, 1);
    EXPECT_THAT(layer.sounds, ElementsAre(std::pair<std::string, uint32_t>{"/a/loop.wav", 9},
                                          std::pair<std::string, uint32_t>{"<none>", 0}));
    EXPECT_TRUE(layer.sent.empty());
}

TEST_F(BgmTest, CommandQueryAndPlayReportCodesAndTexts) {
    std::string reply;
    EXPECT_EQ(MciCommand("", reply), -1);
    EXPECT_EQ(reply, "コマンド文字列が指定されていません");
    EXPECT_EQ(MciQuery(""), "Error:-1");
    EXPECT_TRUE(layer.sent.empty());

    layer.answers["status x mode"] = {263, ""};
    EXPECT_EQ(MciCommand("status x mode", reply), 263);
    EXPECT_EQ(reply, "text of 263");
    EXPECT_EQ(LastApiResult, 263);
    layer.errorTexts = false;
    EXPECT_EQ(MciQuery("status x mode"), "Error:263");
    EXPECT_EQ(ReplySlot, "Error (文字列が取れません)");

    layer.answers["status y mode"] = {0, "playing"};
    EXPECT_EQ(MciQuery("status y mode"), "playing");
    EXPECT_EQ(ReplySlot, "playing");

    MciPlay("cdaudio", "", "");
    MciPlay("cdaudio", "02:00:00:00", "");
    MciPlay("cdaudio", "", "03");
    MciPlay("cdaudio", "1", "2");
    EXPECT_THAT(layer.sent, ElementsAre(Sent{"status x mode", 512}, Sent{"status x mode", 512},
                                        Sent{"status y mode", 512}, Sent{"play cdaudio", 512},
                                        Sent{"play cdaudio from 02:00:00:00", 512},
                                        Sent{"play cdaudio to 03", 512},
                                        Sent{"play cdaudio from 1 to 2", 512}));
}

TEST_F(BgmTest, WatchWholeDiscPlaysOnOnlyWhenStopped) {
    Disc("4", "playing");
    CdWatch(repeatTrack);
    EXPECT_EQ(CdAvailable, -1);
    Disc("4", "stopped");
    CdWatch(repeatTrack);
    EXPECT_EQ(CdAvailable, -1);
    EXPECT_THAT(
        layer.sent,
        ElementsAre(Sent{"status cdaudio current track", 512},
                    Sent{"status cdaudio number of tracks", 512}, Sent{"status cdaudio mode", 255},
                    Sent{"status cdaudio current track", 512},
                    Sent{"status cdaudio number of tracks", 512}, Sent{"status cdaudio mode", 255},
                    Sent{"play cdaudio", 512}));
}

TEST_F(BgmTest, WatchRepeatTrackRestartsItWhenLeftOrStopped) {
    repeatTrack = 3;
    const auto plays = [&] {
        std::vector<std::string> p;
        for (const auto& c : layer.Commands()) {
            if (c.rfind("play", 0) == 0 || c.rfind("status cdaudio position", 0) == 0)
                p.push_back(c);
        }
        layer.sent.clear();
        return p;
    };
    Disc("3", "playing");
    CdWatch(repeatTrack);
    EXPECT_TRUE(plays().empty());
    Disc("4", "playing");
    CdWatch(repeatTrack);
    EXPECT_THAT(plays(),
                ElementsAre("status cdaudio position track 3", "play cdaudio from 03:00:00:00"));
    Disc("3", "stopped");
    CdWatch(repeatTrack);
    EXPECT_THAT(plays(),
                ElementsAre("status cdaudio position track 3", "play cdaudio from 03:00:00:00"));
    EXPECT_EQ(CdAvailable, -1);

    // A track the disc lacks: the error text travels into the play command, which fails.
    repeatTrack = 25;
    Disc("1", "stopped");
    layer.answers["status cdaudio position track 25"] = {282, ""};
    layer.answers["play cdaudio from Error:282"] = {270, ""};
    CdWatch(repeatTrack);
    EXPECT_THAT(plays(),
                ElementsAre("status cdaudio position track 25", "play cdaudio from Error:282"));
    EXPECT_EQ(CdAvailable, -1);
}

TEST_F(BgmTest, WatchEndsOnErrorsAndOnATrackThatIsNoNumber) {
    // No disc: the first query fails and nothing else is sent.
    layer.answers["status cdaudio current track"] = {276, ""};
    CdWatch(repeatTrack);
    EXPECT_EQ(CdAvailable, 0);
    EXPECT_THAT(layer.Commands(), ElementsAre("status cdaudio current track"));

    layer.sent.clear();
    Disc("2", "stopped");
    layer.answers["status cdaudio number of tracks"] = {257, ""};
    CdWatch(repeatTrack);
    EXPECT_EQ(CdAvailable, 0);
    EXPECT_EQ(layer.sent.size(), 2u);

    // A reply that merely says "error" counts as one.
    layer.sent.clear();
    Disc("device error", "playing");
    CdWatch(repeatTrack);
    EXPECT_EQ(CdAvailable, 0);
    EXPECT_EQ(layer.sent.size(), 1u);

    // Not a number: fine for the whole disc, fatal with a repeat track, stopped or not.
    Disc("two", "stopped");
    CdWatch(repeatTrack);
    EXPECT_EQ(CdAvailable, -1);
    repeatTrack = 2;
    layer.sent.clear();
    CdWatch(repeatTrack);
    EXPECT_EQ(CdAvailable, 0);
    EXPECT_THAT(layer.Commands(),
                ElementsAre("status cdaudio current track", "status cdaudio number of tracks",
                            "status cdaudio mode"));
    Disc(" 2 ", "playing");
    CdWatch(repeatTrack);
    EXPECT_EQ(CdAvailable, -1);
}

TEST_F(BgmTest, WatchComparesOnlyTheFirstSevenModeCharacters) {
    Disc("1", "stopped and more");
    CdWatch(repeatTrack);
    EXPECT_EQ(layer.Commands().back(), "play cdaudio");
    layer.sent.clear();
    Disc("1", "stop");
    CdWatch(repeatTrack);
    EXPECT_EQ(layer.Commands().back(), "status cdaudio mode");
}

// With no layer installed every command fails quietly.
TEST(BgmSilent, NoLayerMeansNoMusicAndNoCrash) {
    orbilon::music::SetMciApi(nullptr);
    CdOpen();
    CdWatch(0);
    EXPECT_EQ(CdAvailable, 0);
    WavPlay("x.wav");
    Mp3Open("x.wav");
    Mp3Loop();
    EXPECT_FALSE(Mp3IsPlaying());
}

}  // namespace
