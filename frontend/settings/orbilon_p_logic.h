// Decisions of the settings dialog Orbilon_P, kept free of any toolkit so they can be tested
// without a display: what a source choice shows, how the track box reads, what a save writes,
// which chosen files the settings file can carry, where the dialog goes and how it is shaded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings.h"

namespace orbilon::dialog {

// What the marks and the two source-dependent controls show for a BGMKind.
struct SourceView {
    int selectedMark;  // 0..2, or -1 when the kind names no choice (a hand-edited file)
    bool repeatEnabled;
    bool fileButtonEnabled;
    bool operator==(const SourceView&) const = default;
};
SourceView ViewFor(int16_t kind);

// Round to the nearest whole number, halves to the even neighbour (2.5 -> 2, 7.5 -> 8).
double RoundHalfEven(double x);

// The number format "##": no digits for 0, otherwise the plain decimal text.
std::string FormatHashHash(long n);

// The 31 entries of the track box: "" then "1" to "30".
std::vector<std::string> TrackItems();

// RepeatTrack from the track box's text: a number rounded halves to even; empty text, a
// non-number or a value outside signed 16 bits gives 0.
int16_t TrackFromText(std::string_view text);

// The three writes of a save, in order; they are stored together or not at all.
using orbilon::IniWrite;
struct SavePlan {
    int16_t repeatTrack;
    std::vector<IniWrite> writes;
};
SavePlan PlanSave(int16_t kind, std::string_view trackText, const std::string& file);

// A file the user confirmed in the file dialog, judged before it replaces BGMFile.
enum class FileVerdict {
    Ignore,       // cancelled or no name: nothing changes
    Take,         // becomes BGMFile
    NotShiftJis,  // the settings file (CP932) cannot carry it
    ControlChar,  // a line break or other control character would corrupt the file
    TooLong,      // longer than the 255-byte value the settings file reads back
};
FileVerdict JudgeChosenFile(bool confirmed, const std::string& utf8Path);

// True when every character of the UTF-8 text has a CP932 encoding; sets *cp932Bytes to the
// encoded length when given.
bool FitsCp932(std::string_view utf8, size_t* cp932Bytes = nullptr);

// Left and top of the dialog in twips: centred horizontally, one third of the free height
// from the top; each difference is rounded to a whole twip (halves to even) before the
// whole-number division, which drops the remainder toward zero.
struct Placement {
    long left;
    long top;
    bool operator==(const Placement&) const = default;
};
Placement PlaceDialog(double screenWidthTwips, double screenHeightTwips, double dialogWidthTwips,
                      double dialogHeightTwips);

// Brightness of gradient row y (0..height inclusive) of an area of the given inner height:
// |sin(y / (height / 3.142))| * 220, rounded halves to even. 0 for a height of 0 or less.
int GradientLevel(int y, int height);

// Twips to whole pixels at the given twips per pixel (rounded to nearest).
int TwipsToPixels(double twips, double twipsPerPixel);

// Texts of the file dialog.
inline constexpr const char* kFileDialogTitle = "ﾌｧｲﾙを開く";
inline constexpr const char* kFilterDescription = "BGMﾌｧｲﾙ (MP3 WAV)";
inline constexpr const char* kFilterPattern = "*.MP3;*.WAV";

// Message for a refused file or a failed save (the caption is the application title).
std::string RefusalMessage(FileVerdict verdict);
std::string SaveFailedMessage(const std::string& settingsPath);

}  // namespace orbilon::dialog
