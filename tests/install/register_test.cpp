#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xscreensaver_list.h"

namespace {

namespace xss = orbilon::xscreensaver;
using xss::Outcome;

const std::string kCommand = "orbilon --root";

// The file as XScreenSaver writes it: other settings around a list of hacks.
const std::string kWritten =
    "# XScreenSaver Preferences File\n"
    "# Written by xscreensaver-settings 6.06 for alice on Mon Dec  7 10:00:00 2026.\n"
    "\n"
    "timeout:\t0:10:00\n"
    "mode:\t\tone\n"
    "selected:\t2\n"
    "\n"
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "  GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n"
    "-\t\t\t\tqix --root\t\t\t\t    \\n\\\n"
    "- GL: \"Rubik's cube\"\t\trubik --root --shuffle\t    \\n\n"
    "\n"
    "pointerHysteresis:\t10\n";

std::vector<xss::Entry> List(const std::string& text) {
    std::string error;
    auto list = xss::Programs(text, &error);
    EXPECT_TRUE(list.has_value()) << error << "\n" << text;
    return list.value_or(std::vector<xss::Entry>{});
}

std::vector<std::string> Commands(const std::string& text) {
    std::vector<std::string> out;
    for (const auto& e : List(text)) out.push_back((e.enabled ? "" : "-") + e.command);
    return out;
}

xss::Edit Add(const std::string& text) {
    std::string error;
    auto edit = xss::Register(text, kCommand, &error);
    EXPECT_TRUE(edit.has_value()) << error;
    return edit.value_or(xss::Edit{});
}

xss::Edit Remove(const std::string& text) {
    std::string error;
    auto edit = xss::Unregister(text, &error);
    EXPECT_TRUE(edit.has_value()) << error;
    return edit.value_or(xss::Edit{});
}

TEST(XScreenSaverList, ReadsEntriesWithVisualsLabelsAndDisabledMarks) {
    const auto list = List(kWritten);
    ASSERT_EQ(4u, list.size());
    EXPECT_EQ("maze --root", list[0].command);
    EXPECT_TRUE(list[0].enabled);
    EXPECT_EQ("GL", list[1].visual);
    EXPECT_FALSE(list[2].enabled);
    EXPECT_FALSE(list[3].enabled);
    EXPECT_EQ("GL", list[3].visual);
    EXPECT_EQ("Rubik's cube", list[3].label);
    EXPECT_EQ("rubik --root --shuffle", list[3].command);
}

TEST(XScreenSaverList, AddsAtTheEndOnceAndRemovesBackToTheSameBytes) {
    const auto added = Add(kWritten);
    EXPECT_EQ(Outcome::Added, added.outcome);
    // Only the list's last line gains a continuation; the new line follows it.
    const std::string expected =
        kWritten.substr(0, kWritten.find("\\n\n\npointer")) +
        "\\n\\\n  GL: \t\t\t\torbilon --root\t\t\t    \\n\n\npointerHysteresis:\t10\n";
    EXPECT_EQ(expected, added.text);
    EXPECT_EQ((std::vector<std::string>{"maze --root", "superquadrics --root", "-qix --root",
                                        "-rubik --root --shuffle", "orbilon --root"}),
              Commands(added.text));
    // Appending keeps the index of every hack, so `selected` still picks the same one.
    const auto again = Add(added.text);
    EXPECT_EQ(Outcome::AlreadyListed, again.outcome);
    EXPECT_EQ(added.text, again.text);

    const auto removed = Remove(added.text);
    EXPECT_EQ(Outcome::Removed, removed.outcome);
    EXPECT_EQ(kWritten, removed.text);
    const auto none = Remove(removed.text);
    EXPECT_EQ(Outcome::NotListed, none.outcome);
    EXPECT_EQ(kWritten, none.text);
}

TEST(XScreenSaverList, FileWithoutAListGetsOneAndLosesItAgain) {
    for (const std::string before :
         {"", "timeout: 0:05:00\n", "timeout: 0:05:00", "lock: True\nfade: \\\n  False \\\n"}) {
        const auto added = Add(before);
        EXPECT_EQ(Outcome::Added, added.outcome);
        EXPECT_EQ(before, added.text.substr(0, before.size()));
        EXPECT_EQ(std::vector<std::string>{"orbilon --root"}, Commands(added.text)) << before;
        // The whole resource goes when Orbilon was all it held, so XScreenSaver's own list
        // applies again.
        const std::string removed = Remove(added.text).text;
        EXPECT_EQ(before, removed.substr(0, before.size()));
        EXPECT_TRUE(Commands(removed).empty());
    }
    const std::string fresh = xss::NewFile(kCommand);
    EXPECT_EQ(std::vector<std::string>{"orbilon --root"}, Commands(fresh));
    EXPECT_EQ(Outcome::AlreadyListed, Add(fresh).outcome);
}

TEST(XScreenSaverList, FindsOrbilonByProgramNameInAnyFolderEnabledOrNot) {
    const std::string disabled = "programs: \\\n  maze --root \\n\\\n- GL: orbilon --root \\n\n";
    const auto enabled = Add(disabled);
    EXPECT_EQ(Outcome::Enabled, enabled.outcome);
    EXPECT_EQ("programs: \\\n  maze --root \\n\\\n GL: orbilon --root \\n\n", enabled.text);
    EXPECT_EQ(Outcome::Removed, Remove(disabled).outcome);
    // Every dash goes, or the entry would stay disabled.
    const auto twice = Add("programs: - -GL: orbilon --root\n");
    EXPECT_EQ(Outcome::Enabled, twice.outcome);
    EXPECT_TRUE(List(twice.text).at(0).enabled) << twice.text;

    const std::string byPath = "programs: /usr/libexec/xscreensaver/orbilon --root\n";
    EXPECT_EQ(Outcome::AlreadyListed, Add(byPath).outcome);
    const std::string others = "programs: orbilon-like --root \\n \"orbilon\" maze --root\n";
    EXPECT_EQ(Outcome::Added, Add(others).outcome);
    EXPECT_EQ(Outcome::NotListed, Remove(others).outcome);
}

TEST(XScreenSaverList, OddContinuationLines) {
    struct Case {
        std::string before;
        std::vector<std::string> listAfterAdd;
    };
    const std::vector<Case> cases = {
        // Several entries on one line, the last without its `\n`.
        {"programs: maze --root \\n qix --root\n", {"maze --root", "qix --root", kCommand}},
        // CRLF lines.
        {"programs:\\\r\n  maze --root \\n\\\r\n  qix --root \\n\r\nlock: False\r\n",
         {"maze --root", "qix --root", kCommand}},
        // Two backslashes end the value: the next line is a resource of its own.
        {"programs: maze --root \\\\\nlock: False\n", {"maze --root \\\\", kCommand}},
        // The file ends inside the value, with and without a final newline.
        {"programs: maze --root \\n\\", {"maze --root", kCommand}},
        {"programs: maze --root \\n\\\n", {"maze --root", kCommand}},
        {"programs: maze --root\\", {"maze --root", kCommand}},
        // ... and between the CR and the LF of its last line end.
        {"programs: maze --root \\n\\\r", {"maze --root", kCommand}},
        // A value that starts on the next line, then blank continuation lines.
        {"*programs:\\\n\\\n   \\\n  maze --root\n", {"maze --root", kCommand}},
        // Other escapes stay what they are; `\\n` is a backslash and an n, not a separator.
        {"programs: echo a\\\\nb \\n \\\"x\n", {"echo a\\\\nb", "\\\"x", kCommand}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        const auto added = Add(c.before);
        EXPECT_EQ(Outcome::Added, added.outcome);
        EXPECT_EQ(c.listAfterAdd, Commands(added.text));
        EXPECT_EQ(Outcome::AlreadyListed, Add(added.text).outcome);
        const auto removed = Remove(added.text);
        auto rest = c.listAfterAdd;
        rest.pop_back();
        EXPECT_EQ(rest, Commands(removed.text));
        // Lines after the list are untouched.
        const size_t tail = c.before.find("lock:");
        if (tail != std::string::npos) {
            EXPECT_EQ(c.before.substr(tail),
                      removed.text.substr(removed.text.size() - (c.before.size() - tail)));
        }
    }
}

TEST(XScreenSaverList, RemovesOrbilonWhereverItStands) {
    // In the middle of a line.
    EXPECT_EQ("programs: maze --root \\n  qix --root\n",
              Remove("programs: maze --root \\n GL: orbilon --root \\n qix --root\n").text);
    // On the last line: the line before it stops continuing.
    EXPECT_EQ(
        "programs: \\\n  maze --root \\n\nlock: False\n",
        Remove("programs: \\\n  maze --root \\n\\\n  orbilon --root \\n\nlock: False\n").text);
    // More than once, disabled copies included.
    EXPECT_EQ(
        "programs: \\\n  maze --root \\n\n",
        Remove("programs: \\\n -orbilon \\n\\\n  maze --root \\n\\\n  orbilon --root\n").text);
}

TEST(XScreenSaverList, RefusesFilesItCannotReadAsResources) {
    const std::vector<std::string> bad = {
        std::string("programs: maze\n\0\n", 16),
        "timeout 0:10:00\n",                              // no colon
        "time out: 0:10:00\n",                            // blank inside the name
        ": value\n",                                      // no name
        "programs: maze\nprograms: qix\n",                // which one counts?
        "! a comment that goes on \\\nprograms: maze\n",  // where does it end?
        "   \\\nprograms: maze\n",
        std::string(xss::kMaxFileBytes + 1, '!'),
    };
    for (const auto& text : bad) {
        std::string error;
        EXPECT_FALSE(xss::Programs(text, &error).has_value()) << text.substr(0, 40);
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(xss::Register(text, kCommand, &error).has_value());
        EXPECT_FALSE(xss::Unregister(text, &error).has_value());
    }
    std::string error;
    ASSERT_FALSE(xss::Programs("ok: 1\nthis is not a resource\n", &error));
    EXPECT_NE(std::string::npos, error.find("line 2")) << error;
}

}  // namespace
