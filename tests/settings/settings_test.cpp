#include "frontend/settings/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "frontend/settings/cp932.h"
#include "temp_folder.h"

namespace {

using orbilon::testing::AsOrdinaryUser;
using orbilon::testing::CountEntries;
using orbilon::testing::ReadBytes;
using orbilon::testing::TempFolder;
using orbilon::testing::WriteBytes;

// The keys as their bytes in the file.
const std::string kKind = "BGM\x8b\xe6\x95\xaa";
const std::string kRepeat = "BGM\xd8\xcb\xdf\xb0\xc4";
const std::string kFile = "BGM\xcc\xa7\xb2\xd9";

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        BGMKind = 0;
        RepeatTrack = 0;
        BGMFile.clear();
        LastApiResult = -5;
    }

    // Loads an Orbilon.ini made of these lines (CP932 bytes), each ending in CRLF.
    void Load(std::initializer_list<std::string> lines) {
        std::string text = "[Section]\r\n";
        for (const auto& line : lines) text += line + "\r\n";
        WriteBytes(ini, text);
        orbilon::LoadSettingsFrom(ini);
    }

    TempFolder dir;
    const std::string ini = dir / "Orbilon.ini";
    const std::string music = dir / "song.mp3";
};

TEST_F(SettingsFile, MissingFileGivesDefaultsAndCreatesNothing) {
    BGMKind = 1;
    RepeatTrack = 3;
    BGMFile = "x";
    orbilon::LoadSettingsFrom(ini);
    EXPECT_EQ(BGMKind, 0);
    EXPECT_EQ(RepeatTrack, 0);
    EXPECT_EQ(BGMFile, "");
    EXPECT_EQ(CountEntries(dir.path()), 0u);
    EXPECT_EQ(orbilon::ReadIniAt(ini, "Section", orbilon::kKeyKind, "def"), "def");
}

TEST_F(SettingsFile, StaleMusicPathUnderEachSource) {
    const std::string gone = kFile + "=" + dir / "gone.mp3";
    Load({kKind + "=2", gone});
    EXPECT_EQ(BGMKind, 0);
    EXPECT_EQ(BGMFile, "");
    Load({kKind + "=1", gone});
    EXPECT_EQ(BGMKind, 1);
    EXPECT_EQ(BGMFile, "");
    Load({kKind + "=0", gone});
    EXPECT_EQ(BGMKind, 0);
    Load({kKind + "=2", kFile + "="});
    EXPECT_EQ(BGMKind, 0);
    // A folder is not a music file.
    Load({kKind + "=2", kFile + "=" + dir.path()});
    EXPECT_EQ(BGMKind, 0);
    EXPECT_EQ(BGMFile, "");
}

TEST_F(SettingsFile, ExistingMusicFileKeptWithItsTrailingSlash) {
    WriteBytes(music, "ID3");
    Load({kKind + "=2", kRepeat + "=12", kFile + "=" + music});
    EXPECT_EQ(BGMKind, 2);
    EXPECT_EQ(RepeatTrack, 12);
    EXPECT_EQ(BGMFile, music);
    Load({kKind + "=2", kFile + "=" + music + "/"});
    EXPECT_EQ(BGMKind, 2);
    EXPECT_EQ(BGMFile, music + "/");
}

TEST_F(SettingsFile, NumbersTakeTheWholePartTowardMinusInfinity) {
    Load({kKind + "=1.7", kRepeat + "=-0.5"});
    EXPECT_EQ(BGMKind, 1);
    EXPECT_EQ(RepeatTrack, -1);
    Load({kKind + "=7", kRepeat + "=&H1F"});
    EXPECT_EQ(BGMKind, 7);
    EXPECT_EQ(RepeatTrack, 31);
    Load({kKind + "=32767.9", kRepeat + "=-32768"});
    EXPECT_EQ(BGMKind, 32767);
    EXPECT_EQ(RepeatTrack, -32768);
}

TEST_F(SettingsFile, BadNumbersKeepThePreviousValue) {
    for (const char* bad : {"abc", "70000", "-32768.5", "32768", "1e999", "&H10000", "1 2"}) {
        BGMKind = 0;
        RepeatTrack = 5;
        Load({kKind + "=" + bad, kRepeat + "=" + bad});
        EXPECT_EQ(BGMKind, 0) << bad;
        EXPECT_EQ(RepeatTrack, 5) << bad;
    }
    // Empty is not "not a number": it resets to 0.
    RepeatTrack = 5;
    Load({kRepeat + "="});
    EXPECT_EQ(RepeatTrack, 0);
}

TEST_F(SettingsFile, FullWidthKatakanaKeyIsAnotherKey) {
    const auto full_width = orbilon::cp932::FromUtf8("BGMリピート");
    ASSERT_TRUE(full_width);
    Load({*full_width + "=4"});
    EXPECT_EQ(RepeatTrack, 0);
    Load({"bgm\xd8\xcb\xdf\xb0\xc4 = 4"});
    EXPECT_EQ(RepeatTrack, 4);
}

TEST_F(SettingsFile, LongValuesReadAsTheirFirst255Bytes) {
    const std::string longer = std::string(250, 'a') + "\xcc\xa7\xb2\xd9\xcc\xa7\xb2";
    Load({kFile + "=" + longer});
    const std::string value = orbilon::ReadIniAt(ini, "Section", orbilon::kKeyFile, "");
    EXPECT_EQ(value, std::string(250, 'a') + "ﾌｧｲﾙﾌ");
}

TEST_F(SettingsFile, WriteCreatesExactBytes) {
    ASSERT_TRUE(orbilon::WriteIniAt(ini, "Section", orbilon::kKeyKind, "2"));
    EXPECT_EQ(LastApiResult, 1);
    ASSERT_TRUE(orbilon::WriteIniAt(ini, "Section", orbilon::kKeyRepeat, "12"));
    ASSERT_TRUE(orbilon::WriteIniAt(ini, "Section", orbilon::kKeyFile, "/音楽/曲.mp3"));
    EXPECT_EQ(ReadBytes(ini), "[Section]\r\n" + kKind + "=2\r\n" + kRepeat + "=12\r\n" + kFile +
                                  "=/\x89\xb9\x8a\x79/\x8b\xc8.mp3\r\n");
    EXPECT_EQ(orbilon::ReadIniAt(ini, "section", orbilon::kKeyFile, ""), "/音楽/曲.mp3");
    // Rewriting replaces in place and keeps an LF file LF.
    WriteBytes(ini, "# mine\n[Section]\n" + kKind + "=1\n" + kRepeat + "=0\n");
    ASSERT_TRUE(orbilon::WriteIniAt(ini, "Section", orbilon::kKeyKind, "0"));
    ASSERT_TRUE(orbilon::WriteIniAt(ini, "Section", orbilon::kKeyFile, ""));
    EXPECT_EQ(ReadBytes(ini),
              "# mine\n[Section]\n" + kKind + "=0\n" + kRepeat + "=0\n" + kFile + "=\n");
}

TEST_F(SettingsFile, UnrepresentableTextIsRefusedAndTheFileKept) {
    const std::string before = "[Section]\r\n" + kFile + "=/old.mp3\r\n";
    WriteBytes(ini, before);
    // "¥" would become "\" and "‾" "~": another path. Emoji and invalid UTF-8 have no bytes.
    for (const char* value : {"/music/¥100.mp3", "/a‾b", "/😀.mp3", "/bad\xff.mp3"}) {
        LastApiResult = 1;
        EXPECT_FALSE(orbilon::WriteIniAt(ini, "Section", orbilon::kKeyFile, value)) << value;
        EXPECT_EQ(LastApiResult, 0);
    }
    EXPECT_FALSE(orbilon::WriteIniAt(ini, "Section", "キー😀", "1"));
    EXPECT_FALSE(orbilon::WriteIniAt(ini, "Section", orbilon::kKeyFile, "a\nb"));
    EXPECT_EQ(ReadBytes(ini), before);
    EXPECT_EQ(CountEntries(dir.path()), 1u);
}

TEST_F(SettingsFile, InvalidShiftJisValueReadsAsDefault) {
    Load({kFile + "=\x81\x20", kRepeat + "=\x85\x40"});
    EXPECT_EQ(orbilon::ReadIniAt(ini, "Section", orbilon::kKeyFile, "def"), "def");
    EXPECT_EQ(orbilon::ReadIniAt(ini, "Section", orbilon::kKeyRepeat, "def"), "def");
}

TEST_F(SettingsFile, FailedWritesLeaveTheOldFile) {
    const std::string before = "[Section]\r\n" + kKind + "=1\r\n";
    WriteBytes(ini, before);
    chmod(ini.c_str(), 0444);
    EXPECT_FALSE(orbilon::WriteIniAt(ini, "Section", orbilon::kKeyKind, "2"));
    EXPECT_EQ(LastApiResult, 0);
    EXPECT_EQ(ReadBytes(ini), before);
    chmod(ini.c_str(), 0640);
    ASSERT_TRUE(orbilon::WriteIniAt(ini, "Section", orbilon::kKeyKind, "2"));
    struct stat st;
    ASSERT_EQ(stat(ini.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replacement keeps the permissions";

    // A folder where the file should be: the rename fails and no temporary file is left.
    const std::string folder_ini = dir / "sub";
    mkdir(folder_ini.c_str(), 0755);
    EXPECT_FALSE(orbilon::WriteIniAt(folder_ini, "Section", orbilon::kKeyKind, "2"));
    EXPECT_EQ(CountEntries(dir.path()), 2u);
    EXPECT_FALSE(orbilon::WriteIniAt(dir / "missing/Orbilon.ini", "Section", "k", "v"));
}

TEST_F(SettingsFile, ReadOnlyFolderKeepsTheOldFile) {
    // The file itself may be written, the folder may not: no temporary file can be made.
    const std::string before = "[Section]\r\n" + kKind + "=1\r\n";
    WriteBytes(ini, before);
    chmod(ini.c_str(), 0666);
    chmod(dir.path().c_str(), 0555);
    EXPECT_TRUE(AsOrdinaryUser([&] {
        LastApiResult = 1;
        return !orbilon::WriteIniAt(ini, "Section", orbilon::kKeyKind, "2") && LastApiResult == 0;
    }));
    chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(ReadBytes(ini), before);
    EXPECT_EQ(CountEntries(dir.path()), 1u);
}

TEST_F(SettingsFile, FailedRenameKeepsTheOldFileAndLeavesNoTemporary) {
    // In a sticky folder another user's file cannot be replaced even when it may be written:
    // the temporary file is made, the rename is refused.
    if (geteuid() != 0) GTEST_SKIP() << "needs a file owned by another user";
    const std::string before = "[Section]\r\n" + kKind + "=1\r\n";
    WriteBytes(ini, before);
    chmod(ini.c_str(), 0666);
    chmod(dir.path().c_str(), 01777);
    EXPECT_TRUE(AsOrdinaryUser(
        [&] { return !orbilon::WriteIniAt(ini, "Section", orbilon::kKeyKind, "2"); }));
    EXPECT_EQ(ReadBytes(ini), before);
    EXPECT_EQ(CountEntries(dir.path()), 1u);
}

TEST_F(SettingsFile, OversizedFileIsNeitherReadNorRewritten) {
    std::string huge = "[Section]\r\n" + kKind + "=1\r\n";
    huge.resize(17 << 20, 'x');
    WriteBytes(ini, huge);
    EXPECT_EQ(orbilon::ReadIniAt(ini, "Section", orbilon::kKeyKind, "def"), "def");
    EXPECT_FALSE(orbilon::WriteIniAt(ini, "Section", orbilon::kKeyKind, "2"));
    EXPECT_EQ(ReadBytes(ini).size(), huge.size());
}

TEST_F(SettingsFile, WritesThroughASymbolicLink) {
    const std::string real = dir / "real.ini";
    WriteBytes(real, "[Section]\n");
    ASSERT_EQ(symlink(real.c_str(), ini.c_str()), 0);
    ASSERT_TRUE(orbilon::WriteIniAt(ini, "Section", "k", "v"));
    EXPECT_EQ(ReadBytes(real), "[Section]\nk=v\n");
    struct stat st;
    ASSERT_EQ(lstat(ini.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(FileExists, OnlyReadableNonFolders) {
    TempFolder dir;
    const std::string file = dir / "a.wav";
    WriteBytes(file, "RIFF");
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(file + "/"));
    EXPECT_FALSE(FileExists(file + "//"));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir.path() + "/"));
    EXPECT_FALSE(FileExists(dir / "none"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists("/"));
    EXPECT_FALSE(FileExists(file + std::string("\0x", 2)));
    // A FIFO with no writer must not block the check.
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(FileExists(fifo));
}

TEST(SettingsPath, BesideTheProgramUnlessInstalled) {
    using orbilon::ChooseSettingsPath;
    const std::string beside = "/opt/o/Orbilon.ini";
    EXPECT_EQ(ChooseSettingsPath("/opt/o", false, true, "/x", "/h"), beside);
    EXPECT_EQ(ChooseSettingsPath("/opt/o", true, false, "/x", "/h"), beside);
    EXPECT_EQ(ChooseSettingsPath("/", false, true, "/x", "/h"), "/Orbilon.ini");
    EXPECT_EQ(ChooseSettingsPath("/opt/o", false, false, "/x/cfg", "/h"),
              "/x/cfg/orbilon/Orbilon.ini");
    EXPECT_EQ(ChooseSettingsPath("/opt/o", false, false, "/x/cfg/", "/h"),
              "/x/cfg/orbilon/Orbilon.ini");
    for (const char* ignored : {"", "relative/cfg", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(ChooseSettingsPath("/opt/o", false, false, ignored, "/h"),
                  "/h/.config/orbilon/Orbilon.ini");
    }
    // Without HOME the account's home folder is used.
    EXPECT_NE(ChooseSettingsPath("/opt/o", false, false, nullptr, nullptr), "");

    // What the real checks find for a writable folder and for this test program.
    TempFolder dir;
    EXPECT_EQ(orbilon::SettingsPathFor(dir.path(), "/x", "/h"), dir / "Orbilon.ini");
    EXPECT_EQ(SettingsPath(), ProgramFolder() + "/Orbilon.ini");
    EXPECT_TRUE(FileExists(ProgramFolder() + "/settings_test"));
}

TEST(SettingsPath, InstalledCopyUsesTheUsersConfigFolder) {
    TempFolder dir;
    chmod(dir.path().c_str(), 0755);
    const std::string program = dir / "bin";
    mkdir(program.c_str(), 0555);
    EXPECT_TRUE(AsOrdinaryUser(
        [&] { return orbilon::SettingsPathFor(program, "/x", "/h") == "/x/orbilon/Orbilon.ini"; }));
    // A file shipped beside the program stays the settings file, even read-only.
    chmod(program.c_str(), 0755);
    WriteBytes(program + "/Orbilon.ini", "");
    chmod(program.c_str(), 0555);
    EXPECT_TRUE(AsOrdinaryUser(
        [&] { return orbilon::SettingsPathFor(program, "/x", "/h") == program + "/Orbilon.ini"; }));
}

TEST(FileExists, UnreadableFileIsFalse) {
    TempFolder dir;
    chmod(dir.path().c_str(), 0755);
    const std::string file = dir / "secret.mp3";
    WriteBytes(file, "ID3");
    chmod(file.c_str(), 0600);
    if (geteuid() != 0) chmod(file.c_str(), 0);
    EXPECT_TRUE(AsOrdinaryUser([&] { return !FileExists(file); }));
}

}  // namespace
