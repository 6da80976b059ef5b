// Parser for the command strings of the layer: open/close/play/stop/pause/resume/
// status/set, with keywords compared without regard to case.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orbilon::music {

enum class Verb { Open, Close, Play, Stop, Pause, Resume, Status, Set };

enum class StatusItem {
    Mode,
    CurrentTrack,
    NumberOfTracks,
    Position,
    PositionTrack,
    Length,
    LengthTrack,
    MediaPresent,
    Ready,
    TimeFormat,
};

enum class TimeFormat { Tmsf, Msf, Milliseconds };

struct ParsedCommand {
    Verb verb = Verb::Stop;
    // Device type, alias or (for open) file element, as written.
    std::string device;
    bool quoted = false;  // open of a quoted file element
    std::optional<std::string> type;
    std::optional<std::string> alias;
    std::optional<std::string> from;
    std::optional<std::string> to;
    StatusItem item = StatusItem::Mode;
    int track = 0;  // for position/length track N
    TimeFormat format = TimeFormat::Milliseconds;
};

struct ParseResult {
    int32_t error = 0;  // 0, or one of mci_errors.h
    ParsedCommand command;
};

// A double quote is accepted only around the element right after "open", and the
// closing quote must end a word; any other quote is refused (kErrNoClosingQuote), so a
// file name holding a quote can never be read as a different name plus keywords.
ParseResult ParseCommand(std::string_view text);

bool EqualsNoCase(std::string_view a, std::string_view b);

// Positions, in CD frames (75 per second) for tmsf/msf and in milliseconds otherwise.
// tmsf: "TT[:MM[:SS[:FF]]]" with the track's start added by the caller, so the result
// holds the track in `track` and the offset within it in `offset`.
struct Position {
    int track = 0;       // tmsf only
    int64_t offset = 0;  // frames (tmsf, msf) or milliseconds
};
std::optional<Position> ParsePosition(std::string_view text, TimeFormat format);
std::string FormatTmsf(int track, int64_t framesIntoTrack);
std::string FormatMsf(int64_t frames);

}  // namespace orbilon::music
