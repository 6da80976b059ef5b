// The renderer's program shell on Xlib: the single-instance check, the one full-screen window,
// the translation of X events into the saver's messages, and the frame loop; or, for a
// screen-saver service, drawing into the window it names.
#pragma once

#include "frame_loop.h"

namespace orbilon {

// Runs the saver on $DISPLAY. Returns the exit status: 0 after a normal end or when another
// saver window is already up; 1, after one line on stderr, when no display can be opened or no
// window made.
int RunSaver(const SaverHooks& hooks = {});

// Runs inside `target`, a window of a screen-saver service: draws there following its size,
// takes no input and changes nothing of the window. Returns 0 when the window is destroyed, on
// SIGTERM or when the parent process is gone; 1, after one line on stderr, when no display can
// be opened or the target is no window.
int RunInWindow(unsigned long target, const SaverHooks& hooks = {});

}  // namespace orbilon
