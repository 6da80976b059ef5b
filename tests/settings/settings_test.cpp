#include "settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "temp_folder.h"

namespace {

using orbilon::ReadIniAt;
using orbilon::WriteIniAt;
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
    // Loads an Orbilon.ini of these lines (CP932 bytes) over the given earlier values.
    void Load(std::initializer_list<std::string> lines, int16_t kind = 0, int16_t repeat = 0) {
        std::string text = "[Section]\r\n";
        for (const auto& line : lines) text += line + "\r\n";
        WriteBytes(ini, text);
        BGMKind = kind;
        RepeatTrack = repeat;
        BGMFile = "earlier";
        orbilon::LoadSettingsFrom(ini);
    }

    TempFolder dir;
    const std::string ini = dir / "Orbilon.ini";
    const std::string music = dir / "song.mp3";
    const std::string before = "[Section]\r\n" + kKind + "=1\r\n";
};

TEST_F(SettingsFile, MusicSourceAndPath) {
    BGMKind = 1;
    BGMFile = "x";
    orbilon::LoadSettingsFrom(ini);  // no file at all
    EXPECT_EQ(BGMKind, 0);
    EXPECT_EQ(BGMFile, "");
    EXPECT_EQ(CountEntries(dir.path()), 0u) << "reading creates nothing";

    WriteBytes(music, "ID3");
    const struct {
        std::string kind, file;
        int16_t want_kind;
        std::string want_file;
    } cases[] = {
        {"2", dir / "gone.mp3", 0, ""},  // a file source whose file has gone plays nothing
        {"1", dir / "gone.mp3", 1, ""},  // a stale path under the CD is only cleared
        {"2", "", 0, ""},
        {"2", dir.path(), 0, ""},  // a folder is no music file
        {"2", music, 2, music},
        {"2", music + "/", 2, music + "/"},  // checked without the '/', kept with it
    };
    for (const auto& c : cases) {
        Load({kKind + "=" + c.kind, kFile + "=" + c.file});
        EXPECT_EQ(BGMKind, c.want_kind) << c.file;
        EXPECT_EQ(BGMFile, c.want_file) << c.file;
    }
}

TEST_F(SettingsFile, NumbersTakeTheWholePartTowardMinusInfinity) {
    const struct {
        const char* text;
        int16_t want;
    } cases[] = {{"1.7", 1},
                 {"-0.5", -1},
                 {"7", 7},
                 {"&H1F", 31},
                 {"", 0},
                 {"32767.9", 32767},
                 {"-32768", -32768},
                 // Not a number or out of range: the earlier value 5 stays.
                 {"abc", 5},
                 {"70000", 5},
                 {"32768", 5},
                 {"-32768.5", 5},
                 {"1e999", 5},
                 {"&H10000", 5},
                 {"1 2", 5}};
    for (const auto& c : cases) {
        Load({kKind + "=" + c.text, kRepeat + "=" + c.text}, 5, 5);
        EXPECT_EQ(BGMKind, c.want) << c.text;
        EXPECT_EQ(RepeatTrack, c.want) << c.text;
    }
}

TEST_F(SettingsFile, KeysAndValuesAsInTheFile) {
    // "BGMリピート" in full-width katakana is another key; ASCII case and blanks do not count.
    Load({"BGM\x83\x8a\x83\x73\x81\x5b\x83\x67=4"});
    EXPECT_EQ(RepeatTrack, 0);
    Load({"bgm\xd8\xcb\xdf\xb0\xc4 = 4"});
    EXPECT_EQ(RepeatTrack, 4);
    // Cut to 255 bytes: 250 + 5 one-byte katakana, the sixth dropped.
    Load({kFile + "=" + std::string(250, 'a') + "\xcc\xa7\xb2\xd9\xcc\xa7\xb2"});
    EXPECT_EQ(ReadIniAt(ini, "Section", orbilon::kKeyFile, ""), std::string(250, 'a') + "ﾌｧｲﾙﾌ");
    // Bytes that are no Shift_JIS read as missing.
    Load({kFile + "=\x81\x20", kRepeat + "=\x85\x40"});
    EXPECT_EQ(ReadIniAt(ini, "Section", orbilon::kKeyFile, "def"), "def");
    EXPECT_EQ(ReadIniAt(ini, "Section", orbilon::kKeyRepeat, "def"), "def");
}

TEST_F(SettingsFile, WritesExactBytes) {
    LastApiResult = 0;
    ASSERT_TRUE(WriteIniAt(ini, "Section", orbilon::kKeyKind, "2"));
    EXPECT_EQ(LastApiResult, 1);
    ASSERT_TRUE(WriteIniAt(ini, "Section", orbilon::kKeyRepeat, "12"));
    ASSERT_TRUE(WriteIniAt(ini, "Section", orbilon::kKeyFile, "/音楽/曲.mp3"));
    EXPECT_EQ(ReadBytes(ini), "[Section]\r\n" + kKind + "=2\r\n" + kRepeat + "=12\r\n" + kFile +
                                  "=/\x89\xb9\x8a\x79/\x8b\xc8.mp3\r\n");
    EXPECT_EQ(ReadIniAt(ini, "section", orbilon::kKeyFile, ""), "/音楽/曲.mp3");
    // An LF file stays LF; the user's own lines stay.
    WriteBytes(ini, "# mine\n[Section]\n" + kKind + "=1\n" + kRepeat + "=0\n");
    ASSERT_TRUE(WriteIniAt(ini, "Section", orbilon::kKeyKind, "0"));
    ASSERT_TRUE(WriteIniAt(ini, "Section", orbilon::kKeyFile, ""));
    EXPECT_EQ(ReadBytes(ini),
              "# mine\n[Section]\n" + kKind + "=0\n" + kRepeat + "=0\n" + kFile + "=\n");
    // The per-user location is made on the first write, private to the user.
    const std::string nested = dir / "config/orbilon/Orbilon.ini";
    ASSERT_TRUE(WriteIniAt(nested, "Section", orbilon::kKeyKind, "1"));
    struct stat st;
    ASSERT_EQ(stat((dir / "config/orbilon").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(SettingsFile, PublicOperationsShareTheSettingsPath) {
    const std::string path = SettingsPath();
    EXPECT_EQ(path, ProgramFolder() + "/Orbilon.ini");
    if (FileExists(path)) GTEST_SKIP() << path << " exists already";
    struct Remove {
        std::string path;
        ~Remove() { unlink(path.c_str()); }
    } remove{path};
    WriteBytes(music, "RIFF");
    ASSERT_TRUE(WriteIni(orbilon::kKeyKind, "2"));
    ASSERT_TRUE(WriteIni(orbilon::kKeyRepeat, "5"));
    ASSERT_TRUE(WriteIni(orbilon::kKeyFile, music));
    EXPECT_EQ(ReadIni(orbilon::kKeyRepeat, "def"), "5");
    LoadSettings();
    EXPECT_EQ(BGMKind, 2);
    EXPECT_EQ(RepeatTrack, 5);
    EXPECT_EQ(BGMFile, music);
}

TEST_F(SettingsFile, TextCp932CannotCarryIsRefused) {
    WriteBytes(ini, before);
    // "¥" would become "\" and "‾" "~": another path. Emoji and invalid UTF-8 have no bytes.
    for (const char* value : {"/music/¥100.mp3", "/a‾b", "/😀.mp3", "/bad\xff.mp3", "a\nb"}) {
        LastApiResult = 1;
        EXPECT_FALSE(WriteIniAt(ini, "Section", orbilon::kKeyFile, value)) << value;
        EXPECT_EQ(LastApiResult, 0);
    }
    EXPECT_FALSE(WriteIniAt(ini, "Section", "キー😀", "1"));
    EXPECT_EQ(ReadBytes(ini), before);
    EXPECT_EQ(CountEntries(dir.path()), 1u);
}

TEST_F(SettingsFile, FailedWritesLeaveTheOldFileAndNoTemporary) {
    WriteBytes(ini, before);
    chmod(dir.path().c_str(), 0755);
    auto refused = [&](mode_t folder, mode_t file) {
        chmod(ini.c_str(), file);
        chmod(dir.path().c_str(), folder);
        // As an ordinary user: permissions mean nothing to root.
        const bool failed = AsOrdinaryUser([&] {
            LastApiResult = 1;
            return !WriteIniAt(ini, "Section", orbilon::kKeyKind, "2") && LastApiResult == 0;
        });
        chmod(dir.path().c_str(), 0755);
        return failed && ReadBytes(ini) == before && CountEntries(dir.path()) == 1;
    };
    EXPECT_TRUE(refused(0755, 0444)) << "read-only file";
    EXPECT_TRUE(refused(0555, 0666)) << "read-only folder";
    // Root's file in a sticky folder: the temporary is made, the rename refused.
    if (geteuid() == 0) {
        EXPECT_TRUE(refused(01777, 0666)) << "rename refused";
        EXPECT_TRUE(refused(0777, 0644)) << "another user's file";
    }
    chmod(ini.c_str(), 0444);
    EXPECT_FALSE(WriteIniAt(ini, "Section", orbilon::kKeyKind, "2")) << "read-only even to root";

    chmod(ini.c_str(), 0640);
    ASSERT_TRUE(WriteIniAt(ini, "Section", orbilon::kKeyKind, "2"));
    struct stat st;
    ASSERT_EQ(stat(ini.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replacement keeps the permissions";

    std::string huge = before;
    huge.resize(17 << 20, 'x');
    WriteBytes(ini, huge);
    EXPECT_EQ(ReadIniAt(ini, "Section", orbilon::kKeyKind, "def"), "def");
    EXPECT_FALSE(WriteIniAt(ini, "Section", orbilon::kKeyKind, "2"));
    EXPECT_EQ(ReadBytes(ini).size(), huge.size());
    EXPECT_FALSE(WriteIniAt(dir.path(), "Section", orbilon::kKeyKind, "2")) << "a folder";
}

TEST_F(SettingsFile, ASaveWritesEveryKeyOrNone) {
    const std::vector<orbilon::IniWrite> save = {
        {orbilon::kKeyKind, "2"}, {orbilon::kKeyRepeat, "12"}, {orbilon::kKeyFile, "/音楽/曲.mp3"}};
    WriteBytes(ini, before);
    LastApiResult = 0;
    ASSERT_TRUE(WriteIniAt(ini, "Section", save));
    EXPECT_EQ(LastApiResult, 1);
    EXPECT_EQ(ReadBytes(ini), "[Section]\r\n" + kKind + "=2\r\n" + kRepeat + "=12\r\n" + kFile +
                                  "=/\x89\xb9\x8a\x79/\x8b\xc8.mp3\r\n");

    // A last value the file cannot carry keeps the first two from being written too.
    WriteBytes(ini, before);
    auto bad = save;
    bad[2].value = "/music/café.mp3";
    EXPECT_FALSE(WriteIniAt(ini, "Section", bad));
    EXPECT_EQ(LastApiResult, 0);
    EXPECT_EQ(ReadBytes(ini), before);

    // 5 bytes under what the reader takes: the save would make a file it refuses, with every
    // setting in it lost, so nothing is written.
    std::string nearLimit = before;
    nearLimit.resize((16 << 20) - 5, ';');
    WriteBytes(ini, nearLimit);
    EXPECT_FALSE(WriteIniAt(ini, "Section", save));
    EXPECT_TRUE(ReadBytes(ini) == nearLimit);
    EXPECT_EQ(ReadIniAt(ini, "Section", orbilon::kKeyKind, "def"), "1");

    // Read-only file or folder, for a user to whom permissions apply.
    WriteBytes(ini, before);
    for (const mode_t folder : {0755, 0555}) {
        chmod(ini.c_str(), folder == 0755 ? 0444 : 0666);
        chmod(dir.path().c_str(), folder);
        EXPECT_TRUE(AsOrdinaryUser([&] { return !WriteIniAt(ini, "Section", save); })) << folder;
        chmod(dir.path().c_str(), 0755);
        EXPECT_EQ(ReadBytes(ini), before) << folder;
        EXPECT_EQ(CountEntries(dir.path()), 1u) << folder;
    }
}

TEST_F(SettingsFile, WritesThroughASymbolicLink) {
    WriteBytes(dir / "real.ini", "[Section]\n");
    ASSERT_EQ(symlink((dir / "real.ini").c_str(), ini.c_str()), 0);
    ASSERT_TRUE(WriteIniAt(ini, "Section", "k", "v"));
    EXPECT_EQ(ReadBytes(dir / "real.ini"), "[Section]\nk=v\n");
    struct stat st;
    EXPECT_TRUE(lstat(ini.c_str(), &st) == 0 && S_ISLNK(st.st_mode));
}

TEST(FileExists, OnlyReadableNonFolders) {
    TempFolder dir;
    chmod(dir.path().c_str(), 0755);
    const std::string file = dir / "a.wav";
    WriteBytes(file, "RIFF");
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(file + "/"));
    for (const std::string& no : {file + "//", dir.path(), dir.path() + "/", dir / "none",
                                  std::string(), std::string("/"), file + std::string("\0x", 2)}) {
        EXPECT_FALSE(FileExists(no)) << no;
    }
    // A FIFO with no writer must not block the check.
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_TRUE(FileExists(dir / "fifo"));
    chmod(file.c_str(), geteuid() == 0 ? 0600 : 0);
    EXPECT_TRUE(AsOrdinaryUser([&] { return !FileExists(file); })) << "unreadable";
}

TEST(SettingsPath, BesideTheProgramUnlessInstalled) {
    using orbilon::ChooseSettingsPath;
    EXPECT_EQ(ChooseSettingsPath("/opt/o", false, true, "/x", "/h"), "/opt/o/Orbilon.ini");
    EXPECT_EQ(ChooseSettingsPath("/opt/o", true, false, "/x", "/h"), "/opt/o/Orbilon.ini");
    EXPECT_EQ(ChooseSettingsPath("/", false, true, "/x", "/h"), "/Orbilon.ini");
    EXPECT_EQ(ChooseSettingsPath("/opt/o", false, false, "/x/", "/h"), "/x/orbilon/Orbilon.ini");
    for (const char* ignored : {"", "relative/cfg", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(ChooseSettingsPath("/opt/o", false, false, ignored, "/h"),
                  "/h/.config/orbilon/Orbilon.ini");
    }
    EXPECT_NE(ChooseSettingsPath("/opt/o", false, false, nullptr, nullptr), "");

    // The real checks, as an ordinary user on a read-only program folder.
    TempFolder dir;
    chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(orbilon::SettingsPathFor(dir.path(), "/x", "/h"), dir / "Orbilon.ini");
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

}  // namespace
