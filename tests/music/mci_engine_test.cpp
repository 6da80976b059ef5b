// The layer's device table and replies over scripted media.
#include "mci_engine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "mci_errors.h"

namespace {

using namespace orbilon::music;
namespace fs = std::filesystem;

struct DriveState {
    bool disc = true;
    bool busy = false;
    int32_t frame = 0;
    std::vector<std::pair<int32_t, int32_t>> plays;
    int stops = 0;
};

class FakeDrive final : public CdDrive {
public:
    explicit FakeDrive(DriveState& s) : s_(s) { toc_.starts = {0, 750, 1500, 2250}; }
    const Toc* ReadToc() override { return s_.disc ? &toc_ : nullptr; }
    bool Play(int32_t from, int32_t to) override {
        s_.plays.emplace_back(from, to);
        s_.busy = true;
        s_.frame = from;
        return true;
    }
    void Stop() override {
        ++s_.stops;
        s_.busy = false;
    }
    void Pause() override {}
    void Resume() override {}
    bool Busy() override { return s_.busy; }
    int32_t Frame() override { return s_.frame; }

private:
    DriveState& s_;
    Toc toc_;
};

struct FileState {
    MediaMode mode = MediaMode::Stopped;
    std::vector<std::pair<int64_t, bool>> plays;
    int32_t openError = 0;
    std::vector<std::string> loops;
};

class FakeFile final : public MediaFile {
public:
    explicit FakeFile(FileState& s) : s_(s) {}
    bool Play(int64_t from, bool restart) override {
        s_.plays.emplace_back(from, restart);
        s_.mode = MediaMode::Playing;
        return true;
    }
    void Stop() override { s_.mode = MediaMode::Stopped; }
    void Pause() override { s_.mode = MediaMode::Paused; }
    MediaMode Mode() override { return s_.mode; }
    int64_t PositionMs() override { return 250; }
    int64_t LengthMs() override { return 1000; }

private:
    FileState& s_;
};

class FakeBackend final : public Backend {
public:
    FakeBackend(bool drive, DriveState& d, FileState& f) : drive_(drive), d_(d), f_(f) {}
    std::unique_ptr<CdDrive> OpenCd(int32_t& error) override {
        if (!drive_) {
            error = kErrDeviceNotReady;
            return nullptr;
        }
        return std::make_unique<FakeDrive>(d_);
    }
    std::unique_ptr<MediaFile> OpenFile(const std::string&, int32_t& error) override {
        if ((error = f_.openError) != 0) return nullptr;
        return std::make_unique<FakeFile>(f_);
    }
    int32_t OutputDevices() override { return 1; }
    bool StartLoop(const std::string& path) override {
        f_.loops.push_back(path);
        return true;
    }
    void StopLoop() override { f_.loops.push_back("stop"); }

private:
    bool drive_;
    DriveState& d_;
    FileState& f_;
};

class Engine : public ::testing::Test {
protected:
    MciEngine& Make(bool drive = true) {
        engine_ = std::make_unique<MciEngine>(std::make_unique<FakeBackend>(drive, drive_, file_));
        return *engine_;
    }
    // Sends and returns "code reply".
    std::string Ask(const std::string& command) {
        char reply[64];
        int32_t code = engine_->SendString(command, reply, sizeof reply);
        return std::to_string(code) + (reply[0] ? " " + std::string(reply) : "");
    }

    DriveState drive_;
    FileState file_;
    std::unique_ptr<MciEngine> engine_;
};

TEST_F(Engine, NoDriveOrNoDiscAnswersAsTheModuleExpects) {
    Make(false);
    EXPECT_EQ(Ask("open cdaudio"), "276");
    EXPECT_EQ(Ask("status cdaudio current track"), "263");
    Make(true);
    drive_.disc = false;
    EXPECT_EQ(Ask("open cdaudio"), "0");
    EXPECT_EQ(Ask("open cdaudio"), "265");
    EXPECT_EQ(Ask("status cdaudio mode"), "0 not ready");
    EXPECT_EQ(Ask("status cdaudio current track"), "276");
    EXPECT_EQ(Ask("play cdaudio"), "276");
    EXPECT_TRUE(drive_.plays.empty());
}

TEST_F(Engine, TracksAndPositionsInTmsf) {
    Make();
    Ask("open cdaudio");
    EXPECT_EQ(Ask("status cdaudio position"), "0 00:02:00");  // msf until told otherwise
    EXPECT_EQ(Ask("set cdaudio time format tmsf"), "0");
    EXPECT_EQ(Ask("status cdaudio number of tracks"), "0 3");
    EXPECT_EQ(Ask("status cdaudio current track"), "0 1");
    EXPECT_EQ(Ask("status cdaudio mode"), "0 stopped");
    EXPECT_EQ(Ask("status cdaudio position track 2"), "0 02:00:00:00");
    EXPECT_EQ(Ask("status cdaudio position track 4"), "282");
    EXPECT_EQ(Ask("status cdaudio position track 0"), "282");
    EXPECT_EQ(Ask("status cdaudio length track 3"), "0 00:10:00");

    EXPECT_EQ(Ask("play cdaudio from 02:00:00:00"), "0");
    EXPECT_EQ(drive_.plays.back(), (std::pair<int32_t, int32_t>{750, 2250}));
    drive_.frame = 1500 + 75 * 3 + 7;
    EXPECT_EQ(Ask("status cdaudio mode"), "0 playing");
    EXPECT_EQ(Ask("status cdaudio current track"), "0 3");
    EXPECT_EQ(Ask("status cdaudio position"), "0 03:00:03:07");
    EXPECT_EQ(Ask("play cdaudio from 01:00:05 to 2"), "0");
    EXPECT_EQ(drive_.plays.back(), (std::pair<int32_t, int32_t>{375, 750}));

    // What the module sends for a track the disc lacks.
    EXPECT_EQ(Ask("play cdaudio from Error:282"), "270");
    EXPECT_EQ(Ask("play cdaudio from 09:00:00:00"), "282");
    EXPECT_EQ(Ask("play cdaudio from 3 to 2"), "282");
    EXPECT_EQ(drive_.plays.size(), 2u);
}

TEST_F(Engine, PlayResumesWhereItStoppedAndRestartsAfterTheDiscsEnd) {
    Make();
    Ask("open cdaudio");
    Ask("set cdaudio time format tmsf");
    Ask("play cdaudio");
    EXPECT_EQ(drive_.plays.back(), (std::pair<int32_t, int32_t>{0, 2250}));
    drive_.frame = 900;
    Ask("stop cdaudio");
    EXPECT_EQ(Ask("status cdaudio mode"), "0 stopped");
    EXPECT_EQ(Ask("status cdaudio current track"), "0 2");
    Ask("play cdaudio");
    EXPECT_EQ(drive_.plays.back(), (std::pair<int32_t, int32_t>{900, 2250}));

    drive_.busy = false;  // the disc has been played out
    EXPECT_EQ(Ask("status cdaudio mode"), "0 stopped");
    EXPECT_EQ(Ask("status cdaudio current track"), "0 1");
    Ask("play cdaudio");
    EXPECT_EQ(drive_.plays.back(), (std::pair<int32_t, int32_t>{0, 2250}));

    // A range that ends inside the disc leaves the drive at its end.
    Ask("play cdaudio from 1 to 2");
    drive_.busy = false;
    EXPECT_EQ(Ask("status cdaudio current track"), "0 2");
    EXPECT_EQ(Ask("close cdaudio"), "0");
    EXPECT_EQ(Ask("status cdaudio mode"), "263");
}

TEST_F(Engine, FilesAndAliases) {
    Make();
    const fs::path dir = fs::temp_directory_path() / ("orbilon-engine-" + std::to_string(getpid()));
    fs::create_directories(dir / "folder");
    std::ofstream(dir / "empty.mp3");
    std::ofstream(dir / "song.mp3") << "ID3";
    const auto open = [&](const std::string& name, const char* alias = "MP3Play") {
        return Ask("open \"" + (dir / name).string() + "\" type MPEGVideo Alias " + alias);
    };
    EXPECT_EQ(open("missing.mp3"), "275");
    EXPECT_EQ(open("folder"), "275");
    EXPECT_EQ(open("empty.mp3"), "296");
    file_.openError = kErrInvalidFile;
    EXPECT_EQ(open("song.mp3"), "296");
    EXPECT_EQ(Ask("status MP3Play mode"), "263");
    file_.openError = 0;
    EXPECT_EQ(open("song.mp3"), "0");
    EXPECT_EQ(open("song.mp3", "mp3play"), "289");  // aliases ignore case
    EXPECT_EQ(Ask("open \"" + (dir / "song.mp3").string() + "\" type Sampler alias s"), "263");

    EXPECT_EQ(Ask("status MP3Play mode"), "0 stopped");
    EXPECT_EQ(Ask("play MP3Play"), "0");
    EXPECT_EQ(Ask("status mp3play mode"), "0 playing");
    EXPECT_EQ(Ask("stop MP3Play"), "0");
    EXPECT_EQ(Ask("play MP3Play from 0"), "0");
    EXPECT_EQ(Ask("play MP3Play from 5000"), "282");
    EXPECT_EQ(Ask("status MP3Play position"), "0 250");
    EXPECT_EQ(Ask("set MP3Play time format tmsf"), "293");
    EXPECT_EQ(Ask("status MP3Play current track"), "274");
    EXPECT_EQ(file_.plays, (std::vector<std::pair<int64_t, bool>>{{0, false}, {0, true}}));
    EXPECT_EQ(Ask("close MP3Play"), "0");
    EXPECT_EQ(open("song.mp3"), "0");

    // PlaySound takes only RIFF/WAVE files, in the background.
    std::ofstream(dir / "loop.wav") << std::string("RIFF\x24\0\0\0WAVEfmt ", 16);
    const std::string wav = (dir / "loop.wav").string();
    const std::string mp3 = (dir / "song.mp3").string();
    EXPECT_TRUE(engine_->PlaySound(wav.c_str(), kSndAsync | kSndLoop));
    EXPECT_FALSE(engine_->PlaySound(wav.c_str(), kSndLoop));
    EXPECT_FALSE(engine_->PlaySound(mp3.c_str(), kSndAsync | kSndLoop));
    EXPECT_TRUE(engine_->PlaySound(nullptr, 0));
    EXPECT_EQ(file_.loops, (std::vector<std::string>{"stop", wav, "stop", "stop", "stop"}));
    fs::remove_all(dir);
}

TEST_F(Engine, RepliesThatDoNotFitAndUnknownCodes) {
    Make();
    Ask("open cdaudio");
    char small[4] = "xyz";
    EXPECT_EQ(engine_->SendString("status cdaudio mode", small, sizeof small), kErrParamOverflow);
    EXPECT_STREQ(small, "");
    EXPECT_EQ(engine_->SendString("status cdaudio mode", nullptr, 0), 0);
    char text[8];
    EXPECT_TRUE(engine_->GetErrorString(kErrFileNotFound, text, sizeof text));
    EXPECT_EQ(std::string(text).size(), 7u);
    EXPECT_FALSE(engine_->GetErrorString(0, text, sizeof text));
    EXPECT_FALSE(engine_->GetErrorString(99999, text, sizeof text));
}

}  // namespace
