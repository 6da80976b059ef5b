// The settings dialog's form handlers, one set for every toolkit's form: each form does the
// steps its own way, and choosing a source is the same everywhere.
#pragma once

#include <cstdint>

#include "settings.h"

namespace orbilon::dialog {

class FormHandlers {
protected:
    ~FormHandlers() = default;

    // Places the form, arms its buttons and shows the settings.
    virtual void Load() = 0;
    // The marks and the enabled controls for a BGMKind.
    virtual void ShowSource(int16_t kind) = 0;
    // A click on source mark i (0 none, 1 CD, 2 file): it becomes BGMKind at once.
    void ChooseSource(int i) {
        BGMKind = static_cast<int16_t>(i);
        ShowSource(BGMKind);
    }
    // The file button: the file dialog, then the chosen file judged before it is taken.
    virtual void ChooseFile() = 0;
    // 設定: the three keys stored together, the form closed only when they were.
    virtual void Save() = 0;
    // The documentation, with the wait cursor while it opens.
    virtual void OpenHomePage() = 0;
};

}  // namespace orbilon::dialog
