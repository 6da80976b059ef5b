// What Main does with its argument text, decided without any window system: the look-ups
// and the settings read come in through MainSteps, in the order Main makes them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "window_contract.h"

namespace orbilon {

inline constexpr const char* kMissingRendererText =
    "Orbilon.dll が Orbilon.scr と同じﾌｫﾙﾀﾞに見つかりません！";

class MainSteps {
public:
    virtual ~MainSteps() = default;
    virtual bool WindowTitled(const std::string& title) = 0;
    // The guard of the saver host and the settings dialog: an exclusive lock per display,
    // kept for the process's life once taken. False only when another start holds it; a lock
    // that cannot be made counts as taken, leaving the title look-up as the guard.
    virtual bool TakeSaverLock() = 0;
    virtual void LoadSettings() = 0;
    virtual bool RendererPresent() = 0;
};

enum class Outcome {
    End,              // end the process, no message
    Preview,          // place the preview form into the window `handle`
    MissingRenderer,  // show the missing-renderer message, then end
    SettingsDialog,   // show the settings dialog modally, then end
    Saver,            // load the saver host (hide the cursor first when hideCursor)
};

struct Plan {
    Outcome outcome = Outcome::End;
    int32_t handle = 0;
    bool hideCursor = false;
};

Plan Dispatch(std::string_view args, MainSteps& steps);

// What Main does with the plan, through the platform's forms and services.
class MainShell : public MainSteps {
public:
    virtual void PlacePreview(int32_t handle) = 0;
    virtual void ShowMessage(const char* text, const char* caption) = 0;
    virtual void ShowSettingsDialog() = 0;
    // The real music layer, for the dialog's music choices and the saver's music.
    virtual void UseRealMusic() = 0;
    // ShowCursor(FALSE), its counter kept for the host's unload.
    virtual void HideCursor() = 0;
    virtual void LoadSaverHost() = 0;
    // Ends the process at once.
    virtual void End() = 0;
};

// Main: the plan of Dispatch, carried out. Returns where a form lives on (preview, host).
void RunMain(std::string_view args, MainShell& shell);

}  // namespace orbilon
