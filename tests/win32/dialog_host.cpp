// Stands in for Orbilon.scr /c in the dialog's tests: the settings are read, the dialog runs
// modally, and the process ends when it closes.
#include "orbilon_p.h"
#include "settings.h"

int main() {
    LoadSettings();
    ShowSettingsDialogModal();
    return 0;
}
