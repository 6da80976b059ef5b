// The settings dialog's zoom on X11: the frames drawn on the root window.
#pragma once

#include "zoom.h"

// The window is an X11 window id. Without a display both do nothing.
void ZoomOpen(unsigned long window);
void ZoomClose(unsigned long window);
