#include "output_set.h"

#include <algorithm>

namespace orbilon {

bool OutputSet::Added(uint32_t output) {
    if (outputs_.contains(output)) return false;
    outputs_[output] = State::Surface;
    hadSurface_ = true;
    return true;
}

bool OutputSet::Removed(uint32_t output) {
    const auto it = outputs_.find(output);
    if (it == outputs_.end()) return false;
    const bool up = it->second == State::Surface;
    outputs_.erase(it);
    return up;
}

bool OutputSet::Closed(uint32_t output) {
    const auto it = outputs_.find(output);
    if (it == outputs_.end() || it->second != State::Surface) return false;
    it->second = State::LetGo;
    return true;
}

bool OutputSet::HasSurface(uint32_t output) const {
    const auto it = outputs_.find(output);
    return it != outputs_.end() && it->second == State::Surface;
}

int OutputSet::surfaces() const {
    return static_cast<int>(std::count_if(outputs_.begin(), outputs_.end(), [](const auto& o) {
        return o.second == State::Surface;
    }));
}

bool SharedStep::BeforeDraw(uint32_t surface) {
    uint64_t& shown = shown_[surface];
    const bool step = shown == step_;
    if (step) ++step_;
    shown = step_;
    return step;
}

}  // namespace orbilon
