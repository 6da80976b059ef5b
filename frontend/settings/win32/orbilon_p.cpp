// Placeholder until the dialog lands.
#include "orbilon_p.h"

void ShowSettingsDialogModal() {}
