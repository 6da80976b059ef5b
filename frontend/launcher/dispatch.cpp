#include "dispatch.h"

#include "command_line.h"

namespace orbilon {

Plan Dispatch(std::string_view args, MainSteps& steps) {
    const char letter = ModeLetter(args);
    // A host's title appears only once it is loaded: two saver starts at the same moment
    // would both pass the look-up. The lock, taken first, lets exactly one of them on.
    const bool saverStart = letter == 'S' || args.empty();
    const bool locked = !saverStart || steps.TakeSaverLock();

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

}  // namespace orbilon
