#include "mci_engine.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include "mci_errors.h"

namespace orbilon::music {
namespace {

std::string LowerCase(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

const char* ModeWord(MediaMode m) {
    switch (m) {
        case MediaMode::Playing:
            return "playing";
        case MediaMode::Paused:
            return "paused";
        case MediaMode::Stopped:
            break;
    }
    return "stopped";
}

const char* FormatWord(TimeFormat f) {
    switch (f) {
        case TimeFormat::Tmsf:
            return "tmsf";
        case TimeFormat::Msf:
            return "msf";
        case TimeFormat::Milliseconds:
            break;
    }
    return "milliseconds";
}

// MSF addresses count the 2-second pre-gap; logical frames do not.
constexpr int32_t kPregap = 150;

}  // namespace

int32_t CheckMediaFile(const std::string& path) {
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return kErrFileNotFound;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return kErrFileNotFound;
    return st.st_size > 0 ? 0 : kErrInvalidFile;
}

bool LooksLikeWav(const std::string& path) {
    if (CheckMediaFile(path) != 0) return false;
    std::ifstream in(path, std::ios::binary);
    char head[12] = {};
    in.read(head, sizeof head);
    return in.gcount() == 12 && std::memcmp(head, "RIFF", 4) == 0 &&
           std::memcmp(head + 8, "WAVE", 4) == 0;
}

MciEngine::MciEngine(std::unique_ptr<Backend> backend) : backend_(std::move(backend)) {}

MciEngine::~MciEngine() {
    devices_.clear();
    if (backend_) backend_->StopLoop();
}

int32_t MciEngine::SendString(std::string_view command, char* reply, uint32_t replySize) {
    if (reply && replySize > 0) reply[0] = '\0';
    ParseResult parsed = ParseCommand(command);
    if (parsed.error) return parsed.error;
    std::string text;
    int32_t code = Execute(parsed.command, text);
    if (code != 0 || !reply || replySize == 0) return code;
    if (text.size() + 1 > replySize) return kErrParamOverflow;
    std::memcpy(reply, text.c_str(), text.size() + 1);
    return 0;
}

bool MciEngine::GetErrorString(int32_t code, char* text, uint32_t textSize) {
    return CopyErrorText(code, text, textSize);
}

int32_t MciEngine::WaveOutGetNumDevs() {
    return backend_->OutputDevices();
}

bool MciEngine::PlaySound(const char* sound, uint32_t flags) {
    backend_->StopLoop();
    if (!sound) return true;
    // Only background playback is offered: a blocking play would stall the caller.
    if (!(flags & kSndAsync) || !LooksLikeWav(sound)) return false;
    return backend_->StartLoop(sound);
}

int32_t MciEngine::Execute(const ParsedCommand& c, std::string& reply) {
    reply.clear();
    if (c.verb == Verb::Open) return Open(c);
    auto it = devices_.find(LowerCase(c.device));
    if (it == devices_.end()) return kErrInvalidDeviceName;
    if (c.verb == Verb::Close) {
        devices_.erase(it);
        return 0;
    }
    Device& d = it->second;
    return d.isCd ? CdCommand(d, c, reply) : FileCommand(d, c, reply);
}

int32_t MciEngine::Open(const ParsedCommand& c) {
    std::string type;
    std::string element;
    if (c.type) {
        type = LowerCase(*c.type);
        element = c.device;
    } else if (!c.quoted && EqualsNoCase(c.device, "cdaudio")) {
        type = "cdaudio";
    } else {
        type = "mpegvideo";
        element = c.device;
    }
    const std::string name = LowerCase(c.alias ? *c.alias : (element.empty() ? type : element));
    if (name.empty()) return kErrMissingDeviceName;
    if (devices_.count(name)) return c.alias ? kErrDuplicateAlias : kErrDeviceOpen;

    Device d;
    int32_t error = 0;
    if (type == "cdaudio") {
        if (!element.empty()) return kErrUnrecognizedKeyword;
        d.isCd = true;
        d.format = TimeFormat::Msf;
        d.cd.drive = backend_->OpenCd(error);
        if (!d.cd.drive) return error ? error : kErrDeviceNotReady;
    } else if (type == "mpegvideo") {
        if (element.empty()) return kErrMissingParameter;
        if ((error = CheckMediaFile(element)) != 0) return error;
        d.file = backend_->OpenFile(element, error);
        if (!d.file) return error ? error : kErrInvalidFile;
    } else {
        return kErrInvalidDeviceName;
    }
    devices_.emplace(name, std::move(d));
    return 0;
}

// Where the drive is: the frame being played, or where the last play left it.
int32_t MciEngine::CdFrame(Device& d, const Toc& toc) {
    Cd& cd = d.cd;
    if (cd.playing && !cd.drive->Busy()) {
        cd.playing = cd.paused = false;
        // After the disc's end the next play starts it again from its first track.
        cd.cursor = cd.to >= toc.starts.back() ? -1 : cd.to;
    }
    if (cd.playing) return cd.drive->Frame();
    if (cd.cursor < toc.starts.front() || cd.cursor >= toc.starts.back()) return toc.starts.front();
    return cd.cursor;
}

int32_t MciEngine::ToFrame(const Device& d, const Toc& toc, const std::string& text,
                           int32_t& frame) {
    auto p = ParsePosition(text, d.format);
    if (!p) return kErrBadInteger;
    int64_t f;
    switch (d.format) {
        case TimeFormat::Tmsf:
            if (p->track < toc.first || p->track >= toc.first + toc.Count()) return kErrOutOfRange;
            f = toc.starts[p->track - toc.first] + p->offset;
            break;
        case TimeFormat::Msf:
            f = p->offset - kPregap;
            break;
        default:
            f = p->offset * 75 / 1000;
            break;
    }
    if (f < toc.starts.front() || f > toc.starts.back()) return kErrOutOfRange;
    frame = static_cast<int32_t>(f);
    return 0;
}

int32_t MciEngine::CdCommand(Device& d, const ParsedCommand& c, std::string& reply) {
    Cd& cd = d.cd;
    const Toc* toc = cd.drive->ReadToc();
    if (toc && toc->Count() <= 0) toc = nullptr;
    if (c.verb == Verb::Set) {
        d.format = c.format;
        return 0;
    }
    if (c.verb == Verb::Status) {
        switch (c.item) {
            case StatusItem::Mode:
                if (!toc) {
                    reply = "not ready";
                } else {
                    CdFrame(d, *toc);
                    reply = cd.paused ? "paused" : cd.playing ? "playing" : "stopped";
                }
                return 0;
            case StatusItem::MediaPresent:
            case StatusItem::Ready:
                reply = toc ? "true" : "false";
                return 0;
            case StatusItem::TimeFormat:
                reply = FormatWord(d.format);
                return 0;
            default:
                break;
        }
    }
    if (!toc) return kErrDeviceNotReady;
    const auto trackOf = [&](int32_t frame) {
        int i = 0;
        while (i + 1 < toc->Count() && frame >= toc->starts[i + 1]) ++i;
        return i;
    };
    const auto format = [&](int32_t frame) {
        switch (d.format) {
            case TimeFormat::Tmsf: {
                int i = trackOf(frame);
                return FormatTmsf(toc->first + i, frame - toc->starts[i]);
            }
            case TimeFormat::Msf:
                return FormatMsf(frame + kPregap);
            default:
                return std::to_string(int64_t{frame} * 1000 / 75);
        }
    };
    const auto length = [&](int32_t frames) {
        if (d.format == TimeFormat::Milliseconds)
            return std::to_string(int64_t{frames} * 1000 / 75);
        return FormatMsf(frames);
    };
    switch (c.verb) {
        case Verb::Status: {
            const bool hasTrack =
                c.item == StatusItem::PositionTrack || c.item == StatusItem::LengthTrack;
            const int index = c.track - toc->first;
            if (hasTrack && (index < 0 || index >= toc->Count())) return kErrOutOfRange;
            switch (c.item) {
                case StatusItem::CurrentTrack:
                    reply = std::to_string(toc->first + trackOf(CdFrame(d, *toc)));
                    return 0;
                case StatusItem::NumberOfTracks:
                    reply = std::to_string(toc->Count());
                    return 0;
                case StatusItem::Position:
                    reply = format(CdFrame(d, *toc));
                    return 0;
                case StatusItem::PositionTrack:
                    reply = format(toc->starts[index]);
                    return 0;
                case StatusItem::Length:
                    reply = length(toc->starts.back() - toc->starts.front());
                    return 0;
                case StatusItem::LengthTrack:
                    reply = length(toc->starts[index + 1] - toc->starts[index]);
                    return 0;
                default:
                    return kErrUnsupportedFunction;
            }
        }
        case Verb::Play: {
            int32_t from = CdFrame(d, *toc);
            int32_t to = toc->starts.back();
            if (c.from) {
                if (int32_t e = ToFrame(d, *toc, *c.from, from)) return e;
            }
            if (c.to) {
                if (int32_t e = ToFrame(d, *toc, *c.to, to)) return e;
            }
            if (from >= to) return kErrOutOfRange;
            if (!cd.drive->Play(from, to)) {
                cd.playing = cd.paused = false;
                return kErrHardware;
            }
            cd.playing = true;
            cd.paused = false;
            cd.to = to;
            return 0;
        }
        case Verb::Stop:
            cd.cursor = CdFrame(d, *toc);
            cd.drive->Stop();
            cd.playing = cd.paused = false;
            return 0;
        case Verb::Pause:
            if (cd.playing) {
                cd.drive->Pause();
                cd.paused = true;
            }
            return 0;
        case Verb::Resume:
            if (cd.playing && cd.paused) {
                cd.drive->Resume();
                cd.paused = false;
            }
            return 0;
        default:
            return kErrUnsupportedFunction;
    }
}

int32_t MciEngine::FileCommand(Device& d, const ParsedCommand& c, std::string& reply) {
    MediaFile& f = *d.file;
    switch (c.verb) {
        case Verb::Set:
            if (c.format != TimeFormat::Milliseconds) return kErrBadTimeFormat;
            d.format = c.format;
            return 0;
        case Verb::Status:
            switch (c.item) {
                case StatusItem::Mode:
                    reply = ModeWord(f.Mode());
                    return 0;
                case StatusItem::Position:
                    reply = std::to_string(f.PositionMs());
                    return 0;
                case StatusItem::Length:
                    reply = std::to_string(f.LengthMs());
                    return 0;
                case StatusItem::MediaPresent:
                case StatusItem::Ready:
                    reply = "true";
                    return 0;
                case StatusItem::TimeFormat:
                    reply = FormatWord(d.format);
                    return 0;
                default:
                    return kErrUnsupportedFunction;
            }
        case Verb::Play: {
            if (c.to) return kErrUnsupportedFunction;
            int64_t from = 0;
            if (c.from) {
                auto p = ParsePosition(*c.from, TimeFormat::Milliseconds);
                if (!p) return kErrBadInteger;
                const int64_t len = f.LengthMs();
                if (len > 0 && p->offset > len) return kErrOutOfRange;
                from = p->offset;
            }
            return f.Play(from, c.from.has_value()) ? 0 : kErrHardware;
        }
        case Verb::Stop:
            f.Stop();
            return 0;
        case Verb::Pause:
            f.Pause();
            return 0;
        case Verb::Resume:
            return f.Play(0, false) ? 0 : kErrHardware;
        default:
            return kErrUnsupportedFunction;
    }
}

}  // namespace orbilon::music
