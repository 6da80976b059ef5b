// Orbilon.ini through the Windows file calls and code page 932: the same file format as
// elsewhere, on wide-character paths, with the read-only attribute honoured.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "cp932.h"
#include "settings.h"

namespace {

namespace fs = std::filesystem;
using orbilon::ReadIniAt;
using orbilon::WriteIniAt;

const std::string kKind = "BGM\x8b\xe6\x95\xaa";
const std::string kFile = "BGM\xcc\xa7\xb2\xd9";

// A private folder with a Japanese name, so every call must pass the path on as UTF-16.
class Folder {
public:
    Folder() {
        path_ = fs::temp_directory_path() / fs::path(u8"orbilon-設定-");
        path_ += std::to_string(GetCurrentProcessId());
        fs::create_directories(path_);
    }
    ~Folder() {
        std::error_code ignored;
        for (const auto& e : fs::recursive_directory_iterator(path_, ignored)) {
            SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        fs::remove_all(path_, ignored);
    }
    // UTF-8 with '/', as the program spells paths.
    std::string operator/(const std::string& name) const {
        const std::u8string s =
            (path_ / fs::path(std::u8string(name.begin(), name.end()))).generic_u8string();
        return {s.begin(), s.end()};
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

fs::path Native(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(Native(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(Native(path), std::ios::binary) << bytes;
}

TEST(Cp932OnWindows, ExactOrRefused) {
    EXPECT_EQ(orbilon::cp932::FromUtf8("BGM区分"), kKind);
    EXPECT_EQ(orbilon::cp932::FromUtf8("BGMﾌｧｲﾙ"), kFile);
    EXPECT_EQ(orbilon::cp932::ToUtf8(kKind), "BGM区分");
    EXPECT_EQ(orbilon::cp932::FromUtf8(""), "");
    // Look-alikes would name another file; '?' stand-ins likewise.
    for (const char* text : {"C:/¥/a.mp3", "‾", "Ω≠☃", "😀"}) {
        EXPECT_FALSE(orbilon::cp932::FromUtf8(text)) << text;
    }
    EXPECT_FALSE(orbilon::cp932::FromUtf8("\xff\xfe"));  // not UTF-8
    EXPECT_FALSE(orbilon::cp932::ToUtf8("\x81"));        // a lead byte alone
    EXPECT_FALSE(orbilon::cp932::ToUtf8("\x81\x20"));
}

TEST(SettingsFileOnWindows, WritesReadsAndKeepsHandEdits) {
    const Folder dir;
    const std::string ini = dir / "Orbilon.ini";
    ASSERT_TRUE(WriteIniAt(ini, "Section", orbilon::kKeyKind, "2"));
    ASSERT_TRUE(WriteIniAt(ini, "Section", orbilon::kKeyFile, "C:/音楽/曲.mp3"));
    EXPECT_EQ(ReadBytes(ini),
              "[Section]\r\n" + kKind + "=2\r\n" + kFile + "=C:/\x89\xb9\x8a\x79/\x8b\xc8.mp3\r\n");
    EXPECT_EQ(ReadIniAt(ini, "Section", orbilon::kKeyFile, ""), "C:/音楽/曲.mp3");

    WriteBytes(ini, "; mine\n[Section]\n" + kKind + "=1\n");
    ASSERT_TRUE(WriteIniAt(ini, "Section", orbilon::kKeyKind, "0"));
    EXPECT_EQ(ReadBytes(ini), "; mine\n[Section]\n" + kKind + "=0\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
        << "no temporary file stays behind";

    // The per-user location is made on the first write.
    const std::string nested = dir / "Orbilon/deeper/Orbilon.ini";
    ASSERT_TRUE(WriteIniAt(nested, "Section", orbilon::kKeyKind, "1"));
    EXPECT_EQ(ReadIniAt(nested, "Section", orbilon::kKeyKind, ""), "1");

    BGMKind = 0;
    BGMFile.clear();
    WriteBytes(dir / "曲.wav", "RIFF");
    ASSERT_TRUE(WriteIniAt(ini, "Section", orbilon::kKeyKind, "2"));
    ASSERT_TRUE(WriteIniAt(ini, "Section", orbilon::kKeyFile, dir / "曲.wav"));
    orbilon::LoadSettingsFrom(ini);
    EXPECT_EQ(BGMKind, 2);
    EXPECT_EQ(BGMFile, dir / "曲.wav");
}

TEST(SettingsFileOnWindows, RefusedWritesLeaveTheFile) {
    const Folder dir;
    const std::string ini = dir / "Orbilon.ini";
    const std::string before = "[Section]\r\n" + kKind + "=1\r\n";
    WriteBytes(ini, before);
    const auto wide = Native(ini).wstring();
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
    LastApiResult = 1;
    EXPECT_FALSE(WriteIniAt(ini, "Section", orbilon::kKeyKind, "2"));
    EXPECT_EQ(LastApiResult, 0);
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_FALSE(WriteIniAt(ini, "Section", orbilon::kKeyFile, "C:/¥.mp3"));
    EXPECT_FALSE(WriteIniAt(dir / "", "Section", orbilon::kKeyKind, "2"));  // a folder
    EXPECT_EQ(ReadBytes(ini), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    EXPECT_EQ(ReadIniAt(dir / "missing.ini", "Section", orbilon::kKeyKind, "def"), "def");
}

TEST(SettingsFileOnWindows, FileExistsAndPaths) {
    const Folder dir;
    WriteBytes(dir / "a.mp3", "x");
    EXPECT_TRUE(FileExists(dir / "a.mp3"));
    EXPECT_TRUE(FileExists(dir / "a.mp3/"));
    EXPECT_FALSE(FileExists(dir / "b.mp3"));
    EXPECT_FALSE(FileExists(dir / ""));  // a folder
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(std::string("a\0b", 3)));

    // The program's own folder, spelt with '/'.
    const std::string folder = ProgramFolder();
    EXPECT_EQ(folder.find('\\'), std::string::npos) << folder;
    EXPECT_TRUE(FileExists(folder + "/settings_test.exe")) << folder;
    // A writable program folder keeps the file beside the program.
    EXPECT_EQ(orbilon::SettingsPathFor(dir / "", "C:/AppData", nullptr), dir / "Orbilon.ini");
    EXPECT_EQ(orbilon::SettingsPathFor(dir / "gone", "C:\\AppData", nullptr),
              "C:/AppData/Orbilon/Orbilon.ini");
}

}  // namespace
