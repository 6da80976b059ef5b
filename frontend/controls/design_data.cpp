#include "design_data.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace orbilon::controls {

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameKey(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

std::string LowerKey(std::string_view key) {
    std::string out(key);
    for (char& c : out) c = Lower(c);
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::string Escape(std::string_view v) {
    std::string out;
    out.reserve(v.size());
    for (char c : v) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Unescape(std::string_view v) {
    std::string out;
    out.reserve(v.size());
    for (size_t i = 0; i < v.size(); ++i) {
        if (v[i] != '\\' || i + 1 == v.size()) {
            out += v[i];
            continue;
        }
        switch (v[++i]) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            default:
                out += v[i];
        }
    }
    return out;
}

template <typename T>
std::optional<T> ParseInt(std::string_view s) {
    s = Trim(s);
    T v{};
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
    return v;
}

// Booleans as a Linux user writes them, and as the old -1/0 numbers.
std::optional<int16_t> ParseBool(std::string_view s) {
    s = Trim(s);
    if (SameKey(s, "true")) return int16_t{-1};
    if (SameKey(s, "false")) return int16_t{0};
    if (const auto n = ParseInt<int32_t>(s)) return static_cast<int16_t>(*n != 0 ? -1 : 0);
    return std::nullopt;
}

// Colours as decimal or as &H hexadecimal (with or without the trailing &).
std::optional<int32_t> ParseColour(std::string_view s) {
    s = Trim(s);
    if (s.size() > 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) {
        s.remove_prefix(2);
        if (!s.empty() && s.back() == '&') s.remove_suffix(1);
        uint32_t v = 0;
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
        if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
        return static_cast<int32_t>(v);
    }
    return ParseInt<int32_t>(s);
}

}  // namespace

std::optional<std::string> PropertyBag::Get(std::string_view key) const {
    for (const auto& [k, v] : entries_)
        if (SameKey(k, key)) return v;
    return std::nullopt;
}

void PropertyBag::Set(std::string_view key, std::string value) {
    for (auto& [k, v] : entries_) {
        if (SameKey(k, key)) {
            v = std::move(value);
            return;
        }
    }
    entries_.emplace_back(LowerKey(key), std::move(value));
}

void PropertyBag::Remove(std::string_view key) {
    std::erase_if(entries_, [key](const Entry& e) { return SameKey(e.first, key); });
}

DesignData DesignData::Parse(std::string_view text) {
    DesignData data;
    PropertyBag* current = nullptr;
    while (!text.empty()) {
        const size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::string_view trimmed = Trim(line);
        if (trimmed.empty() || trimmed.front() == '#') continue;
        if (trimmed.front() == '[' && trimmed.back() == ']' && trimmed.size() >= 2) {
            current = &data.For(Trim(trimmed.substr(1, trimmed.size() - 2)));
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = Trim(line.substr(0, eq));
        if (key.empty()) continue;
        if (!current) current = &data.For("");
        current->Set(key, Unescape(line.substr(eq + 1)));
    }
    return data;
}

std::string DesignData::Format() const {
    std::string out;
    for (const auto& section : sections_) {
        // Entries before any section header belong to "", so only a leading "" section
        // that holds entries can go without its header.
        const bool implicit = section.name.empty() && &section == &sections_.front() &&
                              !section.properties.Entries().empty();
        if (!implicit) {
            out += '[';
            out += section.name;
            out += "]\n";
        }
        for (const auto& [k, v] : section.properties.Entries()) {
            out += k;
            out += '=';
            out += Escape(v);
            out += '\n';
        }
    }
    return out;
}

const PropertyBag* DesignData::Find(std::string_view control) const {
    for (const auto& s : sections_)
        if (s.name == control) return &s.properties;
    return nullptr;
}

PropertyBag& DesignData::For(std::string_view control) {
    for (auto& s : sections_)
        if (s.name == control) return s.properties;
    sections_.push_back({std::string(control), {}});
    return sections_.back().properties;
}

std::string FormatFont(const FontSpec& f) {
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, ";%g;%d;%d;%d;%d;%d", f.size, f.weight, f.charset,
                  f.italic ? 1 : 0, f.underline ? 1 : 0, f.strikeout ? 1 : 0);
    return f.name + numbers;
}

std::optional<FontSpec> ParseFont(std::string_view text) {
    // The six numbers are taken from the right, so a name may hold any character.
    std::string_view fields[6];
    for (int i = 5; i >= 0; --i) {
        const size_t sep = text.rfind(';');
        if (sep == std::string_view::npos) return std::nullopt;
        fields[i] = text.substr(sep + 1);
        text = text.substr(0, sep);
    }
    FontSpec f;
    f.name = std::string(text);
    const std::string size(Trim(fields[0]));
    char* end = nullptr;
    f.size = std::strtod(size.c_str(), &end);
    if (size.empty() || *end != '\0' || !std::isfinite(f.size) || f.size <= 0 || f.size > 2048)
        return std::nullopt;
    const auto weight = ParseInt<int16_t>(fields[1]);
    const auto charset = ParseInt<int16_t>(fields[2]);
    const auto italic = ParseBool(fields[3]);
    const auto underline = ParseBool(fields[4]);
    const auto strikeout = ParseBool(fields[5]);
    if (!weight || !charset || !italic || !underline || !strikeout) return std::nullopt;
    f.weight = *weight;
    f.charset = *charset;
    f.italic = *italic != 0;
    f.underline = *underline != 0;
    f.strikeout = *strikeout != 0;
    return f;
}

void ReadButtonProperties(const PropertyBag& bag, const FontSpec& ambientFont,
                          ButtonProperties& p) {
    if (const auto v = ParseBool(bag.Get("Enabled").value_or("True"))) p.IsEnabled = *v;
    p.caption = bag.Get("Caption").value_or(std::string(kCaptionReadDefault));
    if (const auto stored = bag.Get("Font")) {
        if (const auto f = ParseFont(*stored)) p.font.name = f->name;
    } else {
        p.font.name = ambientFont.name;
    }
    if (const auto v = ParseInt<int32_t>(bag.Get("FirstRun").value_or("1"));
        v && *v >= 0 && *v <= std::numeric_limits<uint8_t>::max())
        p.FirstRun = static_cast<uint8_t>(*v);
    if (const auto v = ParseColour(bag.Get("FontColour").value_or("0"))) p.FontColour = *v;
    if (const auto v = ParseInt<int16_t>(bag.Get("Visible").value_or("1"))) p.opaque = *v != 0;
}

void WriteButtonProperties(const ButtonProperties& p, const FontSpec& ambientFont,
                           PropertyBag& bag) {
    auto put = [&bag](std::string_view key, std::string value, std::string_view writeDefault) {
        if (value == writeDefault)
            bag.Remove(key);
        else
            bag.Set(key, std::move(value));
    };
    put("Enabled", p.IsEnabled != 0 ? "True" : "False", "True");
    put("Caption", p.caption, kCaptionWriteDefault);
    put("FirstRun", std::to_string(p.FirstRun), "1");
    if (p.font == ambientFont)
        bag.Remove("Font");
    else
        bag.Set("Font", FormatFont(p.font));
    put("FontColour", std::to_string(p.FontColour), "0");
    put("Visible", p.opaque ? "1" : "0", "1");
}

}  // namespace orbilon::controls
