// Placeholder until the zoom lands.
#include "window_zoom.h"

#include "zoom.h"

int16_t AnchorX = 0;
int16_t AnchorY = 0;

void ZoomOpen(HWND) {}
void ZoomClose(HWND) {}
