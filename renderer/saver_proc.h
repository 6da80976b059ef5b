// The renderer's window procedure as a plain state machine: which input ends the saver, when a
// close request is honoured, and the start-up steps done while the window is being created.
// The window system adapter translates its events into SaverMessage values and performs the
// effects through SaverHost, so the whole rule set runs without a display.
#pragma once

#include <cstdint>
#include <deque>
#include <string_view>

#include "frame_loop.h"
#include "window_contract.h"

namespace orbilon {

enum class SaverMessage {
    Create,
    Destroy,
    SysCommand,  // wParam: the command
    Close,
    ShowWindow,   // wParam: nonzero when being shown
    ActivateApp,  // wParam: zero when the program lost activation
    SetCursor,
    KeyDown,
    SysKeyDown,
    LButtonDown,
    RButtonDown,
    MButtonDown,
    MouseMove,
    Other,
};

// System commands that must not disturb a running saver.
inline constexpr uint32_t SC_NEXTWINDOW = 0xF040;
inline constexpr uint32_t SC_PREVWINDOW = 0xF050;
inline constexpr uint32_t SC_SCREENSAVE = 0xF140;

inline constexpr int MouseMoveThreshold = 4;
inline constexpr std::string_view RunningTitle = kRendererTitle;

struct CursorPos {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const CursorPos&) const = default;
};

// What the procedure asks of the window system and the graphics.
class SaverHost {
public:
    virtual ~SaverHost() = default;
    virtual CursorPos GetCursorPos() = 0;
    virtual void HideCursor() = 0;
    virtual void InstallAnimationConstants() = 0;
    virtual void SetTitle(std::string_view title) = 0;
    virtual void LowerPriority() = 0;
    virtual void InitGraphics() = 0;
    virtual void ShutdownGraphics() = 0;
    // Queues a close request for the own window; it comes back as SaverMessage::Close.
    virtual void PostClose() = 0;
    virtual void PostQuit(int exitCode) = 0;
    // True where the platform has a screen-saver password of its own to ask for.
    virtual bool HasPasswordCheck() = 0;
    // Shows the platform's password dialog (modal: messages may arrive meanwhile); nonzero when
    // the saver may close.
    virtual int VerifyPassword() = 0;
};

// A host whose window system has no message queue of its own for the saver's requests (X11,
// Wayland): a posted close or quit waits here until the run loop takes it, and no password
// check is offered.
class QueuedSaverHost : public SaverHost {
public:
    struct Posted {
        bool quit;
        int code;
    };
    void PostClose() override { posted_.push_back({false, 0}); }
    void PostQuit(int exitCode) override { posted_.push_back({true, exitCode}); }
    bool HasPasswordCheck() override { return false; }
    int VerifyPassword() override { return 1; }

protected:
    std::deque<Posted> posted_;
};

struct SaverState {
    bool drawingEnabled = false;
    bool closeArmed = false;
    bool firstMoveSeen = false;
    bool passwordDialogOpen = false;
    CursorPos lastCursor;
};

// callDefault: the adapter applies the window system's default handling (for Close, that is
// destroying the window) and the message's result is that handling's; otherwise `value`.
struct ProcResult {
    bool callDefault = true;
    intptr_t value = 0;
    bool operator==(const ProcResult&) const = default;
};

class SaverProc final : public InputPolicy {
public:
    explicit SaverProc(SaverHost& host) : host_(host) {}

    ProcResult Handle(SaverMessage message, uintptr_t wParam = 0);

    // Frames are drawn only while graphics run and no password dialog is showing.
    bool ShouldDraw() const { return state_.drawingEnabled && !state_.passwordDialogOpen; }
    bool FramesAllowed() const override { return ShouldDraw(); }

    // 1 when the saver may close; asks the platform's password where it has one.
    int CheckScreenLockPassword();

    const SaverState& state() const { return state_; }

private:
    void OnCreate();
    void OnDestroy();
    ProcResult OnClose();
    void CloseRequest();
    void OnMouseMove();

    SaverHost& host_;
    SaverState state_;
};

}  // namespace orbilon
