// Placeholder until the zoom lands.
#include "zoom.h"

void ZoomOpen(HWND) {}
void ZoomClose(HWND) {}
