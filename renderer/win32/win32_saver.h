// The renderer's program shell on Win32: the window class, the single-instance check, the
// full-screen window, SaverWindowProc over the shared SaverProc, and the idle loop.
#pragma once

#include <windows.h>

namespace orbilon {

// Registers the class, creates the window, runs the message loop; the exit status.
int RunSaver(HINSTANCE instance);

}  // namespace orbilon
