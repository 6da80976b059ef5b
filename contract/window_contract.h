// The names the two programs and the system know each other by. The front end finds the
// renderer's file beside itself and watches for its window title; single-instance checks look
// for the host's and the dialog's titles. Nothing else crosses between the programs.
#pragma once

namespace orbilon {

inline constexpr const char* kRendererName = "Orbilon.dll";
// The renderer's window: created with this class and title, retitled once it runs.
inline constexpr const char* kSaverClass = "WindowsScreenSaverClass";
inline constexpr const char* kSaverCreationTitle = "Screensaver";
inline constexpr const char* kRendererTitle = "Orbilon_VC";
// The front end's hidden saver host and its settings dialog.
inline constexpr const char* kHostTitle = "Orbilon_Main";
inline constexpr const char* kDialogTitle = "<Orbilon>";
// The caption of every message the front end shows.
inline constexpr const char* kAppTitle = "Orbilon (ScreenSaver)";

}  // namespace orbilon
