// Placeholder until the zoom lands.
#include "window_zoom.h"

void ZoomOpen(HWND) {}
void ZoomClose(HWND) {}
