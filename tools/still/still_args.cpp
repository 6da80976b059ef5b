#include "still_args.h"

#include "model/scene_json.h"

namespace orbilon {

std::optional<StillArgs> ParseStillArgs(int argc, const char* const* argv) {
    if (argc != 6) return std::nullopt;
    const auto seed = ParseUint32(argv[1]);
    const auto frames = ParseUint32(argv[2]);
    const auto width = ParseUint32(argv[3]);
    const auto height = ParseUint32(argv[4]);
    if (!seed || !frames || !width || !height) return std::nullopt;
    if (*width < 1 || *width > MaxStillSide || *height < 1 || *height > MaxStillSide) {
        return std::nullopt;
    }
    StillArgs a{*seed, *frames, static_cast<int>(*width), static_cast<int>(*height), argv[5]};
    if (a.out.empty()) return std::nullopt;
    return a;
}

}  // namespace orbilon
