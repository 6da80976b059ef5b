// The preview's still: the bitmap resource Orbilon.scr carries, and its drawing.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace preview {

struct ObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, ObjectDeleter>;

// The still from `module`'s resources; null when it is missing.
Bitmap LoadStill(HINSTANCE module);

// `still` scaled to fill `area` of `dc`; black where there is no still.
void DrawStill(HDC dc, const RECT& area, HBITMAP still);

}  // namespace preview
