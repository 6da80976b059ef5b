// The front end's settings: Orbilon.ini, the three process-wide values that mirror it, and
// the path check shared with the renderer check at start-up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "api_result.h"

// Music source: 0 none, 1 audio CD, 2 MP3 or WAV file; other values are kept as read.
extern int16_t BGMKind;
// CD track to repeat; 0 plays the whole disc.
extern int16_t RepeatTrack;
// The music file's path, UTF-8.
extern std::string BGMFile;

// Directory of the running executable (/proc/self/exe, resolved), without a trailing '/'.
std::string ProgramFolder();

// ProgramFolder() + "/Orbilon.ini"; for an installed copy (the one XScreenSaver's hack link
// leads to, or one whose folder cannot be written and holds no Orbilon.ini),
// $XDG_CONFIG_HOME/orbilon/Orbilon.ini (~/.config/... by default).
// Rebuilt on every call, so reading and writing always use the same file.
std::string SettingsPath();

// The value of `key` (UTF-8) in section "Section" of SettingsPath(), as UTF-8; `def` when the
// file, section or key is missing or the value is not valid CP932.
std::string ReadIni(const std::string& key, const std::string& def);

// Sets `key` to `value` (both UTF-8) in section "Section" of SettingsPath(), creating the file
// and its folders (0700) as needed, and replacing the file atomically. Fails, leaving the file as
// it was, for text CP932 cannot carry exactly, a read-only file or folder, a result too big to
// be read back, or any I/O error. The result also goes to LastApiResult (1 success, 0 failure).
bool WriteIni(const std::string& key, const std::string& value);

// Fills BGMKind, RepeatTrack and BGMFile from SettingsPath(); never reports an error.
void LoadSettings();

// True when `path` (one trailing '/' ignored) names something other than a folder that can be
// opened for reading. Never blocks, never reports.
bool FileExists(const std::string& path);

namespace orbilon {

using ::BGMFile;
using ::BGMKind;
using ::FileExists;
using ::LastApiResult;
using ::LoadSettings;
using ::ProgramFolder;
using ::ReadIni;
using ::RepeatTrack;
using ::SettingsPath;
using ::WriteIni;

// The section every setting lives in.
inline constexpr const char* kSection = "Section";
// The three keys, UTF-8; in the file they are CP932.
inline constexpr const char* kKeyKind = "BGM区分";
inline constexpr const char* kKeyRepeat = "BGMﾘﾋﾟｰﾄ";
inline constexpr const char* kKeyFile = "BGMﾌｧｲﾙ";

// The choice SettingsPath() makes, from what it found out about the program folder. An
// XDG_CONFIG_HOME that is not absolute is ignored, as the XDG rules say.
std::string ChooseSettingsPath(const std::string& program_folder, bool folder_has_file,
                               bool folder_writable, const char* xdg_config_home, const char* home);

// One key and its value (both UTF-8).
struct IniWrite {
    std::string key;
    std::string value;
};

// Sets all the keys in section "Section" of SettingsPath() with one atomic replacement of the
// file, as WriteIni does for one: either every key is written or the file stays as it was.
bool WriteIniKeys(const std::vector<IniWrite>& writes);

// True when `hack_link` (XScreenSaver's `orbilon`) leads to the front end in `program_folder`:
// that copy is installed, and keeps its settings in $XDG_CONFIG_HOME whoever runs it.
bool IsInstalledCopy(const std::string& program_folder, const std::string& hack_link);

// The same operations on an explicit file and section, for tests and tools. The public ones
// above are these with SettingsPath() and kSection.
std::string SettingsPathFor(const std::string& program_folder, const char* xdg_config_home,
                            const char* home);
std::string ReadIniAt(const std::string& path, const std::string& section, const std::string& key,
                      const std::string& def);
bool WriteIniAt(const std::string& path, const std::string& section, const std::string& key,
                const std::string& value);
bool WriteIniAt(const std::string& path, const std::string& section,
                const std::vector<IniWrite>& writes);
void LoadSettingsFrom(const std::string& path);

}  // namespace orbilon
