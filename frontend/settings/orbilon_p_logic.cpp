#include "orbilon_p_logic.h"

#include <cmath>
#include <limits>

#include "cp932.h"
#include "number.h"
#include "settings.h"

namespace orbilon::dialog {

namespace {

// The longest value the profile reader hands back whole.
constexpr size_t kMaxValueBytes = 255;

bool FitsInt16(double v) {
    return v >= -32768.0 && v <= 32767.0;
}

}  // namespace

SourceView ViewFor(int16_t kind) {
    switch (kind) {
        case 0:
            return {0, false, false};
        case 1:
            return {1, true, false};
        case 2:
            return {2, false, true};
        default:
            return {-1, false, false};
    }
}

double RoundHalfEven(double x) {
    if (!std::isfinite(x)) return x;
    const double down = std::floor(x);
    const double diff = x - down;
    if (diff < 0.5) return down;
    if (diff > 0.5) return down + 1.0;
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

std::string FormatHashHash(long n) {
    return n == 0 ? std::string() : std::to_string(n);
}

std::vector<std::string> TrackItems() {
    std::vector<std::string> items;
    items.reserve(31);
    for (long i = 0; i <= 30; ++i) items.push_back(FormatHashHash(i));
    return items;
}

int16_t TrackFromText(std::string_view text) {
    const std::optional<double> n = ParseNumber(text);
    if (!n) return 0;
    const double r = RoundHalfEven(*n);
    // A track outside signed 16 bits is no track at all; treat it like any other non-number.
    if (!std::isfinite(r) || !FitsInt16(r)) return 0;
    return static_cast<int16_t>(r);
}

SavePlan PlanSave(int16_t kind, std::string_view trackText, const std::string& file) {
    SavePlan plan;
    plan.repeatTrack = TrackFromText(trackText);
    plan.writes = {{kKeyKind, std::to_string(kind)},
                   {kKeyRepeat, std::to_string(plan.repeatTrack)},
                   {kKeyFile, file}};
    return plan;
}

bool FitsCp932(std::string_view utf8, size_t* cp932Bytes) {
    const std::optional<std::string> bytes = cp932::FromUtf8(utf8);
    if (bytes && cp932Bytes) *cp932Bytes = bytes->size();
    return bytes.has_value();
}

FileVerdict JudgeChosenFile(bool confirmed, const std::string& utf8Path) {
    if (!confirmed || utf8Path.empty()) return FileVerdict::Ignore;
    for (unsigned char c : utf8Path) {
        if (c < 0x20 || c == 0x7F) return FileVerdict::ControlChar;
    }
    size_t bytes = 0;
    if (!FitsCp932(utf8Path, &bytes)) return FileVerdict::NotShiftJis;
    if (bytes > kMaxValueBytes) return FileVerdict::TooLong;
    return FileVerdict::Take;
}

Placement PlaceDialog(double screenWidthTwips, double screenHeightTwips, double dialogWidthTwips,
                      double dialogHeightTwips) {
    const auto freeSpace = [](double screen, double dialog) {
        return static_cast<long>(RoundHalfEven(screen - dialog));
    };
    // C++ integer division truncates toward zero, as the placement wants for a dialog
    // larger than the screen.
    return {freeSpace(screenWidthTwips, dialogWidthTwips) / 2,
            freeSpace(screenHeightTwips, dialogHeightTwips) / 3};
}

int GradientLevel(int y, int height) {
    if (height <= 0) return 0;
    const double k = height / 3.142;
    return static_cast<int>(RoundHalfEven(std::fabs(std::sin(y / k)) * 220.0));
}

int TwipsToPixels(double twips, double twipsPerPixel) {
    if (!(twipsPerPixel > 0)) return 0;
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

std::string RefusalMessage(FileVerdict verdict) {
    switch (verdict) {
        case FileVerdict::NotShiftJis:
            return "このﾌｧｲﾙ名には Shift_JIS で表せない文字が含まれているため、設定に使えません。";
        case FileVerdict::ControlChar:
            return "このﾌｧｲﾙ名には改行などの制御文字が含まれているため、設定に使えません。";
        case FileVerdict::TooLong:
            return "このﾌｧｲﾙ名は長すぎるため、設定に使えません。";
        default:
            return std::string();
    }
}

std::string SaveFailedMessage(const std::string& settingsPath) {
    return "設定を保存できませんでした。\n" + settingsPath;
}

}  // namespace orbilon::dialog
