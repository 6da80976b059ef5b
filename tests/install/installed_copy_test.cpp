#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "settings.h"
#include "temp_folder.h"

namespace {

using orbilon::IsInstalledCopy;
using orbilon::testing::TempFolder;
using orbilon::testing::WriteBytes;

// An installed copy is the one XScreenSaver's hack link leads to; it then never keeps its
// settings beside itself, even for root, who may write there.
TEST(InstalledCopy, IsTheFrontEndTheHackLinkLeadsTo) {
    TempFolder dir;
    std::filesystem::create_directories(dir / "usr/libexec/orbilon");
    std::filesystem::create_directories(dir / "usr/libexec/xscreensaver");
    std::filesystem::create_directories(dir / "build");
    WriteBytes(dir / "usr/libexec/orbilon/Orbilon.scr", "");
    WriteBytes(dir / "build/Orbilon.scr", "");
    const std::string link = dir / "usr/libexec/xscreensaver/orbilon";
    ASSERT_EQ(0, symlink("../orbilon/Orbilon.scr", link.c_str()));

    EXPECT_TRUE(IsInstalledCopy(dir / "usr/libexec/orbilon", link));
    EXPECT_TRUE(IsInstalledCopy(dir / "usr/libexec/xscreensaver/../orbilon", link));
    EXPECT_FALSE(IsInstalledCopy(dir / "build", link));
    EXPECT_FALSE(IsInstalledCopy(dir / "build", dir / "nothing/orbilon"));
    EXPECT_FALSE(IsInstalledCopy(dir / "nothing", link));
    std::filesystem::remove(dir / "usr/libexec/orbilon/Orbilon.scr");
    EXPECT_FALSE(IsInstalledCopy(dir / "usr/libexec/orbilon", link));
}

}  // namespace
