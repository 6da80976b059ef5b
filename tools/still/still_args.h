// The command line of orbilon-still.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orbilon {

inline constexpr int MaxStillSide = 8192;

struct StillArgs {
    uint32_t seed = 0;
    uint32_t frames = 0;
    int width = 0;
    int height = 0;
    std::string out;
};

// SEED FRAMES WIDTH HEIGHT OUT.png: SEED and FRAMES as scene-dump reads them, the sides
// 1 ... MaxStillSide, a non-empty output path.
std::optional<StillArgs> ParseStillArgs(int argc, const char* const* argv);

}  // namespace orbilon
