// The page the dialog's "その他の作品" button opens: Orbilon's documentation on this machine.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace orbilon {

// A file:// address for an absolute path, with every byte outside letters, digits and
// "-._~/" percent-encoded.
std::string FileUrl(const std::string& path);

// For programs in `programFolder`: the installed documentation folder (`docFromProgram`,
// relative to the programs' folder) when it holds the README, else the README one folder up
// (the programs run from build/ in the source tree), else the documentation folder anyway.
// `isFile` says whether a path names a readable file.
std::string DocumentationUrlFor(const std::string& programFolder, const std::string& docFromProgram,
                                const std::function<bool(const std::string&)>& isFile);

// The same for this build's install layout, looking at the files.
std::string DocumentationUrl(const std::string& programFolder);

// On Windows, for programs in `programFolder`: the README the installer put beside them
// (Orbilon-README.txt), else the zip's README.txt, else the README.md of the source tree they
// were built in (beside them or one folder up). Nothing when there is none: the programs' own
// folder, System32 for an installed copy, is never what opens.
std::optional<std::string> WindowsReadmeFor(const std::string& programFolder,
                                            const std::function<bool(const std::string&)>& isFile);

}  // namespace orbilon
