// The module on the real layer, heard through a file: ORBILON_AUDIO_SINK sends the audio
// to raw 8 kHz mono samples, and each track or file has a tone of its own.
#include <fcntl.h>
#include <gst/gst.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "api_result.h"
#include "mci_layer.h"
#include "orbilon_bgm.h"
#include "run_pipeline.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kRate = 8000;
constexpr int kWindow = 400;  // 50 ms
constexpr double kTones[] = {500, 1000, 2000};

void PutLe(std::ofstream& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// Interleaved 16-bit stereo samples of a sine at 44.1 kHz.
std::vector<int16_t> Sine(double hz, int frames) {
    std::vector<int16_t> s;
    for (int i = 0; i < frames; ++i) {
        auto v = static_cast<int16_t>(12000 * std::sin(2 * M_PI * hz * i / 44100.0));
        s.push_back(v);
        s.push_back(v);
    }
    return s;
}

void WriteWav(const fs::path& path, double hz, double seconds) {
    std::vector<int16_t> s = Sine(hz, static_cast<int>(44100 * seconds));
    std::ofstream out(path, std::ios::binary);
    const uint32_t data = static_cast<uint32_t>(s.size() * 2);
    out.write("RIFF", 4);
    PutLe(out, 36 + data, 4);
    out.write("WAVEfmt ", 8);
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);
    PutLe(out, 2, 2);
    PutLe(out, 44100, 4);
    PutLe(out, 44100 * 4, 4);
    PutLe(out, 4, 2);
    PutLe(out, 16, 2);
    out.write("data", 4);
    PutLe(out, data, 4);
    out.write(reinterpret_cast<const char*>(s.data()), data);
}

// A BIN/CUE image with one second of a different tone on each track.
fs::path WriteDisc(const fs::path& dir) {
    std::ofstream bin(dir / "disc.bin", std::ios::binary);
    std::ofstream cue(dir / "disc.cue");
    cue << "FILE \"disc.bin\" BINARY\n";
    for (int t = 0; t < 3; ++t) {
        std::vector<int16_t> s = Sine(kTones[t], 588 * 75);  // 75 sectors
        bin.write(reinterpret_cast<const char*>(s.data()), s.size() * 2);
        cue << "  TRACK 0" << t + 1 << " AUDIO\n    INDEX 01 00:0" << t << ":00\n";
    }
    return dir / "disc.cue";
}

void WriteMp3(const fs::path& path, double hz, double seconds) {
    ASSERT_TRUE(RunPipeline(
        "audiotestsrc wave=sine volume=0.4 freq=" + std::to_string(hz) +
        " samplesperbuffer=4410 num-buffers=" + std::to_string(static_cast<int>(seconds * 10)) +
        " ! audio/x-raw,rate=44100,channels=2 ! lamemp3enc ! filesink "
        "location=\"" +
        path.string() + "\""));
}

// Per 50 ms of output: the index of the loudest test tone, or -1 for silence.
std::vector<int> Hear(const fs::path& raw) {
    std::ifstream in(raw, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    const size_t n = bytes.size() / 2;
    std::vector<int> heard;
    for (size_t w = 0; w + kWindow <= n; w += kWindow) {
        double best = 0;
        int which = -1;
        for (int t = 0; t < 3; ++t) {
            const double k = 2 * std::cos(2 * M_PI * kTones[t] / kRate);
            double a = 0, b = 0;
            for (int i = 0; i < kWindow; ++i) {
                int16_t v;
                std::memcpy(&v, &bytes[2 * (w + i)], 2);
                const double c = v + k * a - b;
                b = a;
                a = c;
            }
            const double power = a * a + b * b - k * a * b;
            if (power > best) {
                best = power;
                which = t;
            }
        }
        // A full-window tone at our level has a power near 1e13; silence is far below.
        heard.push_back(best > 1e11 ? which : -1);
    }
    return heard;
}

// The longest stretch of near-silent samples between the first and the last loud one.
size_t LongestQuietRun(const fs::path& raw) {
    std::ifstream in(raw, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<int16_t> v(bytes.size() / 2);
    std::memcpy(v.data(), bytes.data(), v.size() * 2);
    const auto loud = [](int16_t x) { return std::abs(x) > 300; };
    auto first = std::find_if(v.begin(), v.end(), loud);
    auto last = std::find_if(v.rbegin(), v.rend(), loud).base();
    size_t longest = 0, run = 0;
    for (auto it = first; it < last; ++it) {
        run = loud(*it) ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return longest;
}

int Count(const std::vector<int>& heard, int tone) {
    return static_cast<int>(std::count(heard.begin(), heard.end(), tone));
}

// The runs of one tone in order, ignoring short stretches below `minWindows`.
std::vector<int> Runs(const std::vector<int>& heard, int minWindows = 3) {
    std::vector<int> runs;
    for (size_t i = 0; i < heard.size();) {
        size_t j = i;
        while (j < heard.size() && heard[j] == heard[i]) ++j;
        if (heard[i] >= 0 && static_cast<int>(j - i) >= minWindows &&
            (runs.empty() || runs.back() != heard[i]))
            runs.push_back(heard[i]);
        i = j;
    }
    return runs;
}

class RealSound : public ::testing::Test {
protected:
    void SetUp() override {
        gst_init(nullptr, nullptr);
        dir_ = fs::temp_directory_path() /
               ("orbilon-music-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        out_ = dir_ / "heard.raw";
        // Appending through a descriptor of our own: a restart flushes the sink, and a
        // file sink would start its file again.
        fd_ = ::open(out_.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        ASSERT_GE(fd_, 0);
        const std::string sink =
            "audio/x-raw,format=S16LE,rate=8000,channels=1 ! fdsink sync=true fd=" +
            std::to_string(fd_);
        setenv("ORBILON_AUDIO_SINK", sink.c_str(), 1);
        UseRealMciLayer();
    }
    void TearDown() override {
        Orbilon_BGM::Mp3Close();
        Orbilon_BGM::WavStop();
        Orbilon_BGM::CdClose();
        unsetenv("ORBILON_CDROM");
        ::close(fd_);
        fs::remove_all(dir_);
    }

    // Calls `step` every `period` until `done` holds for what was heard, or 30 s pass.
    template <typename Step, typename Done>
    std::vector<int> Until(Step step, std::chrono::milliseconds period, Done done) {
        const auto end = Clock::now() + 30s;
        std::vector<int> heard;
        while (Clock::now() < end) {
            step();
            std::this_thread::sleep_for(period);
            heard = Hear(out_);
            if (done(heard)) break;
        }
        return heard;
    }

    fs::path dir_;
    fs::path out_;
    int fd_ = -1;
};

TEST_F(RealSound, WholeDiscPlaysAndStartsAgainAfterItsEnd) {
    setenv("ORBILON_CDROM", WriteDisc(dir_).c_str(), 1);
    Orbilon_BGM::CdOpen();
    auto heard = Until([] { Orbilon_BGM::CdWatch(0); }, 200ms,
                       [](const std::vector<int>& h) { return Runs(h).size() >= 4; });
    EXPECT_EQ(Orbilon_BGM::CdAvailable, -1);
    std::vector<int> runs = Runs(heard);
    ASSERT_GE(runs.size(), 4u);
    EXPECT_EQ(std::vector<int>(runs.begin(), runs.begin() + 4), (std::vector<int>{0, 1, 2, 0}));
}

TEST_F(RealSound, RepeatTrackPlaysOnlyThatTrackAgainAndAgain) {
    setenv("ORBILON_CDROM", WriteDisc(dir_).c_str(), 1);
    Orbilon_BGM::CdOpen();
    // Track 2 lasts 20 windows; three times that means it was started again.
    auto heard = Until([] { Orbilon_BGM::CdWatch(2); }, 200ms,
                       [](const std::vector<int>& h) { return Count(h, 1) >= 60; });
    EXPECT_EQ(Orbilon_BGM::CdAvailable, -1);
    EXPECT_GE(Count(heard, 1), 60);
    EXPECT_EQ(Count(heard, 0), 0);
    // Between two runs only the watch interval's worth of track 3 leaks through.
    EXPECT_LT(Count(heard, 2), Count(heard, 1) / 2);
}

TEST_F(RealSound, NoDiscABadImageOrAMissingTrackStaySilent) {
    for (const std::string source : {"/nonexistent/disc.cue", "garbage.cue", ""}) {
        fs::path p = dir_ / "garbage.cue";
        std::ofstream(p) << "FILE \"missing.bin\" BINARY\n  TRACK 01 AUDIO\n";
        setenv("ORBILON_CDROM", source == "garbage.cue" ? p.c_str() : source.c_str(), 1);
        if (source.empty()) unsetenv("ORBILON_CDROM");  // the default drive: none here
        Orbilon_BGM::CdOpen();
        Orbilon_BGM::CdWatch(0);
        if (!source.empty()) {
            EXPECT_EQ(Orbilon_BGM::CdAvailable, 0) << source;
        }
        Orbilon_BGM::CdClose();
    }
    // A repeat track the disc lacks: the watch goes on, the disc never starts.
    setenv("ORBILON_CDROM", WriteDisc(dir_).c_str(), 1);
    Orbilon_BGM::CdOpen();
    for (int i = 0; i < 5; ++i) {
        Orbilon_BGM::CdWatch(5);
        EXPECT_EQ(Orbilon_BGM::CdAvailable, -1);
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_TRUE(Hear(out_).empty());
}

TEST_F(RealSound, Mp3PlaysAndRestartsAfterItsEnd) {
    // A blank in the folder name, as in a typical music path.
    fs::create_directories(dir_ / "my music");
    const std::string file = (dir_ / "my music" / "tone.mp3").string();
    WriteMp3(file, 1000, 1.0);
    Orbilon_BGM::Mp3Open(file);
    bool playing = false;
    auto heard = Until(
        [&] {
            playing = playing || Orbilon_BGM::Mp3IsPlaying();
            Orbilon_BGM::Mp3Loop();
        },
        250ms, [](const std::vector<int>& h) { return Count(h, 1) >= 50; });
    EXPECT_TRUE(playing);
    EXPECT_GE(Count(heard, 1), 50);  // 2.5 s of a 1 s file
    Orbilon_BGM::Mp3Close();
    const auto size = fs::file_size(out_);
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(fs::file_size(out_), size);
}

TEST_F(RealSound, WavLoopsUntilStopped) {
    const std::string file = (dir_ / "tone.wav").string();
    WriteWav(file, 2000, 0.5);
    Orbilon_BGM::WavPlay(file);
    EXPECT_EQ(LastApiResult, 1);
    auto heard = Until([] {}, 200ms, [](const std::vector<int>& h) { return Count(h, 2) >= 40; });
    EXPECT_GE(Count(heard, 2), 40);  // 2 s of a 0.5 s file
    EXPECT_EQ(Count(heard, 0) + Count(heard, 1), 0);
    // 2 kHz at 8 kHz is loud every other sample: a gap at a join would show as a quiet run.
    EXPECT_LE(LongestQuietRun(out_), 3u);
    Orbilon_BGM::WavStop();
    const auto size = fs::file_size(out_);
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(fs::file_size(out_), size);
}

TEST_F(RealSound, BadMusicFilesStaySilent) {
    auto& api = orbilon::music::CurrentMciApi();
    WriteMp3(dir_ / "good.mp3", 500, 1.0);
    const auto good = fs::file_size(dir_ / "good.mp3");
    {
        std::ifstream in(dir_ / "good.mp3", std::ios::binary);
        std::string head(200, '\0');
        in.read(head.data(), head.size());
        std::ofstream(dir_ / "truncated.mp3", std::ios::binary) << head;
    }
    std::ofstream(dir_ / "empty.mp3");
    std::ofstream(dir_ / "text.mp3") << std::string(4000, 'x');
    fs::create_directories(dir_ / "folder.mp3");
    fs::copy_file(dir_ / "good.mp3", dir_ / "quote\" type cdaudio.mp3");
    ASSERT_GT(good, 200u);

    for (const char* name : {"missing.mp3", "empty.mp3", "text.mp3", "folder.mp3", "truncated.mp3",
                             "quote\" type cdaudio.mp3"}) {
        const std::string file = (dir_ / name).string();
        const std::string open = "open \"" + file + "\" type MPEGVideo Alias Probe";
        const int32_t code = api.SendString(open, nullptr, 0);
        if (code == 0) {
            // Only a decoder can tell these are no music; on a slow machine its verdict may
            // come after the open's time bound, but it must stop the file before any sound.
            EXPECT_TRUE(std::string(name) == "text.mp3" || std::string(name) == "truncated.mp3")
                << name;
            api.SendString("play Probe", nullptr, 0);
            char mode[32] = "playing";
            for (int i = 0; i < 100 && std::string(mode) == "playing"; ++i) {
                std::this_thread::sleep_for(50ms);
                api.SendString("status Probe mode", mode, sizeof mode);
            }
            EXPECT_STREQ(mode, "stopped") << name;
        }
        api.SendString("close Probe", nullptr, 0);
        Orbilon_BGM::Mp3Open(file);
        for (int i = 0; i < 3; ++i) Orbilon_BGM::Mp3Loop();
        Orbilon_BGM::Mp3Close();
        // A wav path the layer refuses: the loop never starts.
        EXPECT_FALSE(api.PlaySound(file.c_str(), 9)) << name;
    }
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(Count(Hear(out_), 0), 0);
}

}  // namespace
