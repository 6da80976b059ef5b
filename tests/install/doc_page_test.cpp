#include "doc_page.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using orbilon::DocumentationUrlFor;

// The "その他の作品" button's page: the installed documentation, or the README of the source
// tree beside build/, and always a file:// address that exists when either does.
TEST(DocumentationPage, InstalledDocsThenTheBuildsReadmeThenTheDocsFolder) {
    std::set<std::string> files;
    const auto isFile = [&](const std::string& p) { return files.count(p) > 0; };
    const std::string rel = "../../share/doc/orbilon";

    files = {"/usr/share/doc/orbilon/README.md", "/usr/libexec/README.md"};
    EXPECT_EQ("file:///usr/share/doc/orbilon/",
              DocumentationUrlFor("/usr/libexec/orbilon", rel, isFile));

    files = {"/home/a/src/orbilon/README.md"};
    EXPECT_EQ("file:///home/a/src/orbilon/README.md",
              DocumentationUrlFor("/home/a/src/orbilon/build", rel, isFile));

    files = {};
    EXPECT_EQ("file:///opt/share/doc/orbilon/",
              DocumentationUrlFor("/opt/libexec/orbilon", rel, isFile));
}

// Windows: the installed README beside the programs in System32, the zip's, a build's; never
// the programs' folder itself.
TEST(DocumentationPage, WindowsOpensTheReadmeBesideTheProgramsNeverTheirFolder) {
    using orbilon::WindowsReadmeFor;
    std::set<std::string> files;
    const auto isFile = [&](const std::string& p) { return files.count(p) > 0; };
    const std::string system = "C:/Windows/System32";

    files = {system + "/Orbilon-README.txt", system + "/README.txt", "C:/Windows/README.md"};
    EXPECT_EQ(system + "/Orbilon-README.txt", WindowsReadmeFor(system, isFile));

    files = {"D:/Saver/README.txt", "D:/README.md"};
    EXPECT_EQ("D:/Saver/README.txt", WindowsReadmeFor("D:/Saver", isFile));

    files = {"Z:/src/orbilon/README.md"};
    EXPECT_EQ("Z:/src/orbilon/README.md", WindowsReadmeFor("Z:/src/orbilon/build-win", isFile));

    files = {system + "/Orbilon.scr", system + "/Orbilon.dll"};
    EXPECT_EQ(std::nullopt, WindowsReadmeFor(system, isFile));
}

TEST(DocumentationPage, PathsBecomeValidAddresses) {
    EXPECT_EQ("file:///home/%E5%A4%AA%E9%83%8E/My%20Saver%23%3F%25/README.md",
              orbilon::FileUrl("/home/太郎/My Saver#?%/README.md"));
}

}  // namespace
