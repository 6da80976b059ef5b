// Input over several surfaces, one per output, turned into the saver's messages: Wayland has no
// global pointer position and no application-wide activation, only per-surface enter and leave.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "saver_proc.h"

namespace orbilon {

// One continuous pointer position across the surfaces, for the mouse-move rule. Surface
// coordinates of different outputs cannot be compared, so entering a surface never moves this
// position: a jump is measured from where the pointer entered, and only motion within one
// surface counts.
class PointerTracker {
public:
    // The pointer entered `surface` at (x, y) in that surface's coordinates.
    void Enter(uint32_t surface, double x, double y);
    void Leave(uint32_t surface);
    // Motion to (x, y) on the entered surface; false, with nothing changed, when no surface is
    // entered.
    bool Motion(double x, double y);
    // The position in whole pixels, as the saver reads the cursor.
    CursorPos Position() const;
    std::optional<uint32_t> surface() const { return surface_; }

private:
    std::optional<uint32_t> surface_;
    double offsetX_ = 0, offsetY_ = 0;
    double x_ = 0, y_ = 0;
};

// Keyboard focus over the surfaces: the saver loses activation when the focus has left every
// one of them. Moving between two of them comes as a leave and an enter in one batch of
// events, so the loss is decided only once the batch is read.
class FocusTracker {
public:
    void Enter(uint32_t surface);
    void Leave(uint32_t surface);
    // A surface let go with its output, or a keyboard unplugged, takes its focus along; the
    // user switched to nothing else, so that is no loss.
    void SurfaceGone(uint32_t surface);
    void KeyboardGone(uint32_t surface);
    // After a batch of events: true once each time the focus went from some surface to none.
    bool TakeLoss();
    bool Focused() const { return !focused_.empty(); }

private:
    std::vector<uint32_t> focused_;  // one entry per keyboard focused on a surface
    bool wasFocused_ = false;
};

// Linux input codes of wl_pointer.button.
inline constexpr uint32_t ButtonLeft = 0x110;
inline constexpr uint32_t ButtonRight = 0x111;
inline constexpr uint32_t ButtonMiddle = 0x112;

// The message for a button pressed; none for the side and extra buttons, which are no input
// the saver ends on.
std::optional<SaverMessage> ButtonMessage(uint32_t button);

}  // namespace orbilon
