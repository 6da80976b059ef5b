#include "egl_config_choice.h"

namespace orbilon {

namespace {

bool Fits(const EglConfigTraits& c) {
    return c.window && c.openGl && c.red == 8 && c.green == 8 && c.blue == 8 && c.alpha == 0 &&
           c.depth > 0;
}

int Rank(const EglConfigTraits& c) {
    return c.depth == 24 ? 1000 : c.depth;
}

}  // namespace

std::optional<size_t> ChooseEglConfig(std::span<const EglConfigTraits> configs) {
    std::optional<size_t> best;
    for (size_t i = 0; i < configs.size(); ++i) {
        if (!Fits(configs[i])) continue;
        if (!best || Rank(configs[i]) > Rank(configs[*best])) best = i;
    }
    return best;
}

}  // namespace orbilon
