// The page the dialog's "その他の作品" button opens: Orbilon's documentation on this machine.
#pragma once

#include <functional>
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

}  // namespace orbilon
