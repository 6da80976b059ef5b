// The one place where the "C" switch reaches the settings dialog. Until the dialog is
// part of the front end, the switch ends after the renderer check.
#include "orbilon_b.h"

void ShowSettingsDialog() {}
