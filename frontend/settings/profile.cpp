#include "profile.h"

#include "cp932.h"

namespace orbilon::profile {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char FoldAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// ASCII letters match in either case; the second byte of a two-byte character must match
// exactly, or "ア" (83 41) would equal "ヂ" (83 61).
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size();) {
        const size_t n = cp932::CharLength(a, i);
        if (n == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
        i += n;
    }
    return true;
}

// Position of the first `c` that is a character of its own, not the second byte of a pair.
size_t FindChar(std::string_view s, char c, size_t from = 0) {
    for (size_t i = from; i < s.size(); i += cp932::CharLength(s, i)) {
        if (s[i] == c) return i;
    }
    return std::string_view::npos;
}

std::string_view CutValue(std::string_view v) {
    size_t end = 0;
    while (end < v.size()) {
        const size_t n = cp932::CharLength(v, end);
        if (end + n > kMaxValueBytes) break;
        end += n;
    }
    return v.substr(0, end);
}

struct Line {
    size_t begin;  // first byte
    size_t end;    // end of the content, before "\r\n" or "\n"
    size_t next;   // first byte of the following line
    bool has_eol;
};

class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {}

    bool Next(Line& line) {
        if (pos_ >= text_.size()) return false;
        line.begin = pos_;
        const size_t nl = text_.find('\n', pos_);
        if (nl == std::string_view::npos) {
            line.end = text_.size();
            line.next = text_.size();
            line.has_eol = false;
        } else {
            line.end = nl;
            line.next = nl + 1;
            line.has_eol = true;
        }
        if (line.end > line.begin && text_[line.end - 1] == '\r') --line.end;
        pos_ = line.next;
        return true;
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

enum class Kind { kBlank, kOther, kSection, kKey };

struct Parsed {
    Kind kind = Kind::kOther;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // raw value, trimmed
};

Parsed ParseLine(std::string_view content) {
    Parsed p;
    const std::string_view s = Trim(content);
    if (s.empty()) {
        p.kind = Kind::kBlank;
        return p;
    }
    if (s[0] == ';') return p;
    if (s[0] == '[') {
        const size_t close = FindChar(s, ']', 1);
        if (close != std::string_view::npos) {
            p.kind = Kind::kSection;
            p.name = Trim(s.substr(1, close - 1));
        }
        return p;
    }
    const size_t eq = FindChar(s, '=');
    if (eq == std::string_view::npos) return p;
    p.kind = Kind::kKey;
    p.name = Trim(s.substr(0, eq));
    p.value = Trim(s.substr(eq + 1));
    return p;
}

std::string_view Unquote(std::string_view v) {
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
    return v;
}

// A name ending in a lone lead byte would pair with the '=' or ']' written after it.
bool EndsInLeadByte(std::string_view s) {
    size_t i = 0;
    size_t last = 0;
    while (i < s.size()) {
        last = i;
        i += cp932::CharLength(s, i);
    }
    return !s.empty() && i - last == 1 && cp932::IsLeadByte(static_cast<unsigned char>(s[last]));
}

bool HasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::string_view LineEnding(std::string_view text) {
    const size_t nl = text.find('\n');
    if (nl != std::string_view::npos && (nl == 0 || text[nl - 1] != '\r')) return "\n";
    return "\r\n";
}

// Where a key or section for `section` goes, found in one pass.
struct Match {
    bool key_found = false;
    Line key_line{};
    bool section_found = false;
    Line section_last{};  // last non-blank line of the section's first occurrence
};

Match Find(std::string_view text, std::string_view section, std::string_view key) {
    Match m;
    Lines lines(text);
    Line line;
    bool in_section = false;
    bool in_first = false;
    while (lines.Next(line)) {
        const Parsed p = ParseLine(text.substr(line.begin, line.end - line.begin));
        if (p.kind == Kind::kSection) {
            in_section = SameName(p.name, section);
            in_first = in_section && !m.section_found;
            if (in_first) {
                m.section_found = true;
                m.section_last = line;
            }
            continue;
        }
        if (in_first && p.kind != Kind::kBlank) m.section_last = line;
        if (in_section && p.kind == Kind::kKey && SameName(p.name, key)) {
            m.key_found = true;
            m.key_line = line;
            return m;
        }
    }
    return m;
}

}  // namespace

std::optional<std::string> GetValue(std::string_view text, std::string_view section,
                                    std::string_view key) {
    section = Trim(section);
    key = Trim(key);
    // The writer never makes a line without a name, so none is looked for.
    if (section.empty() || key.empty()) return std::nullopt;
    const Match m = Find(text, section, key);
    if (!m.key_found) return std::nullopt;
    const Parsed p = ParseLine(text.substr(m.key_line.begin, m.key_line.end - m.key_line.begin));
    return std::string(CutValue(Unquote(p.value)));
}

std::optional<std::string> SetValue(std::string_view text, std::string_view section,
                                    std::string_view key, std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty()) return std::nullopt;
    if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value)) {
        return std::nullopt;
    }
    if (FindChar(section, ']') != std::string_view::npos) return std::nullopt;
    if (EndsInLeadByte(section) || EndsInLeadByte(key)) return std::nullopt;
    if (FindChar(key, '=') != std::string_view::npos || key[0] == '[' || key[0] == ';') {
        return std::nullopt;
    }

    std::string entry(key);
    entry += '=';
    const bool needs_quotes =
        !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) ||
                           (value.size() >= 2 && value.front() == '"' && value.back() == '"'));
    if (needs_quotes) entry += '"';
    entry += value;
    if (needs_quotes) entry += '"';

    const std::string_view eol = LineEnding(text);
    const Match m = Find(text, section, key);
    std::string out;
    out.reserve(text.size() + entry.size() + section.size() + 8);
    if (m.key_found) {
        out.append(text.substr(0, m.key_line.begin));
        out.append(entry);
        out.append(text.substr(m.key_line.end));
    } else if (m.section_found) {
        const Line& last = m.section_last;
        out.append(text.substr(0, last.next));
        // A last line cut off after its "\r" only needs the "\n".
        if (!last.has_eol) out.append(last.end < last.next ? "\n" : eol);
        out.append(entry);
        out.append(eol);
        out.append(text.substr(last.next));
    } else {
        out.append(text);
        if (!text.empty() && text.back() != '\n') out.append(text.back() == '\r' ? "\n" : eol);
        out += '[';
        out.append(section);
        out += ']';
        out.append(eol);
        out.append(entry);
        out.append(eol);
    }
    return out;
}

std::optional<std::string> SetValues(std::string_view text, std::string_view section,
                                     std::span<const KeyValue> writes) {
    std::string out(text);
    for (const KeyValue& w : writes) {
        std::optional<std::string> next = SetValue(out, section, w.key, w.value);
        if (!next) return std::nullopt;
        out = std::move(*next);
    }
    return out;
}

}  // namespace orbilon::profile
