#include "dispatch.h"

#include "command_line.h"

namespace orbilon {

Plan Dispatch(std::string_view args, MainSteps& steps) {
    // Both look-ups are always made.
    const bool host = steps.WindowTitled(kHostTitle);
    const bool dialog = steps.WindowTitled(kDialogTitle);
    if (host || dialog) return {};

    const char letter = ModeLetter(args);
    if (letter == 'P') return {Outcome::Preview, ReadHandle(FromFourthCharacter(args)), false};

    steps.LoadSettings();
    if (!steps.RendererPresent()) return {Outcome::MissingRenderer};
    if (letter == 'C') return {Outcome::SettingsDialog};
    if (!args.empty() && letter != 'S') return {};
    return {Outcome::Saver, 0, letter == 'S'};
}

}  // namespace orbilon
