// The ShowCursor display counter, kept by the front end itself: X11 has no such counter.
#pragma once

namespace platform {

class CursorCounter {
public:
    struct Change {
        int counter;        // the counter after the call
        bool hide = false;  // the pointer must be hidden now (it was visible)
        bool show = false;  // the pointer must be shown now (it was hidden)
    };

    // Non-zero flag counts up, zero counts down; hidden while below 0.
    Change Apply(int flag) {
        const bool wasHidden = value_ < 0;
        value_ += flag != 0 ? 1 : -1;
        const bool isHidden = value_ < 0;
        return {value_, isHidden && !wasHidden, wasHidden && !isHidden};
    }

    int Value() const { return value_; }

private:
    int value_ = 0;
};

}  // namespace platform
