// The settings dialog Orbilon_P on Windows: music source, CD track to repeat and music file,
// saved to Orbilon.ini by "設定". Its title "<Orbilon>" is also the front end's
// single-instance marker.
#pragma once

// Runs the dialog modally without an owner, as the "C" switch does.
void ShowSettingsDialogModal();
