// The renderer's program shell on Wayland: a surface on every output, each drawing the whole
// composition at its own aspect ratio from one model, paced by the compositor; the saver's
// input rules over all of them.
#pragma once

namespace orbilon {

// Runs the saver on the compositor named by the environment. Returns the exit status: 0 after
// a normal end (input, or the last surface gone); 1, after one line on stderr, when there is
// no compositor, no output, no shell to make surfaces with or no OpenGL, or when the
// connection breaks.
int RunWaylandSaver();

}  // namespace orbilon
