#include "surface_input.h"

#include <algorithm>
#include <cmath>

namespace orbilon {

void PointerTracker::Enter(uint32_t surface, double x, double y) {
    surface_ = surface;
    offsetX_ = x_ - x;
    offsetY_ = y_ - y;
}

void PointerTracker::Leave(uint32_t surface) {
    if (surface_ == surface) surface_.reset();
}

bool PointerTracker::Motion(double x, double y) {
    if (!surface_) return false;
    x_ = offsetX_ + x;
    y_ = offsetY_ + y;
    return true;
}

CursorPos PointerTracker::Position() const {
    return {static_cast<int32_t>(std::lround(x_)), static_cast<int32_t>(std::lround(y_))};
}

void FocusTracker::Enter(uint32_t surface) {
    focused_.push_back(surface);
    wasFocused_ = true;
}

void FocusTracker::Leave(uint32_t surface) {
    const auto it = std::find(focused_.begin(), focused_.end(), surface);
    if (it != focused_.end()) focused_.erase(it);
}

void FocusTracker::SurfaceGone(uint32_t surface) {
    std::erase(focused_, surface);
    if (focused_.empty()) wasFocused_ = false;
}

void FocusTracker::KeyboardGone(uint32_t surface) {
    Leave(surface);
    if (focused_.empty()) wasFocused_ = false;
}

bool FocusTracker::TakeLoss() {
    if (!wasFocused_ || !focused_.empty()) return false;
    wasFocused_ = false;
    return true;
}

std::optional<SaverMessage> ButtonMessage(uint32_t button) {
    switch (button) {
        case ButtonLeft:
            return SaverMessage::LButtonDown;
        case ButtonRight:
            return SaverMessage::RButtonDown;
        case ButtonMiddle:
            return SaverMessage::MButtonDown;
        default:
            return std::nullopt;
    }
}

}  // namespace orbilon
