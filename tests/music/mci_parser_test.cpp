// The command parser: the module's own texts, quoting, and the codes for the rest.
#include "mci_parser.h"

#include <gtest/gtest.h>

#include "mci_errors.h"

namespace {

using namespace orbilon::music;

TEST(MciParser, ReadsTheModulesCommands) {
    ParseResult r = ParseCommand("open \"/home/a b/song.mp3\" type MPEGVideo Alias MP3Play");
    ASSERT_EQ(r.error, 0);
    EXPECT_EQ(r.command.verb, Verb::Open);
    EXPECT_EQ(r.command.device, "/home/a b/song.mp3");
    EXPECT_TRUE(r.command.quoted);
    EXPECT_EQ(r.command.type, "MPEGVideo");
    EXPECT_EQ(r.command.alias, "MP3Play");

    r = ParseCommand("status cdaudio position track 12");
    ASSERT_EQ(r.error, 0);
    EXPECT_EQ(r.command.item, StatusItem::PositionTrack);
    EXPECT_EQ(r.command.track, 12);

    r = ParseCommand("PLAY cdaudio FROM 02:00:00:00 To 3");
    ASSERT_EQ(r.error, 0);
    EXPECT_EQ(r.command.from, "02:00:00:00");
    EXPECT_EQ(r.command.to, "3");

    EXPECT_EQ(ParseCommand("set cdaudio time format tmsf").command.format, TimeFormat::Tmsf);
    EXPECT_EQ(ParseCommand("status cdaudio number of tracks").command.item,
              StatusItem::NumberOfTracks);
    EXPECT_EQ(ParseCommand("  status\tcdaudio   current track ").command.item,
              StatusItem::CurrentTrack);
    EXPECT_EQ(ParseCommand("stop MP3Play").error, 0);
    EXPECT_EQ(ParseCommand("open cdaudio").command.quoted, false);
}

TEST(MciParser, RefusesEveryMisplacedQuote) {
    // A double quote inside the path ends the name early; whatever follows must fail,
    // never open another file or pick up keywords from the path.
    for (const char* text : {
             "open \"/a/b\"c.mp3\" type MPEGVideo Alias MP3Play",
             "open \"/a/x\" type cdaudio\" type MPEGVideo Alias MP3Play",
             "open \"/a/x\" alias \"y\" type MPEGVideo Alias MP3Play",
             "open \"/a/unclosed type MPEGVideo",
             "open \"",
             "status \"MP3Play\" mode",
             "play MP3Play from \"0\"",
         }) {
        EXPECT_EQ(ParseCommand(text).error, kErrNoClosingQuote) << text;
    }
    // An empty quoted name parses; opening it fails later as a missing file.
    EXPECT_EQ(ParseCommand("open \"\" type MPEGVideo alias x").error, 0);
}

TEST(MciParser, GivesCodesForBadCommands) {
    EXPECT_EQ(ParseCommand("   ").error, kErrMissingCommandString);
    EXPECT_EQ(ParseCommand("eject cdaudio").error, kErrUnrecognizedCommand);
    EXPECT_EQ(ParseCommand("play").error, kErrMissingDeviceName);
    EXPECT_EQ(ParseCommand("status cdaudio mode now").error, kErrExtraCharacters);
    EXPECT_EQ(ParseCommand("status cdaudio position track").error, kErrMissingParameter);
    EXPECT_EQ(ParseCommand("status cdaudio position track 99999999999").error, kErrBadInteger);
    EXPECT_EQ(ParseCommand("play cdaudio from").error, kErrMissingStringArgument);
    EXPECT_EQ(ParseCommand("play cdaudio from 1 from 2").error, kErrDuplicateFlags);
    EXPECT_EQ(ParseCommand("open x.mp3 from 0").error, kErrUnrecognizedKeyword);
}

TEST(MciParser, PositionsRoundTrip) {
    auto p = ParsePosition("02:01:30:10", TimeFormat::Tmsf);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->track, 2);
    EXPECT_EQ(p->offset, (60 + 30) * 75 + 10);
    EXPECT_EQ(FormatTmsf(p->track, p->offset), "02:01:30:10");
    p = ParsePosition("7", TimeFormat::Tmsf);  // the short form names a track's start
    ASSERT_TRUE(p);
    EXPECT_EQ(p->track, 7);
    EXPECT_EQ(p->offset, 0);
    EXPECT_EQ(ParsePosition("00:02:00", TimeFormat::Msf)->offset, 150);
    EXPECT_EQ(FormatMsf(150), "00:02:00");
    EXPECT_EQ(ParsePosition("1500", TimeFormat::Milliseconds)->offset, 1500);
    for (const char* bad : {"", "Error:282", "02::00", "02:00:60:00", "02:00:00:75",
                            "01:00:00:00:00", "256", "-1", "1 "}) {
        EXPECT_FALSE(ParsePosition(bad, TimeFormat::Tmsf)) << bad;
    }
    EXPECT_FALSE(ParsePosition("1.5", TimeFormat::Milliseconds));
}

}  // namespace
