// Command on Windows: the owner-drawn push button as the window class "Command". It paints
// its face into a memory bitmap of its own from the six state bitmaps in the program's
// resources; the caption sits on top.
//
// Host contract: RegisterCommandClass once, CreateCommand for each button (its design data as
// the property bag; an empty bag gives the defaults), InitializeCommand once the form has
// loaded. A click reaches the parent as WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), lParam the
// button's window. EnableWindow is not used: SetCommandEnabled keeps the face in step.
// SetWindowTextW changes the caption. The bitmaps come with orbilon_controls_win32: whatever
// links it links them (see CMakeLists.txt).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "design_data.h"

namespace orbilon::controls::win32 {

bool RegisterCommandClass(HINSTANCE instance);

HWND CreateCommand(HWND parent, int id, const PropertyBag& design, int x, int y, int width,
                   int height);

// Arms the button and starts its cursor poll.
void InitializeCommand(HWND button);

void SetCommandEnabled(HWND button, bool enabled);

// The caption colour, &H00BBGGRR, or &H8000000x for system colour x.
void SetCommandFontColour(HWND button, int32_t colour);

// Face opacity: 0 leaves the caption alone on the parent's background, anything else opaque.
void SetCommandVisible(HWND button, uint8_t visible);

// For tests and tools: ButtonState (0 for a window that is no Command), the face's memory
// bitmap (a 32-bit top-down DIB section, owned by the button), and the caption's font face.
uint8_t CommandState(HWND button);
HBITMAP CommandFace(HWND button);
std::wstring CommandFontFace(HWND button);

}  // namespace orbilon::controls::win32
