// The preview form Orbilon_R: the still of the art, a child window filling the display
// settings' preview pane.
#pragma once

#include <cstdint>

// Places the preview into the window `parentHandle`; ends the process at once when that is no
// window. The process ends when the pane is gone.
void PlacePreview(int32_t parentHandle);
