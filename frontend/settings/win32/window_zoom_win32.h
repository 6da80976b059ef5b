// The settings dialog's zoom on Windows: DrawAnimatedRects from the pointer to the window on
// opening, and back on closing.
#pragma once

#include <windows.h>

void ZoomOpen(HWND window);
void ZoomClose(HWND window);
