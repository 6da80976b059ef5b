// Orbilon.dll: the full-screen animation. Switches on the command line are ignored, as the
// saver always runs full screen.
#include "x11_saver.h"

int main() {
    return orbilon::RunSaver();
}
