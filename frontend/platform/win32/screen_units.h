// Twips per pixel of the screen on each axis, from its logical DPI.
#pragma once

namespace orbilon::win32 {

struct ScreenScale {
    double x = 15.0, y = 15.0;  // twips per pixel
    int dpiY = 96;
};
ScreenScale ScreenTwipsPerPixel();

}  // namespace orbilon::win32
