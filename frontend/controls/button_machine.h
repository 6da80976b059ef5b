// The Command button's state machine, free of any toolkit: the widget feeds it mouse, focus
// and cursor-poll events and paints whatever picture a reaction names.
#pragma once

#include <cstdint>

namespace orbilon::controls {

// The six frame pictures; None means "paint nothing".
enum class Picture : uint8_t {
    None,
    Normal,
    HighLight,
    Pressed,
    Disable,
    Selected,
    HighLightSelect
};

enum class MouseButton : uint8_t { Left, Right, Middle, Other };

// ButtonState values.
inline constexpr uint8_t kNotArmed = 0;
inline constexpr uint8_t kIdle = 1;
inline constexpr uint8_t kHover = 2;
inline constexpr uint8_t kFocused = 3;
inline constexpr uint8_t kFocusedHover = 4;

inline constexpr int16_t kTrue = -1;
inline constexpr int16_t kFalse = 0;

struct Reaction {
    Picture paint = Picture::None;
    bool click = false;
    bool operator==(const Reaction&) const = default;
};

class ButtonMachine {
public:
    int16_t IsEnabled = kFalse;
    uint8_t FirstRun = 0;
    uint8_t ButtonState = kNotArmed;
    bool HoverShade = false;
    bool MouseIsDown = false;
    bool FocusParked = false;  // the focus left for another window

    bool Enabled() const { return IsEnabled != kFalse; }

    // Arms the button (the widget also starts its cursor poll).
    void Initialize() { ButtonState = kIdle; }

    Reaction MouseMove();
    Reaction MouseDown(MouseButton button);
    // over: whether the release happened over the button. A release elsewhere (the button
    // holds the pointer while pressed) paints as usual but never clicks, so a user can
    // still back out of a press by moving away.
    Reaction MouseUp(MouseButton button, bool over = true);
    Reaction FocusIn();
    Reaction FocusOut();
    // The cursor poll found the cursor outside the button.
    Reaction CursorLeft();

    // Whether a focus change is the button's own. Switching to another window (away) takes
    // the focus and later gives it back to the same button: neither half is one, so both
    // are ignored. arriving: focus in, else focus out.
    bool OwnFocusChange(bool arriving, bool away);

    // What refreshing the face does: nothing while disabled; before the first run the
    // caption colour also goes back to black (0).
    struct Refresh {
        bool paint = false;
        bool resetCaptionColour = false;
    };
    Refresh RefreshFace() const { return {Enabled(), Enabled() && FirstRun == 0}; }

    // The first step of every face paint: the gradient direction follows the state, and
    // the focused-hover state keeps whichever direction it was reached with.
    void NotePaint();
};

}  // namespace orbilon::controls
