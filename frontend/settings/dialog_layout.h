// The settings dialog Orbilon_P as one table both toolkits draw from: every place in twips,
// every text, font and colour, and the order of its load steps. A toolkit only turns these
// into widgets or paint calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orbilon::dialog {

struct TwipRect {
    int left, top, width, height;
};

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

// The client area, in twips.
inline constexpr int kClientWidth = 7185;
inline constexpr int kClientHeight = 3780;

// The panel Pic_C(0); the controls below marked "panel" sit relative to it.
inline constexpr TwipRect kPanel{180, 240, 6795, 2535};

// On the form.
inline constexpr TwipRect kVersion{180, 2940, 2475, 195};
inline constexpr const char* kVersionText = "Designed by Tavrel Ver.1.0.0";
inline constexpr TwipRect kCmdEtc{2880, 3000, 1875, 375};
inline constexpr TwipRect kCmdSet{4800, 3000, 1095, 375};
inline constexpr TwipRect kCmdCan{5940, 3000, 1035, 375};
// Where the two mark pictures Img_Ra(0) and Img_Ra(1) are stored, right of the client area
// where they are never seen.
inline constexpr TwipRect kMarkStores[2] = {{8040, 300, 180, 180}, {8040, 600, 180, 180}};

// On the panel.
inline constexpr TwipRect kHeadingFrame{300, 300, 1695, 315};
inline constexpr TwipRect kHeading{300, 360, 1665, 195};
inline constexpr const char* kHeadingText = "BGM";
inline constexpr TwipRect kRepeat{1380, 780, 615, 300};
inline constexpr TwipRect kRepeatLabel{2040, 840, 990, 195};
inline constexpr const char* kRepeatLabelText = "曲目をﾘﾋﾟｰﾄ";
inline constexpr TwipRect kFileLabel{1020, 1740, 5355, 435};
inline constexpr TwipRect kCmdBgm{540, 1740, 435, 315};
// Index i is the BGMKind the choice stands for.
inline constexpr TwipRect kMarks[3] = {
    {300, 1140, 195, 195}, {300, 840, 195, 195}, {300, 1440, 195, 195}};
inline constexpr TwipRect kChoiceLabels[3] = {
    {540, 1140, 345, 195}, {540, 840, 645, 195}, {540, 1440, 900, 195}};
inline constexpr const char* kChoiceTexts[3] = {"無し", "音楽CD", "MP3、WAV"};

// Fonts: the form's (labels and buttons) and the panel's (the track box).
inline constexpr const char* kFormFace = "ＭＳ Ｐゴシック";
inline constexpr double kFormPoints = 9.75;
inline constexpr const char* kPanelFace = "Tahoma";
inline constexpr double kPanelPoints = 8.25;

// Colours.
inline constexpr Rgb kFormBackground{192, 192, 192};
inline constexpr Rgb kPanelBackground{224, 224, 224};
inline constexpr Rgb kVersionColour{255, 255, 255};
inline constexpr Rgb kPanelTextColour{0, 0, 0};
inline constexpr Rgb kTrackBoxBackground{255, 255, 255};
// The vertical shadings from a row's GradientLevel: bluish on the form, grey on the panel.
inline constexpr Rgb FormShade(int level) {
    return {level, level, level + 30};
}
inline constexpr Rgb PanelShade(int level) {
    return {level + 30, level + 30, level + 30};
}

// What loading the form asks of its toolkit, in the order the load makes the calls.
class LoadSteps {
public:
    virtual ~LoadSteps() = default;
    // The screen's and the outer window's sizes in pixels, and the twips per pixel.
    struct Geometry {
        int screenWidth, screenHeight, outerWidth, outerHeight;
        double tppX, tppY;
    };
    virtual std::optional<Geometry> Measure() = 0;
    // Moves the outer window to this point of its screen, in pixels; the size stays.
    virtual void MoveTo(int x, int y) = 0;
    virtual void ArmButtons() = 0;
    virtual void ShowSource(int16_t kind) = 0;
    virtual void FillTrackBox(const std::vector<std::string>& items) = 0;
    virtual void SetTrackText(const std::string& text) = 0;
    virtual void ShowFile(const std::string& path) = 0;
    // The pointer in screen pixels, or nothing when it cannot be read.
    virtual std::optional<std::pair<long, long>> CursorPos() = 0;
    virtual void ZoomOpen() = 0;
    virtual void DefaultPointer() = 0;
};

// The form's load: placed centred, one third of the free height down; the buttons armed; the
// marks, track box and file label from the loaded settings; the zoom's anchor from the
// pointer (0, 0 when it cannot be read) and the opening zoom; the default pointer.
void LoadForm(LoadSteps& steps, int16_t bgmKind, int16_t repeatTrack, const std::string& bgmFile);

}  // namespace orbilon::dialog
