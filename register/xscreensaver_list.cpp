#include "xscreensaver_list.h"

#include <algorithm>

namespace orbilon::xscreensaver {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// One physical line: bytes [begin, end) without the '\n'; `next` is where the following
// line starts (== end at the end of a file without a final newline).
struct Line {
    size_t begin = 0;
    size_t end = 0;
    size_t next = 0;
};

struct RawEntry {
    Entry entry;
    size_t start = 0;            // value index of its first byte that is not blank
    size_t to = 0;               // value index after its separator, or its end when it has none
    std::vector<size_t> dashes;  // file offsets of the '-' that disable it
    bool empty = true;           // blanks only
};

struct Resource {
    size_t first = 0;  // line indexes, inclusive
    size_t last = 0;
    bool continuesAtEof = false;  // the last line ends in a backslash and the file ends there
    std::vector<size_t> value;    // file offset of each value byte (continuations left out)
    std::vector<RawEntry> entries;
};

struct Parsed {
    std::vector<Line> lines;
    std::optional<Resource> programs;
};

class Parser {
public:
    explicit Parser(std::string_view text) : t_(text) {}

    // Where the body of a line ends: before a '\r' that precedes the newline.
    size_t BodyEnd(const Line& l) const {
        return l.end > l.begin && t_[l.end - 1] == '\r' ? l.end - 1 : l.end;
    }
    // An odd number of backslashes at the end of the body joins the next line.
    bool Continues(const Line& l) const {
        size_t n = 0;
        for (size_t i = BodyEnd(l); i > l.begin && t_[i - 1] == '\\'; --i) ++n;
        return n % 2 == 1;
    }

    std::optional<Parsed> Parse(std::string* error) {
        if (t_.size() > kMaxFileBytes) return Fail(error, "the file is too large");
        if (t_.find('\0') != std::string_view::npos)
            return Fail(error, "the file holds a NUL byte");
        Parsed p;
        for (size_t at = 0; at < t_.size();) {
            const size_t nl = t_.find('\n', at);
            const size_t end = nl == std::string_view::npos ? t_.size() : nl;
            p.lines.push_back({at, end, nl == std::string_view::npos ? end : nl + 1});
            at = p.lines.back().next;
        }
        for (size_t i = 0; i < p.lines.size();) {
            const Line& l = p.lines[i];
            size_t s = l.begin;
            while (s < BodyEnd(l) && IsBlank(t_[s])) ++s;
            const std::string where = "line " + std::to_string(i + 1);
            if (s == BodyEnd(l) || t_[s] == '!' || t_[s] == '#') {
                if (Continues(l)) {
                    return Fail(error, where + " continues but holds no resource");
                }
                ++i;
                continue;
            }
            const size_t colon = t_.find(':', s);
            if (colon == std::string_view::npos || colon >= BodyEnd(l)) {
                return Fail(error, where + " is neither a comment nor a `name: value` resource");
            }
            size_t e = colon;
            while (e > s && IsBlank(t_[e - 1])) --e;
            const std::string_view name = t_.substr(s, e - s);
            const bool valid = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
                return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '_' || c == '-' || c == '.' || c == '*' || c == '?';
            });
            if (!valid) return Fail(error, where + " has an invalid resource name");
            size_t last = i;
            while (Continues(p.lines[last]) && last + 1 < p.lines.size()) ++last;
            const size_t dot = name.find_last_of(".*");
            const std::string_view leaf =
                dot == std::string_view::npos ? name : name.substr(dot + 1);
            if (leaf == "programs") {
                if (p.programs) return Fail(error, where + " repeats the `programs` resource");
                p.programs = ReadValue(p.lines, i, last, colon + 1);
            }
            i = last + 1;
        }
        return p;
    }

private:
    std::nullopt_t Fail(std::string* error, const std::string& why) const {
        if (error) *error = why;
        return std::nullopt;
    }

    Resource ReadValue(const std::vector<Line>& lines, size_t first, size_t last, size_t start) {
        Resource r;
        r.first = first;
        r.last = last;
        r.continuesAtEof = Continues(lines[last]);
        for (size_t i = first; i <= last; ++i) {
            const Line& l = lines[i];
            size_t end = BodyEnd(l);
            if (Continues(l))
                --end;
            else
                end = l.end;
            for (size_t at = i == first ? start : l.begin; at < end; ++at) r.value.push_back(at);
        }
        // Split at the `\n` escapes; other escapes are skipped as pairs.
        const auto byte = [&](size_t k) { return t_[r.value[k]]; };
        size_t from = 0;
        for (size_t k = 0; k <= r.value.size(); ++k) {
            const bool atEnd = k == r.value.size();
            if (!atEnd && byte(k) == '\\' && k + 1 < r.value.size() && byte(k + 1) != 'n') {
                ++k;
                continue;
            }
            if (atEnd || (byte(k) == '\\' && k + 1 < r.value.size())) {
                RawEntry e = ParseEntry(r, from, k);
                e.to = atEnd ? k : k + 2;
                r.entries.push_back(e);
                if (atEnd) break;
                from = k + 2;
                ++k;
            }
        }
        return r;
    }

    RawEntry ParseEntry(const Resource& r, size_t from, size_t to) const {
        RawEntry e;
        size_t k = from;
        const auto byte = [&](size_t i) { return t_[r.value[i]]; };
        const auto skipBlanks = [&] {
            while (k < to && (IsBlank(byte(k)) || byte(k) == '\r')) ++k;
        };
        skipBlanks();
        e.start = k;
        if (k == to) return e;
        e.empty = false;
        // Any number of dashes disable it; enabling takes them all away.
        while (k < to && byte(k) == '-') {
            e.entry.enabled = false;
            e.dashes.push_back(r.value[k]);
            ++k;
            skipBlanks();
        }
        // A visual name: a word ending in ':' before the command.
        size_t w = k;
        while (w < to && !IsBlank(byte(w)) && byte(w) != ':' && byte(w) != '"') ++w;
        if (w < to && w > k && byte(w) == ':') {
            for (size_t i = k; i < w; ++i) e.entry.visual += byte(i);
            k = w + 1;
            skipBlanks();
        }
        if (k < to && byte(k) == '"') {
            ++k;
            while (k < to && byte(k) != '"') e.entry.label += byte(k++);
            if (k < to) ++k;
            skipBlanks();
        }
        size_t end = to;
        while (end > k && (IsBlank(byte(end - 1)) || byte(end - 1) == '\r')) --end;
        for (size_t i = k; i < end; ++i) e.entry.command += byte(i);
        return e;
    }

    std::string_view t_;
};

std::string EntryLine(std::string_view command) {
    return "  GL: \t\t\t\t" + std::string(command) + "\t\t\t    \\n";
}

const char* kResourceHead = "programs:\t\t\t\t\t\t\t\t      \\";

}  // namespace

bool IsOrbilon(const Entry& entry) {
    const std::string_view c = entry.command;
    const std::string_view word = c.substr(0, std::min(c.find_first_of(" \t"), c.size()));
    const size_t slash = word.rfind('/');
    return (slash == std::string_view::npos ? word : word.substr(slash + 1)) == "orbilon";
}

std::optional<std::vector<Entry>> Programs(std::string_view file, std::string* error) {
    Parser parser(file);
    const auto parsed = parser.Parse(error);
    if (!parsed) return std::nullopt;
    std::vector<Entry> out;
    if (parsed->programs) {
        for (const auto& e : parsed->programs->entries) {
            if (!e.empty) out.push_back(e.entry);
        }
    }
    return out;
}

std::string NewFile(std::string_view command) {
    return "# XScreenSaver Preferences File\n"
           "# Started by orbilon-register; XScreenSaver adds its own hacks to this list.\n"
           "\n" +
           std::string(kResourceHead) + "\n" + EntryLine(command) + "\n";
}

std::optional<Edit> Register(std::string_view file, std::string_view command, std::string* error) {
    Parser parser(file);
    const auto parsed = parser.Parse(error);
    if (!parsed) return std::nullopt;
    Edit edit{Outcome::AlreadyListed, std::string(file)};

    if (!parsed->programs) {
        // A file that ends inside a continued value needs an empty line to end that value.
        if (!file.empty() && file.back() != '\n') edit.text += "\n";
        if (!parsed->lines.empty() && parser.Continues(parsed->lines.back())) edit.text += "\n";
        edit.text += std::string(kResourceHead) + "\n" + EntryLine(command) + "\n";
        edit.outcome = Outcome::Added;
        return edit;
    }

    const Resource& r = *parsed->programs;
    const RawEntry* disabled = nullptr;
    for (const auto& e : r.entries) {
        if (e.empty || !IsOrbilon(e.entry)) continue;
        if (e.entry.enabled) return edit;
        if (!disabled) disabled = &e;
    }
    if (disabled) {
        for (auto at = disabled->dashes.rbegin(); at != disabled->dashes.rend(); ++at) {
            edit.text.erase(*at, 1);
        }
        edit.outcome = Outcome::Enabled;
        return edit;
    }

    // Append after the last entry, as one more line of the value.
    const bool needSeparator = !r.entries.empty() && !r.entries.back().empty;
    const Line& last = parsed->lines[r.last];
    const std::string eol = parser.BodyEnd(last) < last.end ? "\r\n" : "\n";
    if (r.continuesAtEof) {
        // A file that ends in the CR of a CRLF lacks only its LF.
        if (last.next == last.end) edit.text += eol == "\r\n" ? "\n" : eol;
        edit.text += (needSeparator ? "\\n" : "") + EntryLine(command);
        if (last.next > last.end) edit.text += eol;
    } else {
        const std::string insert =
            std::string(needSeparator ? " \\n" : "") + "\\" + eol + EntryLine(command);
        edit.text.insert(parser.BodyEnd(last), insert);
    }
    edit.outcome = Outcome::Added;
    return edit;
}

std::optional<Edit> Unregister(std::string_view file, std::string* error) {
    Parser parser(file);
    const auto parsed = parser.Parse(error);
    if (!parsed) return std::nullopt;
    Edit edit{Outcome::NotListed, std::string(file)};
    if (!parsed->programs) return edit;
    const Resource& r = *parsed->programs;

    std::vector<bool> gone(file.size(), false);
    bool othersLeft = false;
    for (const auto& e : r.entries) {
        if (e.empty) continue;
        if (!IsOrbilon(e.entry)) {
            othersLeft = true;
            continue;
        }
        // Blanks before it stay, so the text around it keeps its layout.
        for (size_t k = e.start; k < e.to; ++k) gone[r.value[k]] = true;
        edit.outcome = Outcome::Removed;
    }
    if (edit.outcome == Outcome::NotListed) return edit;

    std::string out(file.substr(0, parsed->lines[r.first].begin));
    if (othersLeft) {
        // Keep what is left of each line; a continuation line left with nothing but blanks
        // goes, and if the last line goes, the line before it stops continuing.
        std::vector<std::string> kept;
        for (size_t i = r.first; i <= r.last; ++i) {
            const Line& l = parsed->lines[i];
            std::string body;
            bool touched = false;
            for (size_t at = l.begin; at < l.end; ++at) {
                if (gone[at])
                    touched = true;
                else
                    body += file[at];
            }
            std::string rest = body;
            if (!rest.empty() && rest.back() == '\r') rest.pop_back();
            if (parser.Continues(l) && !rest.empty() && rest.back() == '\\') rest.pop_back();
            const bool blank = std::all_of(rest.begin(), rest.end(), IsBlank);
            if (touched && i > r.first && blank) {
                if (i == r.last && !kept.empty() && !r.continuesAtEof) {
                    std::string& prev = kept.back();
                    const size_t nl = prev.size() - 1;  // every line but the last has '\n'
                    const size_t cr = nl > 0 && prev[nl - 1] == '\r' ? nl - 1 : nl;
                    prev.erase(cr - 1, 1);  // its continuation backslash
                }
                continue;
            }
            kept.push_back(body + std::string(file.substr(l.end, l.next - l.end)));
        }
        for (const auto& k : kept) out += k;
    }
    out += file.substr(parsed->lines[r.last].next);
    edit.text = std::move(out);
    return edit;
}

}  // namespace orbilon::xscreensaver
