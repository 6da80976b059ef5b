#include "dispatch.h"

#include "command_line.h"

namespace orbilon {

Plan Dispatch(std::string_view args, MainSteps& steps) {
    const char letter = ModeLetter(args);
    // A host's or dialog's title appears only once it is loaded, and is seen by no other
    // program where the front end runs on Wayland: two starts at the same moment, or any start
    // there, would pass the look-up. The lock, taken first by the saver and the dialog, lets
    // exactly one of them on.
    const bool guarded = letter == 'S' || letter == 'C' || args.empty();
    const bool locked = !guarded || steps.TakeSaverLock();

    // Both look-ups are always made.
    const bool host = steps.WindowTitled(kHostTitle);
    const bool dialog = steps.WindowTitled(kDialogTitle);
    if (host || dialog || !locked) return {};

    if (letter == 'P') return {Outcome::Preview, ReadHandle(FromFourthCharacter(args)), false};

    steps.LoadSettings();
    if (!steps.RendererPresent()) return {Outcome::MissingRenderer};
    if (letter == 'C') return {Outcome::SettingsDialog};
    if (!args.empty() && letter != 'S') return {};
    return {Outcome::Saver, 0, letter == 'S'};
}

void RunMain(std::string_view args, MainShell& shell) {
    const Plan plan = Dispatch(args, shell);
    switch (plan.outcome) {
        case Outcome::End:
            shell.End();
            return;
        case Outcome::Preview:
            shell.PlacePreview(plan.handle);
            return;
        case Outcome::MissingRenderer:
            shell.ShowMessage(kMissingRendererText, kAppTitle);
            shell.End();
            return;
        case Outcome::SettingsDialog:
            shell.UseRealMusic();
            shell.ShowSettingsDialog();
            shell.End();
            return;
        case Outcome::Saver:
            shell.UseRealMusic();
            if (plan.hideCursor) shell.HideCursor();
            shell.LoadSaverHost();
            return;
    }
}

}  // namespace orbilon
