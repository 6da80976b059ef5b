// The command-string layer without its media code: device table, parsing, positions,
// replies and error codes. Playback is delegated to a Backend, so all of this is tested
// with scripted backends; mci_layer.h installs it over GStreamer and libcdio.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "mci_api.h"
#include "mci_parser.h"

namespace orbilon::music {

enum class MediaMode { Playing, Paused, Stopped };

// Table of contents in logical sectors (frames of 1/75 s): starts[i] is the first frame
// of track first + i; the last entry is the lead-out.
struct Toc {
    int first = 1;
    std::vector<int32_t> starts;
    int Count() const { return starts.empty() ? 0 : static_cast<int>(starts.size()) - 1; }
};

class CdDrive {
public:
    virtual ~CdDrive() = default;
    // Null while the drive has no readable disc.
    virtual const Toc* ReadToc() = 0;
    // Plays [from, to); false when the audio cannot be started.
    virtual bool Play(int32_t from, int32_t to) = 0;
    virtual void Stop() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    // True until the range has been played out or Stop was called.
    virtual bool Busy() = 0;
    // The frame being heard now (the range's start right after Play).
    virtual int32_t Frame() = 0;
};

class MediaFile {
public:
    virtual ~MediaFile() = default;
    virtual bool Play(int64_t fromMs, bool restart) = 0;
    virtual void Stop() = 0;
    virtual void Pause() = 0;
    virtual MediaMode Mode() = 0;
    virtual int64_t PositionMs() = 0;
    virtual int64_t LengthMs() = 0;
};

class Backend {
public:
    virtual ~Backend() = default;
    // On failure null with `error` set (kErrDeviceNotReady when there is no drive).
    virtual std::unique_ptr<CdDrive> OpenCd(int32_t& error) = 0;
    // The file is known to be a readable, non-empty regular file here.
    virtual std::unique_ptr<MediaFile> OpenFile(const std::string& path, int32_t& error) = 0;
    virtual int32_t OutputDevices() = 0;
    virtual bool StartLoop(const std::string& path) = 0;
    virtual void StopLoop() = 0;
};

// 0 for a readable, non-empty regular file; kErrFileNotFound or kErrInvalidFile otherwise.
int32_t CheckMediaFile(const std::string& path);
// True when the file starts like a RIFF/WAVE file.
bool LooksLikeWav(const std::string& path);

class MciEngine final : public MciApi {
public:
    explicit MciEngine(std::unique_ptr<Backend> backend);
    ~MciEngine() override;

    int32_t SendString(std::string_view command, char* reply, uint32_t replySize) override;
    bool GetErrorString(int32_t code, char* text, uint32_t textSize) override;
    int32_t WaveOutGetNumDevs() override;
    bool PlaySound(const char* sound, uint32_t flags) override;

    // The command without the reply buffer: error code and reply text.
    int32_t Execute(const ParsedCommand& c, std::string& reply);

private:
    struct Cd {
        std::unique_ptr<CdDrive> drive;
        bool playing = false;  // a Play is in progress (paused included)
        bool paused = false;
        int32_t cursor = -1;  // frame while not playing; -1 = start of the disc
        int32_t to = 0;
    };
    struct Device {
        bool isCd = false;
        TimeFormat format = TimeFormat::Milliseconds;
        Cd cd;
        std::unique_ptr<MediaFile> file;
    };

    int32_t Open(const ParsedCommand& c);
    int32_t CdCommand(Device& d, const ParsedCommand& c, std::string& reply);
    int32_t FileCommand(Device& d, const ParsedCommand& c, std::string& reply);
    int32_t CdFrame(Device& d, const Toc& toc);
    int32_t ToFrame(const Device& d, const Toc& toc, const std::string& text, int32_t& frame);

    std::unique_ptr<Backend> backend_;
    std::map<std::string, Device> devices_;  // by lower-case name
};

}  // namespace orbilon::music
