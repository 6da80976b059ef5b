// Orbilon.dll for Windows: the full-screen animation. The command line and the show command
// are ignored, as the saver always runs full screen.
#include <windows.h>

#include "win32_saver.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return orbilon::RunSaver(instance);
}
