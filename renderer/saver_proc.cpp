#include "saver_proc.h"

#include <cstdlib>

namespace orbilon {

namespace {

constexpr ProcResult Default{true, 0};
constexpr ProcResult Swallowed{false, 0};

}  // namespace

ProcResult SaverProc::Handle(SaverMessage message, uintptr_t wParam) {
    switch (message) {
        case SaverMessage::Create:
            OnCreate();
            return Default;
        case SaverMessage::Destroy:
            OnDestroy();
            return Default;
        case SaverMessage::SysCommand:
            if (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE) {
                return Swallowed;
            }
            return Default;
        case SaverMessage::Close:
            return OnClose();
        default:
            break;
    }
    // While the password dialog shows, input only gets default handling.
    if (state_.passwordDialogOpen) return Default;
    switch (message) {
        case SaverMessage::ShowWindow:
            if (wParam != 0) host_.HideCursor();
            return Default;
        case SaverMessage::ActivateApp:
            if (wParam == 0) CloseRequest();
            return Default;
        case SaverMessage::SetCursor:
            host_.HideCursor();
            return {false, 1};
        case SaverMessage::KeyDown:
        case SaverMessage::SysKeyDown:
        case SaverMessage::LButtonDown:
        case SaverMessage::RButtonDown:
        case SaverMessage::MButtonDown:
            CloseRequest();
            return Default;
        case SaverMessage::MouseMove:
            OnMouseMove();
            return Default;
        default:
            return Default;
    }
}

void SaverProc::OnCreate() {
    state_.lastCursor = host_.GetCursorPos();
    host_.HideCursor();
    host_.InstallAnimationConstants();
    host_.SetTitle(RunningTitle);
    host_.LowerPriority();
    host_.InitGraphics();
    state_.drawingEnabled = true;
}

void SaverProc::OnDestroy() {
    host_.PostQuit(0);
    state_.drawingEnabled = false;
    host_.ShutdownGraphics();
}

ProcResult SaverProc::OnClose() {
    // A close from outside before any user input is not the user's wish to end the saver.
    if (!state_.closeArmed) return Swallowed;
    if (CheckScreenLockPassword() == 0) {
        state_.lastCursor = host_.GetCursorPos();
        return Swallowed;
    }
    return Default;
}

void SaverProc::CloseRequest() {
    state_.closeArmed = true;
    host_.PostClose();
}

void SaverProc::OnMouseMove() {
    // The first move may be the pointer settling after the window appeared; it never arms.
    if (state_.firstMoveSeen) {
        state_.closeArmed = true;
    } else {
        state_.firstMoveSeen = true;
    }
    const CursorPos now = host_.GetCursorPos();
    const int64_t d = std::llabs(int64_t{state_.lastCursor.x} - now.x) +
                      std::llabs(int64_t{state_.lastCursor.y} - now.y);
    if (d > MouseMoveThreshold) {
        host_.PostClose();
    } else {
        state_.lastCursor = now;
    }
}

int SaverProc::CheckScreenLockPassword() {
    if (!host_.HasPasswordCheck()) return 1;
    state_.passwordDialogOpen = true;
    const int ok = host_.VerifyPassword();
    state_.passwordDialogOpen = false;
    return ok;
}

}  // namespace orbilon
