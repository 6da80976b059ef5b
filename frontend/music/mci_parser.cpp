#include "mci_parser.h"

#include <cstdio>
#include <vector>

#include "mci_errors.h"

namespace orbilon::music {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

struct Word {
    std::string text;
    bool quoted = false;
};

// Splits into blank-separated words. Only the word at `quotableIndex` may be quoted.
int32_t Split(std::string_view s, size_t quotableIndex, std::vector<Word>& words) {
    size_t i = 0;
    while (true) {
        while (i < s.size() && IsBlank(s[i])) ++i;
        if (i == s.size()) return 0;
        Word w;
        if (s[i] == '"') {
            if (words.size() != quotableIndex) return kErrNoClosingQuote;
            size_t close = s.find('"', i + 1);
            if (close == std::string_view::npos) return kErrNoClosingQuote;
            w.text = std::string(s.substr(i + 1, close - i - 1));
            w.quoted = true;
            i = close + 1;
            if (i < s.size() && !IsBlank(s[i])) return kErrNoClosingQuote;
        } else {
            size_t start = i;
            while (i < s.size() && !IsBlank(s[i])) {
                if (s[i] == '"') return kErrNoClosingQuote;
                ++i;
            }
            w.text = std::string(s.substr(start, i - start));
        }
        words.push_back(std::move(w));
    }
}

bool ParseInt(std::string_view s, int64_t max, int64_t& out) {
    if (s.empty() || s.size() > 18) return false;
    int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v > max) return false;
    out = v;
    return true;
}

bool Is(const std::vector<Word>& w, size_t i, std::string_view keyword) {
    return i < w.size() && !w[i].quoted && EqualsNoCase(w[i].text, keyword);
}

int32_t ParseStatus(const std::vector<Word>& w, size_t i, ParsedCommand& c) {
    if (i >= w.size()) return kErrMissingParameter;
    size_t end;
    if (Is(w, i, "mode")) {
        c.item = StatusItem::Mode;
        end = i + 1;
    } else if (Is(w, i, "current") && Is(w, i + 1, "track")) {
        c.item = StatusItem::CurrentTrack;
        end = i + 2;
    } else if (Is(w, i, "number") && Is(w, i + 1, "of") && Is(w, i + 2, "tracks")) {
        c.item = StatusItem::NumberOfTracks;
        end = i + 3;
    } else if (Is(w, i, "position") || Is(w, i, "length")) {
        const bool position = Is(w, i, "position");
        c.item = position ? StatusItem::Position : StatusItem::Length;
        end = i + 1;
        if (Is(w, i + 1, "track")) {
            if (i + 2 >= w.size()) return kErrMissingParameter;
            int64_t n;
            if (!ParseInt(w[i + 2].text, 99999, n)) return kErrBadInteger;
            c.item = position ? StatusItem::PositionTrack : StatusItem::LengthTrack;
            c.track = static_cast<int>(n);
            end = i + 3;
        }
    } else if (Is(w, i, "media") && Is(w, i + 1, "present")) {
        c.item = StatusItem::MediaPresent;
        end = i + 2;
    } else if (Is(w, i, "ready")) {
        c.item = StatusItem::Ready;
        end = i + 1;
    } else if (Is(w, i, "time") && Is(w, i + 1, "format")) {
        c.item = StatusItem::TimeFormat;
        end = i + 2;
    } else {
        return kErrUnrecognizedKeyword;
    }
    return end == w.size() ? 0 : kErrExtraCharacters;
}

int32_t ParseSet(const std::vector<Word>& w, size_t i, ParsedCommand& c) {
    if (!Is(w, i, "time") || !Is(w, i + 1, "format")) {
        return i >= w.size() ? kErrMissingParameter : kErrUnrecognizedKeyword;
    }
    if (i + 2 >= w.size()) return kErrMissingParameter;
    const std::string& f = w[i + 2].text;
    if (EqualsNoCase(f, "tmsf")) {
        c.format = TimeFormat::Tmsf;
    } else if (EqualsNoCase(f, "msf")) {
        c.format = TimeFormat::Msf;
    } else if (EqualsNoCase(f, "milliseconds") || EqualsNoCase(f, "ms")) {
        c.format = TimeFormat::Milliseconds;
    } else {
        return kErrBadTimeFormat;
    }
    return i + 3 == w.size() ? 0 : kErrExtraCharacters;
}

// Keyword/value pairs: open takes type and alias, play takes from and to.
int32_t ParseOptions(const std::vector<Word>& w, size_t i, ParsedCommand& c) {
    while (i < w.size()) {
        std::optional<std::string>* slot = nullptr;
        if (c.verb == Verb::Open && Is(w, i, "type")) slot = &c.type;
        if (c.verb == Verb::Open && Is(w, i, "alias")) slot = &c.alias;
        if (c.verb == Verb::Play && Is(w, i, "from")) slot = &c.from;
        if (c.verb == Verb::Play && Is(w, i, "to")) slot = &c.to;
        if (!slot) return kErrUnrecognizedKeyword;
        if (slot->has_value()) return kErrDuplicateFlags;
        if (i + 1 >= w.size()) return kErrMissingStringArgument;
        *slot = w[i + 1].text;
        i += 2;
    }
    return 0;
}

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

ParseResult ParseCommand(std::string_view text) {
    ParseResult r;
    std::vector<Word> w;
    // Word 1 (the device or file element) may be quoted, and only for open.
    size_t firstBlank = 0;
    while (firstBlank < text.size() && IsBlank(text[firstBlank])) ++firstBlank;
    size_t verbEnd = firstBlank;
    while (verbEnd < text.size() && !IsBlank(text[verbEnd])) ++verbEnd;
    const bool isOpen = EqualsNoCase(text.substr(firstBlank, verbEnd - firstBlank), "open");
    r.error = Split(text, isOpen ? 1 : static_cast<size_t>(-1), w);
    if (r.error) return r;
    if (w.empty()) {
        r.error = kErrMissingCommandString;
        return r;
    }
    ParsedCommand& c = r.command;
    static constexpr std::pair<std::string_view, Verb> kVerbs[] = {
        {"open", Verb::Open},     {"close", Verb::Close}, {"play", Verb::Play},
        {"stop", Verb::Stop},     {"pause", Verb::Pause}, {"resume", Verb::Resume},
        {"status", Verb::Status}, {"set", Verb::Set},
    };
    bool known = false;
    for (const auto& [name, verb] : kVerbs) {
        if (!w[0].quoted && EqualsNoCase(w[0].text, name)) {
            c.verb = verb;
            known = true;
        }
    }
    if (!known) {
        r.error = kErrUnrecognizedCommand;
        return r;
    }
    if (w.size() < 2 || (w[1].text.empty() && !w[1].quoted)) {
        r.error = kErrMissingDeviceName;
        return r;
    }
    c.device = w[1].text;
    c.quoted = w[1].quoted;
    switch (c.verb) {
        case Verb::Open:
        case Verb::Play:
            r.error = ParseOptions(w, 2, c);
            break;
        case Verb::Status:
            r.error = ParseStatus(w, 2, c);
            break;
        case Verb::Set:
            r.error = ParseSet(w, 2, c);
            break;
        default:
            r.error = w.size() == 2 ? 0 : kErrExtraCharacters;
            break;
    }
    return r;
}

std::optional<Position> ParsePosition(std::string_view text, TimeFormat format) {
    if (format == TimeFormat::Milliseconds) {
        int64_t ms;
        if (!ParseInt(text, int64_t{1} << 40, ms)) return std::nullopt;
        return Position{0, ms};
    }
    std::vector<int64_t> parts;
    size_t start = 0;
    while (true) {
        size_t colon = text.find(':', start);
        std::string_view part = text.substr(
            start, colon == std::string_view::npos ? std::string_view::npos : colon - start);
        int64_t v;
        if (!ParseInt(part, 255, v)) return std::nullopt;
        parts.push_back(v);
        if (colon == std::string_view::npos) break;
        start = colon + 1;
    }
    const size_t fields = format == TimeFormat::Tmsf ? 4 : 3;
    if (parts.size() > fields) return std::nullopt;
    parts.resize(fields, 0);
    Position p;
    size_t k = 0;
    if (format == TimeFormat::Tmsf) p.track = static_cast<int>(parts[k++]);
    const int64_t m = parts[k], s = parts[k + 1], f = parts[k + 2];
    if (s > 59 || f > 74) return std::nullopt;
    p.offset = (m * 60 + s) * 75 + f;
    return p;
}

std::string FormatTmsf(int track, int64_t frames) {
    if (frames < 0) frames = 0;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02d:%02lld:%02lld:%02lld", track,
                  static_cast<long long>(frames / 75 / 60),
                  static_cast<long long>(frames / 75 % 60), static_cast<long long>(frames % 75));
    return buf;
}

std::string FormatMsf(int64_t frames) {
    if (frames < 0) frames = 0;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", static_cast<long long>(frames / 75 / 60),
                  static_cast<long long>(frames / 75 % 60), static_cast<long long>(frames % 75));
    return buf;
}

}  // namespace orbilon::music
