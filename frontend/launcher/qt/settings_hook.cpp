// The one place where the "C" switch reaches the settings dialog.
#include "orbilon_b.h"
#include "orbilon_p_qt.h"

void ShowSettingsDialog() {
    ShowSettingsDialogModal();
}
