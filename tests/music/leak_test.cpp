// Restarts driven straight through the real layer, as fast as an unsynchronised stand-in
// sink lets them run: whatever a restart leaves behind shows as growth between restart 50
// and restart 200, with no waiting for real time.
#include <dirent.h>
#include <gst/gst.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "mci_layer.h"
#include "run_pipeline.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using orbilon::music::CurrentMciApi;

// Bytes handed out by the allocator: unlike the resident size, it is not blurred by pages
// the allocator keeps after a free.
size_t HeapInUse() {
    struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

int OpenFiles() {
    int n = 0;
    DIR* d = opendir("/proc/self/fd");
    while (readdir(d)) ++n;
    closedir(d);
    return n;
}

void PutLe(std::ofstream& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A 16-bit stereo 44.1 kHz WAV header whose data chunk promises `promised` bytes, followed
// by `frames` frames of a tone.
void WriteWav(const fs::path& path, uint32_t promised, int frames) {
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    PutLe(out, 36 + promised, 4);
    out.write("WAVEfmt ", 8);
    for (uint32_t v : {16u, 1u | (2u << 16), 44100u, 44100u * 4, 4u | (16u << 16)})
        PutLe(out, v, 4);
    out.write("data", 4);
    PutLe(out, promised, 4);
    for (int i = 0; i < frames; ++i) {
        const auto v = static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(i * 0.06)));
        PutLe(out, v | (uint32_t{v} << 16), 4);
    }
}

void WriteMp3(const fs::path& path) {
    ASSERT_TRUE(RunPipeline(
        "audiotestsrc num-buffers=43 samplesperbuffer=1024 ! audio/x-raw,rate=44100,channels=2 "
        "! audioconvert ! lamemp3enc ! filesink location=\"" +
        path.string() + "\""));
}

// Three one-second tracks of raw CD audio and their cue sheet.
fs::path WriteDisc(const fs::path& dir) {
    std::ofstream bin(dir / "disc.bin", std::ios::binary);
    std::vector<char> sector(2352 * 75 * 3, 0x11);
    bin.write(sector.data(), sector.size());
    std::ofstream cue(dir / "disc.cue");
    cue << "FILE \"disc.bin\" BINARY\n";
    for (int t = 0; t < 3; ++t)
        cue << "  TRACK 0" << t + 1 << " AUDIO\n    INDEX 01 00:0" << t << ":00\n";
    return dir / "disc.cue";
}

std::string Status(const std::string& command) {
    char reply[64] = {};
    CurrentMciApi().SendString(command, reply, sizeof reply);
    return reply;
}

// Polls until the device reports "stopped"; a bound only against a hang, never a verdict.
void UntilStopped(const std::string& device) {
    for (int i = 0; i < 5000 && Status("status " + device + " mode") != "stopped"; ++i)
        std::this_thread::sleep_for(1ms);
}

class MusicLeak : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        gst_init(nullptr, nullptr);
        setenv("ORBILON_AUDIO_SINK", "fakesink sync=false", 1);
        orbilon::music::UseRealMciLayer();
    }
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("orbilon-leak-" + std::to_string(getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        CurrentMciApi().SendString("close MP3Play", nullptr, 0);
        CurrentMciApi().SendString("close cdaudio", nullptr, 0);
        CurrentMciApi().PlaySound(nullptr, 0);
        fs::remove_all(dir_);
    }

    // Runs `restart` 200 times; the heap in use and the open files at restart 50 and 200.
    template <typename F>
    void Restarts(F restart, size_t& heapGrowth, int& fileGrowth) {
        size_t heap = 0;
        int files = 0;
        for (int i = 1; i <= 200; ++i) {
            restart();
            if (i == 50) {
                heap = HeapInUse();
                files = OpenFiles();
            }
        }
        // A pipeline being torn down may hold its sockets for a moment; a leaked one keeps
        // them for good.
        for (int i = 0; i < 100 && OpenFiles() != files; ++i) std::this_thread::sleep_for(10ms);
        fileGrowth = OpenFiles() - files;
        heapGrowth = HeapInUse() > heap ? HeapInUse() - heap : 0;
    }

    fs::path dir_;
};

// A restart that keeps its bus messages or, for the disc, a whole pipeline keeps 10-20 KB:
// 150 restarts would keep megabytes. Caches that fill once stay far below the bound.
constexpr size_t kGrowthBound = 512 * 1024;

TEST_F(MusicLeak, Mp3RestartsKeepNothing) {
    WriteMp3(dir_ / "one.mp3");
    auto& api = CurrentMciApi();
    ASSERT_EQ(
        api.SendString("open \"" + (dir_ / "one.mp3").string() + "\" type MPEGVideo Alias MP3Play",
                       nullptr, 0),
        0);
    size_t heap = 0;
    int files = 0;
    Restarts(
        [&] {
            api.SendString("stop MP3Play", nullptr, 0);
            ASSERT_EQ(api.SendString("play MP3Play from 0", nullptr, 0), 0);
            UntilStopped("MP3Play");
        },
        heap, files);
    EXPECT_LT(heap, kGrowthBound);
    EXPECT_EQ(files, 0);
}

TEST_F(MusicLeak, CdRestartsKeepNoSocketsAndNoMemory) {
    setenv("ORBILON_CDROM", WriteDisc(dir_).c_str(), 1);
    auto& api = CurrentMciApi();
    ASSERT_EQ(api.SendString("open cdaudio", nullptr, 0), 0);
    api.SendString("set cdaudio time format tmsf", nullptr, 0);
    size_t heap = 0;
    int files = 0;
    Restarts(
        [&] {
            ASSERT_EQ(api.SendString("play cdaudio from 02:00:00:00", nullptr, 0), 0);
            UntilStopped("cdaudio");
        },
        heap, files);
    unsetenv("ORBILON_CDROM");
    EXPECT_LT(heap, kGrowthBound);
    EXPECT_EQ(files, 0);
}

TEST_F(MusicLeak, LoopingWavRequeuesWithoutKeepingMemory) {
    WriteWav(dir_ / "short.wav", 4 * 2205, 2205);  // 50 ms
    auto& api = CurrentMciApi();
    const uint64_t start = orbilon::music::LoopRequeues();
    ASSERT_TRUE(api.PlaySound((dir_ / "short.wav").c_str(), 9));
    const auto requeues = [&] { return orbilon::music::LoopRequeues() - start; };
    for (int i = 0; i < 20000 && requeues() < 50; ++i) std::this_thread::sleep_for(1ms);
    ASSERT_GE(requeues(), 50u);
    const size_t heap = HeapInUse();
    for (int i = 0; i < 30000 && requeues() < 200; ++i) std::this_thread::sleep_for(1ms);
    ASSERT_GE(requeues(), 200u);
    api.PlaySound(nullptr, 0);
    EXPECT_LT(HeapInUse() > heap ? HeapInUse() - heap : 0, kGrowthBound);
}

// A WAV without audio is silence: its loop ends instead of queuing it again at once,
// forever. A spinning loop would requeue thousands of times in the pause below.
TEST_F(MusicLeak, WavWithoutAudioIsNotQueuedAgain) {
    WriteWav(dir_ / "empty-data.wav", 0, 0);
    WriteWav(dir_ / "header-only.wav", 441000, 0);
    WriteWav(dir_ / "one-frame.wav", 4, 1);
    auto& api = CurrentMciApi();
    for (const char* name : {"empty-data.wav", "header-only.wav", "one-frame.wav"}) {
        const uint64_t start = orbilon::music::LoopRequeues();
        EXPECT_TRUE(api.PlaySound((dir_ / name).c_str(), 9)) << name;
        std::this_thread::sleep_for(300ms);
        EXPECT_EQ(orbilon::music::LoopRequeues() - start, 0u) << name;
        api.PlaySound(nullptr, 0);
    }
}

// A file that plays to its end without a sound is not started again.
TEST_F(MusicLeak, FileWithoutAudioRefusesRestarts) {
    WriteWav(dir_ / "header-only.wav", 441000, 0);
    auto& api = CurrentMciApi();
    const std::string open =
        "open \"" + (dir_ / "header-only.wav").string() + "\" type MPEGVideo Alias MP3Play";
    if (api.SendString(open, nullptr, 0) != 0) GTEST_SKIP() << "refused at open already";
    api.SendString("play MP3Play", nullptr, 0);
    UntilStopped("MP3Play");
    EXPECT_NE(api.SendString("play MP3Play from 0", nullptr, 0), 0);
    EXPECT_EQ(Status("status MP3Play mode"), "stopped");
}

}  // namespace
