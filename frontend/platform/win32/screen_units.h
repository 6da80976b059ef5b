// Twips per pixel on each axis, from the primary monitor's DPI: the one way a DPI enters the
// dialog and its buttons, their layout, fonts and pictures.
#pragma once

namespace orbilon::win32 {

struct ScreenScale {
    double x = 15.0, y = 15.0;  // twips per pixel
    int dpiY = 96;
};
ScreenScale ScreenTwipsPerPixel();

}  // namespace orbilon::win32
