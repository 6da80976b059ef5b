#include "orbilon_bgm.h"

#include <cstring>
#include <optional>

#include "api_result.h"
#include "mci_api.h"
#include "number.h"

namespace Orbilon_BGM {

int16_t CdAvailable = 0;
std::string ReplySlot;
char CommandReply[512] = {};
char ErrorText[256] = {};
char CdMode[255] = {};
char FileMode[30] = {};

namespace {

using orbilon::music::CurrentMciApi;

constexpr int16_t kTrue = -1;
constexpr int16_t kFalse = 0;

// The front end skips a step that fails at run time; nothing escapes to the caller.
template <typename F>
void Resume(F&& step) {
    try {
        step();
    } catch (...) {
    }
}

int32_t Send(const std::string& command) {
    return CurrentMciApi().SendString(command, nullptr, 0);
}

std::string UpTo(const char* buffer, size_t size) {
    return std::string(buffer, strnlen(buffer, size));
}

bool HasErr(const std::string& reply) {
    std::string up = reply;
    for (char& c : up) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return up.find("ERR") != std::string::npos;
}

// Raised for a reply that must be a number and is not (a type mismatch there).
struct NotANumber {};

double AsNumber(const std::string& text) {
    std::optional<double> v = ParseNumber(text);
    if (!v) throw NotANumber{};
    return *v;
}

}  // namespace

int32_t MciCommand(const std::string& command, std::string& reply) {
    if (command.empty()) {
        reply = "コマンド文字列が指定されていません";
        return -1;
    }
    auto& api = CurrentMciApi();
    int32_t code = api.SendString(command, CommandReply, sizeof CommandReply);
    LastApiResult = code;
    if (code != 0) {
        if (api.GetErrorString(code, ErrorText, sizeof ErrorText)) {
            reply = UpTo(ErrorText, sizeof ErrorText);
        } else {
            reply = "Error (文字列が取れません)";
        }
        return code;
    }
    reply = UpTo(CommandReply, sizeof CommandReply);
    return 0;
}

std::string MciQuery(const std::string& command) {
    int32_t code = MciCommand(command, ReplySlot);
    LastApiResult = code;
    if (code != 0) return "Error:" + std::to_string(code);
    return ReplySlot;
}

int32_t MciPlay(const std::string& device, const std::string& from, const std::string& to) {
    std::string command = "play " + device;
    if (!from.empty()) command += " from " + from;
    if (!to.empty()) command += " to " + to;
    return MciCommand(command, ReplySlot);
}

void CdOpen() {
    Resume([] { LastApiResult = Send("open cdaudio"); });
    Resume([] { LastApiResult = Send("set cdaudio time format tmsf"); });
}

void CdClose() {
    Resume([] { LastApiResult = Send("stop cdaudio"); });
    Resume([] { LastApiResult = Send("close cdaudio"); });
}

void CdWatch(int16_t repeatTrack) {
    CdAvailable = kTrue;
    try {
        std::string t = MciQuery("status cdaudio current track");
        if (HasErr(t)) {
            CdAvailable = kFalse;
            return;
        }
        std::string n = MciQuery("status cdaudio number of tracks");
        if (HasErr(n)) {
            CdAvailable = kFalse;
            return;
        }
        LastApiResult = CurrentMciApi().SendString("status cdaudio mode", CdMode, sizeof CdMode);
        const std::string mode(CdMode, 7);
        if (repeatTrack == 0) {
            if (mode == "stopped") MciPlay("cdaudio", "", "");
            return;
        }
        // Both tests are evaluated, so a track reply that is no number fails the step
        // even while the drive is stopped.
        const bool stopped = mode == "stopped";
        const bool elsewhere = AsNumber(t) != repeatTrack;
        if (stopped || elsewhere) {
            std::string p =
                MciQuery("status cdaudio position track " + std::to_string(repeatTrack));
            MciPlay("cdaudio", p, "");
        }
    } catch (...) {
        CdAvailable = kFalse;
    }
}

void Mp3Open(const std::string& file) {
    Resume([&file] {
        const std::string open = "open \"" + file + "\" type MPEGVideo Alias MP3Play";
        if (Send(open) == 0) Send("play MP3Play");
    });
}

bool Mp3IsPlaying() {
    CurrentMciApi().SendString("status MP3Play mode", FileMode, sizeof FileMode);
    return std::string(FileMode, 7) == "playing";
}

void Mp3Loop() {
    Resume([] {
        if (Mp3IsPlaying()) return;
        Send("stop MP3Play");
        Send("play MP3Play from 0");
    });
}

void Mp3Close() {
    Resume([] { Send("stop MP3Play"); });
    Resume([] { Send("close MP3Play"); });
}

void WavPlay(const std::string& file) {
    Resume([&file] {
        auto& api = CurrentMciApi();
        if (api.WaveOutGetNumDevs() <= 0) return;
        LastApiResult =
            api.PlaySound(file.c_str(), orbilon::music::kSndAsync | orbilon::music::kSndLoop) ? 1
                                                                                              : 0;
    });
}

void WavStop() {
    Resume([] { LastApiResult = CurrentMciApi().PlaySound(nullptr, 0) ? 1 : 0; });
}

}  // namespace Orbilon_BGM
