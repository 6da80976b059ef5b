// What the Win32 forms share: the process's facts and the few window-system services the
// design's forms are written against.
#pragma once

#include <windows.h>

#include <string>

#include "window_contract.h"

namespace app {

// Set once by WinMain.
extern HINSTANCE Instance;
// The command line after the program's own name, UTF-8.
extern std::string ArgumentText;

// True when a top-level window with exactly this title exists, hidden ones included.
bool WindowTitled(const char* title);

// `name` in the program's folder, with the system's separators.
std::wstring BesideProgram(const char* name);

[[noreturn]] void EndProcess(UINT status = 0);

}  // namespace app
