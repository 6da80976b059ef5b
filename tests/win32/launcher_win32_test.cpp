// The Win32 launcher's own logic: the argument text Windows hands over, and the winmm layer's
// crossing between the module's UTF-8 and the wide entry points.
#include <gtest/gtest.h>

#include <string>

#include "argument_text.h"
#include "mci_api.h"
#include "mci_errors.h"
#include "winmm_layer.h"

namespace {

using orbilon::AfterProgramName;
using orbilon::music::CopyUtf8;
using orbilon::music::CurrentMciApi;

TEST(ArgumentText, WhatFollowsTheProgramsName) {
    // As the display settings start a saver: a quoted path, blanks inside it.
    EXPECT_EQ(AfterProgramName(L"\"C:\\Program Files\\Orbilon.scr\" /p 1234"), L"/p 1234");
    EXPECT_EQ(AfterProgramName(L"C:\\WINDOWS\\ORBILON.SCR /c:4567"), L"/c:4567");
    EXPECT_EQ(AfterProgramName(L"Orbilon.scr\t  /S  "), L"/S  ");
    // Nothing after the name is the empty text of a plain saver run.
    EXPECT_EQ(AfterProgramName(L"Orbilon.scr"), L"");
    EXPECT_EQ(AfterProgramName(L"\"Orbilon.scr\""), L"");
    EXPECT_EQ(AfterProgramName(L"\"Orbilon.scr\"   "), L"");
    EXPECT_EQ(AfterProgramName(L""), L"");
    // A quote that never closes swallows the line, as the system reads it.
    EXPECT_EQ(AfterProgramName(L"\"C:\\Orbilon.scr /s"), L"");
    // A name quoted in its middle ends at the first blank.
    EXPECT_EQ(AfterProgramName(L"C:\\a\"b c\".scr /s"), L"c\".scr /s");
}

TEST(WinmmLayer, RepliesAreCutAtWholeCharacters) {
    char out[8];
    CopyUtf8("playing", out, sizeof out);
    EXPECT_STREQ(out, "playing");
    CopyUtf8("stopped!", out, sizeof out);  // one byte too long
    EXPECT_STREQ(out, "stopped");
    CopyUtf8("ab再生中", out, sizeof out);  // 2 + 3 + 3 + 3 bytes: the second kanji does not fit
    EXPECT_STREQ(out, "ab再");
    char one[1] = {'x'};
    CopyUtf8("anything", one, 1);
    EXPECT_STREQ(one, "");
    CopyUtf8("ignored", nullptr, 0);  // no buffer: nothing written, nothing broken
}

TEST(WinmmLayer, CommandsReachWinmmAndBadTextIsRefused) {
    UseRealMciLayer();
    auto& api = CurrentMciApi();
    char reply[64] = "stale";
    // Text that is not UTF-8 would reach winmm changed: an error, and no stale reply.
    EXPECT_EQ(api.SendString("open \"\xff\xfe.mp3\" alias x", reply, sizeof reply),
              orbilon::music::kErrUnrecognizedCommand);
    EXPECT_STREQ(reply, "");
    EXPECT_EQ(api.SendString(std::string("close\0all", 9), reply, sizeof reply),
              orbilon::music::kErrUnrecognizedCommand);
    // A real command for no device: winmm's error, with a text for it.
    const int32_t code = api.SendString("status NoSuchAlias mode", reply, sizeof reply);
    EXPECT_NE(code, 0);
    char text[256] = {};
    EXPECT_TRUE(api.GetErrorString(code, text, sizeof text));
    EXPECT_STRNE(text, "");
    EXPECT_TRUE(api.PlaySound(nullptr, 0));  // stopping with nothing playing
}

}  // namespace
