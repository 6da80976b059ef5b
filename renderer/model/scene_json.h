// The scene as JSON, for scene-dump's debugging and golden output.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/scene.h"

namespace orbilon {

struct SceneDumpArgs {
    uint32_t seed = 0;
    uint32_t frames = 0;
};

// argv[1] = SEED (unsigned 32-bit decimal), argv[2] = FRAMES (same range); nothing else.
std::optional<SceneDumpArgs> ParseSceneDumpArgs(int argc, const char* const* argv);

// A decimal of digits only that fits 32 bits ("+1", "-1", " 1", "1x" and "" are refused).
std::optional<uint32_t> ParseUint32(std::string_view text);

// Floats with 9 significant digits, so each reads back as the same single-precision value.
// The poses are left out while no frame has been stepped.
std::string SceneJson(const Scene& scene, uint32_t seed, uint64_t draws);

}  // namespace orbilon
