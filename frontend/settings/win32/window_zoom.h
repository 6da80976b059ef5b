// The settings dialog's zoom on Windows: DrawAnimatedRects from the pointer to the window on
// opening, and back on closing.
#pragma once

#include <windows.h>

void ZoomOpen(HWND window);
void ZoomClose(HWND window);

// The anchor (AnchorX, AnchorY of zoom.h) from the pointer: 0, 0 when the pointer cannot be
// read; a coordinate beyond 16 bits keeps its previous value. The dialog calls it when it loads.
void SetAnchorFromCursor();
