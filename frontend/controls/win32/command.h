// Command on Windows: the owner-drawn push button as the window class "Command". It paints
// its face into a memory bitmap of its own from the six state bitmaps in the program's
// resources; the caption sits on top.
//
// Host contract: RegisterCommandClass once, CreateCommand for each button (its design data as
// the property bag; an empty bag gives the defaults), InitializeCommand once the form has
// loaded. A click reaches the parent as WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), lParam the
// button's window. EnableWindow is not used: SetCommandEnabled keeps the face in step.
#pragma once

#include <windows.h>

#include "design_data.h"

namespace orbilon::controls::win32 {

bool RegisterCommandClass(HINSTANCE instance);

HWND CreateCommand(HWND parent, int id, const PropertyBag& design, int x, int y, int width,
                   int height);

// Arms the button and starts its cursor poll.
void InitializeCommand(HWND button);

void SetCommandEnabled(HWND button, bool enabled);

}  // namespace orbilon::controls::win32
