// The main module: Main and the module-wide state of the front end's start.
#pragma once

#include <cstdint>

// The ShowCursor counter saved when Main hid the pointer; set only in "S" runs.
extern int32_t CursorCount;

// The start-up routine: runs once, then either ends the process or hands over to a form.
void Main();

namespace orbilon {
struct ServiceStart;
}

// A run started by a screen-saver service (--root, --window-id): the saver host inside the
// service's window, without the title guard.
void RunService(const orbilon::ServiceStart& start);

// The settings dialog for the "C" switch, shown modally without owner (settings_hook.cpp).
void ShowSettingsDialog();

// The preview placement for the "P" switch (orbilon_r.cpp).
void PlacePreview(int32_t parentHandle);
