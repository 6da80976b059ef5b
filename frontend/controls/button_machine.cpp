#include "button_machine.h"

namespace orbilon::controls {

Reaction ButtonMachine::MouseMove() {
    if (!Enabled()) return {};
    if (ButtonState == kIdle) {
        ButtonState = kHover;
        return {Picture::HighLight};
    }
    if (ButtonState == kFocused && !MouseIsDown) {
        ButtonState = kFocusedHover;
        return {Picture::HighLightSelect};
    }
    return {};
}

Reaction ButtonMachine::MouseDown(MouseButton button) {
    if (!Enabled() || button != MouseButton::Left) return {};
    MouseIsDown = true;
    return {Picture::Pressed};
}

Reaction ButtonMachine::MouseUp(MouseButton button, bool over) {
    if (!Enabled()) return {};
    Reaction r;
    if (button == MouseButton::Left) {
        MouseIsDown = false;
        if (ButtonState == kHover) r.paint = Picture::Normal;
        if (ButtonState == kFocusedHover) r.paint = Picture::HighLightSelect;
    }
    // A focused button that saw no move since it got the focus does not click; every other
    // release does, whichever button it was.
    r.click = over && ButtonState != kFocused;
    return r;
}

Reaction ButtonMachine::FocusIn() {
    if (!Enabled()) return {};
    if (ButtonState == kHover) {
        ButtonState = kFocusedHover;
        return {Picture::Pressed};
    }
    ButtonState = kFocused;
    return {Picture::Selected};
}

Reaction ButtonMachine::FocusOut() {
    if (!Enabled() || ButtonState == kIdle) return {};
    ButtonState = kIdle;
    return {Picture::Normal};
}

Reaction ButtonMachine::CursorLeft() {
    if (!Enabled()) return {};
    if (ButtonState == kHover) {
        ButtonState = kIdle;
        return {Picture::Normal};
    }
    if (ButtonState == kFocusedHover) {
        ButtonState = kFocused;
        return {Picture::Selected};
    }
    return {};
}

void ButtonMachine::NotePaint() {
    if (ButtonState == kIdle || ButtonState == kFocused) HoverShade = false;
    if (ButtonState == kHover) HoverShade = true;
}

bool ButtonMachine::OwnFocusChange(bool arriving, bool away) {
    if (!arriving) {
        FocusParked = away;
        return !away;
    }
    const bool parked = FocusParked;
    FocusParked = false;
    return !(away && parked);
}

}  // namespace orbilon::controls
