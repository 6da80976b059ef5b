#include "button_machine.h"

#include <gtest/gtest.h>

#include <string>

namespace orbilon::controls {
namespace {

enum class Event { Move, LeftDown, RightDown, LeftUp, RightUp, MiddleUp, FocusIn, FocusOut, Left };

Reaction Fire(ButtonMachine& m, Event e) {
    switch (e) {
        case Event::Move:
            return m.MouseMove();
        case Event::LeftDown:
            return m.MouseDown(MouseButton::Left);
        case Event::RightDown:
            return m.MouseDown(MouseButton::Right);
        case Event::LeftUp:
            return m.MouseUp(MouseButton::Left);
        case Event::RightUp:
            return m.MouseUp(MouseButton::Right);
        case Event::MiddleUp:
            return m.MouseUp(MouseButton::Middle);
        case Event::FocusIn:
            return m.FocusIn();
        case Event::FocusOut:
            return m.FocusOut();
        case Event::Left:
            return m.CursorLeft();
    }
    return {};
}

struct Row {
    uint8_t state;
    bool mouseDown;
    Event event;
    uint8_t newState;
    Picture paint;
    bool click;
    bool mouseDownAfter;
};

ButtonMachine Enabled(uint8_t state, bool mouseDown) {
    ButtonMachine m;
    m.IsEnabled = kTrue;
    m.FirstRun = 1;
    m.ButtonState = state;
    m.MouseIsDown = mouseDown;
    return m;
}

// Every row of the event table, with the states each "any state" row covers.
TEST(ButtonMachine, FollowsTheEventTable) {
    const Picture N = Picture::None, Nm = Picture::Normal, Hl = Picture::HighLight,
                  Pr = Picture::Pressed, Se = Picture::Selected, Hs = Picture::HighLightSelect;
    const Row rows[] = {
        // mouse move
        {1, false, Event::Move, 2, Hl, false, false},
        {1, true, Event::Move, 2, Hl, false, true},
        {3, false, Event::Move, 4, Hs, false, false},
        {3, true, Event::Move, 3, N, false, true},
        {0, false, Event::Move, 0, N, false, false},
        {2, false, Event::Move, 2, N, false, false},
        {4, false, Event::Move, 4, N, false, false},
        // left down paints Pressed in every state; other buttons change nothing
        {0, false, Event::LeftDown, 0, Pr, false, true},
        {1, false, Event::LeftDown, 1, Pr, false, true},
        {2, false, Event::LeftDown, 2, Pr, false, true},
        {3, false, Event::LeftDown, 3, Pr, false, true},
        {4, false, Event::LeftDown, 4, Pr, false, true},
        {2, false, Event::RightDown, 2, N, false, false},
        // left up, then the click rule for every state
        {2, true, Event::LeftUp, 2, Nm, true, false},
        {4, true, Event::LeftUp, 4, Hs, true, false},
        {0, true, Event::LeftUp, 0, N, true, false},
        {1, true, Event::LeftUp, 1, N, true, false},
        {3, true, Event::LeftUp, 3, N, false, false},
        // other buttons: no picture, MouseIsDown untouched, click unless focused
        {1, false, Event::RightUp, 1, N, true, false},
        {2, true, Event::MiddleUp, 2, N, true, true},
        {3, false, Event::RightUp, 3, N, false, false},
        // focus arrives
        {2, false, Event::FocusIn, 4, Pr, false, false},
        {0, false, Event::FocusIn, 3, Se, false, false},
        {1, false, Event::FocusIn, 3, Se, false, false},
        {3, false, Event::FocusIn, 3, Se, false, false},
        {4, false, Event::FocusIn, 3, Se, false, false},
        // focus leaves
        {0, false, Event::FocusOut, 1, Nm, false, false},
        {2, false, Event::FocusOut, 1, Nm, false, false},
        {3, false, Event::FocusOut, 1, Nm, false, false},
        {4, false, Event::FocusOut, 1, Nm, false, false},
        {1, false, Event::FocusOut, 1, N, false, false},
        // cursor left
        {2, false, Event::Left, 1, Nm, false, false},
        {4, false, Event::Left, 3, Se, false, false},
        {0, false, Event::Left, 0, N, false, false},
        {1, false, Event::Left, 1, N, false, false},
        {3, false, Event::Left, 3, N, false, false},
    };
    int i = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE("row " + std::to_string(i++));
        ButtonMachine m = Enabled(row.state, row.mouseDown);
        const Reaction r = Fire(m, row.event);
        EXPECT_EQ(m.ButtonState, row.newState);
        EXPECT_EQ(r.paint, row.paint);
        EXPECT_EQ(r.click, row.click);
        EXPECT_EQ(m.MouseIsDown, row.mouseDownAfter);
    }
}

TEST(ButtonMachine, DisabledIgnoresEverything) {
    for (uint8_t state = 0; state <= 4; ++state) {
        for (Event e : {Event::Move, Event::LeftDown, Event::LeftUp, Event::RightUp, Event::FocusIn,
                        Event::FocusOut, Event::Left}) {
            ButtonMachine m = Enabled(state, false);
            m.IsEnabled = kFalse;
            EXPECT_EQ(Fire(m, e), Reaction{});
            EXPECT_EQ(m.ButtonState, state);
            EXPECT_FALSE(m.MouseIsDown);
        }
    }
}

// The sequences the button sees in use, with the pictures and clicks they give.
TEST(ButtonMachine, TypicalClickOnUnfocusedButton) {
    ButtonMachine m = Enabled(kIdle, false);
    EXPECT_EQ(m.MouseMove().paint, Picture::HighLight);
    EXPECT_EQ(m.MouseDown(MouseButton::Left).paint, Picture::Pressed);
    EXPECT_EQ(m.FocusIn().paint, Picture::Pressed);
    EXPECT_EQ(m.ButtonState, kFocusedHover);
    EXPECT_EQ(m.MouseUp(MouseButton::Left), (Reaction{Picture::HighLightSelect, true}));
    EXPECT_EQ(m.CursorLeft().paint, Picture::Selected);
    EXPECT_EQ(m.FocusOut().paint, Picture::Normal);
    EXPECT_EQ(m.ButtonState, kIdle);
}

TEST(ButtonMachine, FocusedButtonPressedWithoutMoveDoesNotClick) {
    ButtonMachine m = Enabled(kIdle, false);
    m.FocusIn();
    m.MouseDown(MouseButton::Left);
    EXPECT_EQ(m.MouseMove(), Reaction{});  // held down: no hover look
    EXPECT_FALSE(m.MouseUp(MouseButton::Left).click);
    // The next move after the release arms the hover look, and then a release clicks.
    EXPECT_EQ(m.MouseMove().paint, Picture::HighLightSelect);
    EXPECT_TRUE(m.MouseUp(MouseButton::Left).click);
}

TEST(ButtonMachine, ReleaseAwayFromTheButtonNeverClicks) {
    ButtonMachine m = Enabled(kHover, true);
    EXPECT_EQ(m.MouseUp(MouseButton::Left, false), (Reaction{Picture::Normal, false}));
    EXPECT_FALSE(m.MouseUp(MouseButton::Right, false).click);
}

// The gradient direction is taken at paint time, after the state changed.
TEST(ButtonMachine, HoverShadeFollowsThePaintedState) {
    ButtonMachine m = Enabled(kIdle, false);
    auto after = [&m](Reaction) {
        m.NotePaint();
        return m.HoverShade;
    };
    EXPECT_TRUE(after(m.MouseMove()));
    EXPECT_TRUE(after(m.FocusIn()));      // 2 -> 4 keeps the hover direction
    EXPECT_FALSE(after(m.CursorLeft()));  // 4 -> 3
    EXPECT_FALSE(after(m.MouseMove()));   // 3 -> 4 keeps the idle direction
    EXPECT_FALSE(after(m.FocusOut()));
}

// A window switch parks the focus and gives it back: neither half counts; a later switch
// back that arrives without a park, and every change inside the window, do.
TEST(ButtonMachine, WindowSwitchIsNotTheButtonsOwnFocusChange) {
    ButtonMachine m = Enabled(kFocused, false);
    EXPECT_FALSE(m.OwnFocusChange(false, true));  // out, to another window
    EXPECT_FALSE(m.OwnFocusChange(true, true));   // back from it
    EXPECT_TRUE(m.OwnFocusChange(true, true));    // nothing was parked
    EXPECT_TRUE(m.OwnFocusChange(false, false));
    EXPECT_TRUE(m.OwnFocusChange(true, false));
}

TEST(ButtonMachine, RefreshResetsTheCaptionColourOnlyBeforeTheFirstRun) {
    ButtonMachine m = Enabled(kIdle, false);
    m.FirstRun = 0;
    EXPECT_TRUE(m.RefreshFace().paint && m.RefreshFace().resetCaptionColour);
    m.FirstRun = 1;
    EXPECT_TRUE(m.RefreshFace().paint && !m.RefreshFace().resetCaptionColour);
    m.IsEnabled = kFalse;
    m.FirstRun = 0;
    EXPECT_FALSE(m.RefreshFace().paint || m.RefreshFace().resetCaptionColour);
}

}  // namespace
}  // namespace orbilon::controls
