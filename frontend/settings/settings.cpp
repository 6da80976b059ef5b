#include "settings.h"

#include <cmath>
#include <optional>
#include <string_view>

#include "cp932.h"
#include "number.h"
#include "profile.h"
#include "settings_files.h"

int16_t BGMKind = 0;
int16_t RepeatTrack = 0;
std::string BGMFile;

namespace orbilon {

using files::Join;
using files::ParentOf;

namespace {

bool HasNul(const std::string& s) {
    return s.find('\0') != std::string::npos;
}

bool IsAbsolute(const char* path) {
    return path && path[0] == '/';
}

// Applies one number setting: empty gives 0; a non-number or a whole part outside signed
// 16 bits keeps the previous value.
void LoadNumber(const std::string& text, int16_t& setting) {
    if (text.empty()) {
        setting = 0;
        return;
    }
    const std::optional<double> value = ParseNumber(text);
    if (!value) return;
    const double whole = std::floor(*value);
    if (!(whole >= -32768.0 && whole <= 32767.0)) return;
    setting = static_cast<int16_t>(whole);
}

}  // namespace

std::string ChooseSettingsPath(const std::string& program_folder, bool folder_has_file,
                               bool folder_writable, const char* xdg_config_home,
                               const char* home) {
    const std::string beside = Join(program_folder, "Orbilon.ini");
    if (folder_has_file || folder_writable) return beside;
    std::string config;
    if (IsAbsolute(xdg_config_home)) {
        config = xdg_config_home;
    } else {
        const std::string h = files::HomeFolder(home);
        if (h.empty()) return beside;
        config = Join(h, ".config");
    }
    return Join(Join(config, "orbilon"), "Orbilon.ini");
}

std::string ReadIniAt(const std::string& path, const std::string& section, const std::string& key,
                      const std::string& def) {
    std::string text;
    if (files::ReadFileBytes(path, text) != files::ReadResult::kOk) return def;
    const auto section_bytes = cp932::FromUtf8(section);
    const auto key_bytes = cp932::FromUtf8(key);
    if (!section_bytes || !key_bytes) return def;
    const auto value = profile::GetValue(text, *section_bytes, *key_bytes);
    if (!value) return def;
    auto utf8 = cp932::ToUtf8(*value);
    return utf8 ? *utf8 : def;
}

bool WriteIniAt(const std::string& path, const std::string& section, const std::string& key,
                const std::string& value) {
    return WriteIniAt(path, section, std::vector<IniWrite>{{key, value}});
}

bool WriteIniAt(const std::string& path, const std::string& section,
                const std::vector<IniWrite>& writes) {
    auto write = [&]() -> bool {
        if (path.empty() || HasNul(path)) return false;
        const auto section_bytes = cp932::FromUtf8(section);
        if (!section_bytes) return false;
        std::vector<std::string> bytes;  // keys and values, in turn
        bytes.reserve(writes.size() * 2);
        for (const IniWrite& w : writes) {
            auto key_bytes = cp932::FromUtf8(w.key);
            auto value_bytes = cp932::FromUtf8(w.value);
            if (!key_bytes || !value_bytes) return false;
            bytes.push_back(std::move(*key_bytes));
            bytes.push_back(std::move(*value_bytes));
        }
        std::vector<profile::KeyValue> pairs;
        for (size_t i = 0; i < bytes.size(); i += 2) pairs.push_back({bytes[i], bytes[i + 1]});

        const std::string target = files::WriteTarget(path);
        if (target.empty()) return false;

        std::string text;
        const files::ReadResult read = files::ReadFileBytes(target, text);
        if (read == files::ReadResult::kFailed) return false;
        const bool exists = read == files::ReadResult::kOk;
        if (exists && !files::MayReplace(target)) return false;
        const auto updated = profile::SetValues(text, *section_bytes, pairs);
        if (!updated) return false;
        if (exists && *updated == text) return true;
        // A file the reader would refuse would lose every setting in it.
        if (updated->size() > static_cast<size_t>(files::kMaxFileBytes)) return false;
        // Only the per-user location can be missing; the program folder always exists.
        if (!exists) files::MakeFolders(ParentOf(target));
        return files::ReplaceContents(target, *updated, exists);
    };
    const bool ok = write();
    LastApiResult = ok ? 1 : 0;
    return ok;
}

void LoadSettingsFrom(const std::string& path) {
    LoadNumber(ReadIniAt(path, kSection, kKeyKind, ""), BGMKind);
    LoadNumber(ReadIniAt(path, kSection, kKeyRepeat, ""), RepeatTrack);
    const std::string file = ReadIniAt(path, kSection, kKeyFile, "");
    BGMFile = file;
    if (file.empty() || !FileExists(file)) {
        BGMFile.clear();
        if (BGMKind == 2) BGMKind = 0;
    }
}

}  // namespace orbilon

std::string ReadIni(const std::string& key, const std::string& def) {
    return orbilon::ReadIniAt(SettingsPath(), orbilon::kSection, key, def);
}

bool WriteIni(const std::string& key, const std::string& value) {
    return orbilon::WriteIniAt(SettingsPath(), orbilon::kSection, key, value);
}

bool orbilon::WriteIniKeys(const std::vector<IniWrite>& writes) {
    return WriteIniAt(SettingsPath(), kSection, writes);
}

void LoadSettings() {
    orbilon::LoadSettingsFrom(SettingsPath());
}
