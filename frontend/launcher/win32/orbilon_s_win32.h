// The saver host form Orbilon_S: a hidden top-level window titled "Orbilon_Main" that plays
// the music, launches the renderer and ends the process when the renderer's window is gone.
#pragma once

#include <cstdint>

// The cursor display counter Main saved when it hid the cursor ("S" runs).
extern int32_t CursorCount;

// Loads the host (not shown); it lives until it ends the process.
void LoadSaverHost();
