#include "app.h"

#include "settings.h"
#include "settings_files.h"
#include "wide.h"

namespace app {

HINSTANCE Instance = nullptr;
std::string ArgumentText;

bool WindowTitled(const char* title) {
    return FindWindowW(nullptr, orbilon::win32::Wide(title).c_str()) != nullptr;
}

std::wstring BesideProgram(const char* name) {
    std::wstring path = orbilon::win32::Wide(orbilon::files::Join(ProgramFolder(), name));
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

void EndProcess(UINT status) {
    ExitProcess(status);
}

}  // namespace app
