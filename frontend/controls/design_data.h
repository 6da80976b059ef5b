// Design data: the named property store a host form keeps for each control it contains.
//
// Text format (UTF-8), one entry a line:
//     # comment
//     [Cmd_OK]                       a section per control; entries before any section
//     caption=OK                     belong to the section named ""
//     font=IPAPGothic;9.75;400;128;0;0;0
// Keys are written in lower case and matched without regard to ASCII case; a value runs to
// the end of its line, with \\, \n, \r and \t escaped. Blank, comment and malformed lines
// are skipped when reading.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orbilon::controls {

class PropertyBag {
public:
    using Entry = std::pair<std::string, std::string>;

    std::optional<std::string> Get(std::string_view key) const;
    // Replaces the entry of that key in place, or adds one at the end.
    void Set(std::string_view key, std::string value);
    void Remove(std::string_view key);
    const std::vector<Entry>& Entries() const { return entries_; }
    bool operator==(const PropertyBag&) const = default;

private:
    std::vector<Entry> entries_;
};

struct DesignSection {
    std::string name;
    PropertyBag properties;
    bool operator==(const DesignSection&) const = default;
};

class DesignData {
public:
    static DesignData Parse(std::string_view text);
    std::string Format() const;

    // The section of that control (exact name), or nothing.
    const PropertyBag* Find(std::string_view control) const;
    // The section of that control, added at the end when missing.
    PropertyBag& For(std::string_view control);
    const std::vector<DesignSection>& Sections() const { return sections_; }

private:
    std::vector<DesignSection> sections_;
};

// A font object as the store keeps it.
struct FontSpec {
    std::string name;
    double size = 9.75;  // points
    int16_t weight = 400;
    int16_t charset = 128;
    bool italic = false, underline = false, strikeout = false;
    bool operator==(const FontSpec&) const = default;
};

std::string FormatFont(const FontSpec& font);
std::optional<FontSpec> ParseFont(std::string_view text);

// Everything of a Command button that the store holds.
struct ButtonProperties {
    int16_t IsEnabled = 0;
    std::string caption = "Command";
    FontSpec font;
    uint8_t FirstRun = 0;
    int32_t FontColour = 0;
    bool opaque = true;
};

inline constexpr std::string_view kCaptionWriteDefault = "Command";
inline constexpr std::string_view kCaptionReadDefault = "Command1";

// Reads the store in its fixed order. Of the stored font only the name is taken over. A
// value that cannot be read leaves its field as it was.
void ReadButtonProperties(const PropertyBag& bag, const FontSpec& ambientFont,
                          ButtonProperties& props);

// Writes the store in its fixed order; a value equal to its write default is not stored.
void WriteButtonProperties(const ButtonProperties& props, const FontSpec& ambientFont,
                           PropertyBag& bag);

}  // namespace orbilon::controls
