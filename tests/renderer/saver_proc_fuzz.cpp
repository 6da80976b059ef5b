// Drives the window procedure with arbitrary message sequences, pointer positions and password
// answers, and checks the rules that keep the saver from closing by accident.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "saver_proc.h"

namespace {

using orbilon::CursorPos;
using orbilon::SaverMessage;

struct Host : orbilon::SaverHost {
    CursorPos GetCursorPos() override { return cursor; }
    void HideCursor() override {}
    void InstallAnimationConstants() override {}
    void SetTitle(std::string_view) override {}
    void LowerPriority() override {}
    void InitGraphics() override {}
    void ShutdownGraphics() override {}
    void PostClose() override { ++closes; }
    void PostQuit(int code) override {
        if (code != 0) std::abort();
    }
    bool HasPasswordCheck() override { return withPassword; }
    int VerifyPassword() override { return answer; }

    CursorPos cursor;
    int closes = 0;
    bool withPassword = false;
    int answer = 1;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Host host;
    orbilon::SaverProc proc(host);
    if (size > 0) host.withPassword = data[0] & 1;
    proc.Handle(SaverMessage::Create);
    for (size_t i = 1; i + 2 < size; i += 3) {
        const auto m = static_cast<SaverMessage>(data[i] % (int(SaverMessage::Other) + 1));
        const int8_t a = static_cast<int8_t>(data[i + 1]);
        const int8_t b = static_cast<int8_t>(data[i + 2]);
        const bool armedBefore = proc.state().closeArmed;
        const bool firstSeenBefore = proc.state().firstMoveSeen;
        const CursorPos last = proc.state().lastCursor;
        const int closesBefore = host.closes;
        uintptr_t wParam = static_cast<uint8_t>(a);
        if (m == SaverMessage::MouseMove) host.cursor = {last.x + a, last.y + b};
        if (m == SaverMessage::SysCommand) wParam = 0xF000 + static_cast<uint8_t>(b) * 16;
        host.answer = b & 1;
        const orbilon::ProcResult r = proc.Handle(m, wParam);

        // Closing needs earlier or current user input, and the password where there is one.
        if (m == SaverMessage::Close && r.callDefault) {
            if (!armedBefore) std::abort();
            if (host.withPassword && host.answer == 0) std::abort();
        }
        if (proc.state().closeArmed && !armedBefore && m != SaverMessage::KeyDown &&
            m != SaverMessage::SysKeyDown && m != SaverMessage::LButtonDown &&
            m != SaverMessage::RButtonDown && m != SaverMessage::MButtonDown &&
            m != SaverMessage::ActivateApp && m != SaverMessage::MouseMove) {
            std::abort();
        }
        if (m == SaverMessage::MouseMove) {
            if (!firstSeenBefore && proc.state().closeArmed != armedBefore) std::abort();
            const int d = std::abs(a) + std::abs(b);
            if ((host.closes > closesBefore) != (d > orbilon::MouseMoveThreshold)) std::abort();
            if (d <= orbilon::MouseMoveThreshold && !(proc.state().lastCursor == host.cursor)) {
                std::abort();
            }
        }
        if (m == SaverMessage::Destroy && proc.ShouldDraw()) std::abort();
    }
    return 0;
}
