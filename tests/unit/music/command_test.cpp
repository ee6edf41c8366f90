// The grammar of the command texts, without any device.
#include <gtest/gtest.h>

#include <string>

#include "platform/mci/command.h"
#include "platform/mci/mci.h"

using platform::mci::Command;
using platform::mci::parseCommand;
using platform::mci::StatusItem;
using platform::mci::TimeFormat;
using platform::mci::Verb;

namespace {

Command parsed(const std::string& text) {
  Command command;
  EXPECT_EQ(parseCommand(text, command), 0u) << text;
  return command;
}

TEST(MciCommandGrammar, TheMusicModulesCommands) {
  Command c = parsed("open cdaudio");
  EXPECT_EQ(c.verb, Verb::Open);
  EXPECT_EQ(c.device, "cdaudio");
  EXPECT_TRUE(c.type.empty());
  EXPECT_TRUE(c.alias.empty());

  c = parsed("set cdaudio time format tmsf");
  EXPECT_EQ(c.verb, Verb::Set);
  EXPECT_EQ(c.timeFormat, TimeFormat::Tmsf);

  struct StatusCase {
    const char* text;
    StatusItem item;
    std::optional<int> track;
  };
  const StatusCase statuses[] = {
      {"status cdaudio current track", StatusItem::CurrentTrack, std::nullopt},
      {"status cdaudio number of tracks", StatusItem::NumberOfTracks, std::nullopt},
      {"status cdaudio mode", StatusItem::Mode, std::nullopt},
      {"status cdaudio position track 3", StatusItem::Position, 3},
      {"status cdaudio position track 12", StatusItem::Position, 12},
      {"status cdaudio position", StatusItem::Position, std::nullopt},
      {"status MP3Play mode", StatusItem::Mode, std::nullopt},
  };
  for (const StatusCase& s : statuses) {
    c = parsed(s.text);
    EXPECT_EQ(c.verb, Verb::Status) << s.text;
    EXPECT_EQ(c.item, s.item) << s.text;
    EXPECT_EQ(c.track, s.track) << s.text;
  }

  c = parsed("play cdaudio");
  EXPECT_EQ(c.verb, Verb::Play);
  EXPECT_FALSE(c.from);
  EXPECT_FALSE(c.to);
  c = parsed("play cdaudio from 03:00:00:00");
  EXPECT_EQ(c.from, "03:00:00:00");
  c = parsed("play cdaudio from 3 to 4");
  EXPECT_EQ(c.from, "3");
  EXPECT_EQ(c.to, "4");
  c = parsed("play MP3Play from 0");
  EXPECT_EQ(c.device, "MP3Play");
  EXPECT_EQ(c.from, "0");

  EXPECT_EQ(parsed("stop cdaudio").verb, Verb::Stop);
  EXPECT_EQ(parsed("close MP3Play").verb, Verb::Close);
  EXPECT_EQ(parsed("play MP3Play").verb, Verb::Play);
}

TEST(MciCommandGrammar, QuotedFileNameIsKeptByteForByte) {
  const std::string path = "/home/user/My Music/曲  Tab\there.MP3";
  Command c = parsed("open \"" + path + "\" type MPEGVideo Alias MP3Play");
  EXPECT_EQ(c.verb, Verb::Open);
  EXPECT_EQ(c.device, path);
  EXPECT_EQ(c.type, "MPEGVideo");
  EXPECT_EQ(c.alias, "MP3Play");
  // Unquoted names without blanks work too.
  EXPECT_EQ(parsed("open /tmp/a.mp3 type mpegvideo alias x").device, "/tmp/a.mp3");
}

TEST(MciCommandGrammar, CommandWordsInAnyCaseAndSpacing) {
  Command c = parsed("  STATUS   CDAudio\tCurrent  TRACK ");
  EXPECT_EQ(c.item, StatusItem::CurrentTrack);
  EXPECT_EQ(c.device, "CDAudio");
  c = parsed("Play mp3play FROM 0");
  EXPECT_EQ(c.from, "0");
  c = parsed("SET cdaudio Time Format MilliSeconds");
  EXPECT_EQ(c.timeFormat, TimeFormat::Milliseconds);
  c = parsed("set cdaudio time format ms");
  EXPECT_EQ(c.timeFormat, TimeFormat::Milliseconds);
  c = parsed("set cdaudio time format MSF");
  EXPECT_EQ(c.timeFormat, TimeFormat::Msf);
  c = parsed("OPEN \"x.mp3\" TYPE MPEGVideo ALIAS A");
  EXPECT_EQ(c.alias, "A");
}

TEST(MciCommandGrammar, Errors) {
  struct Case {
    const char* text;
    uint32_t code;
  };
  const Case cases[] = {
      {"", platform::MCIERR_MISSING_COMMAND_STRING},
      {" \t ", platform::MCIERR_MISSING_COMMAND_STRING},
      {"eject cdaudio", platform::MCIERR_UNRECOGNIZED_COMMAND},
      {"\"play\" cdaudio", platform::MCIERR_UNRECOGNIZED_COMMAND},
      {"play", platform::MCIERR_MISSING_DEVICE_NAME},
      {"open", platform::MCIERR_MISSING_DEVICE_NAME},
      {"open \"\" type MPEGVideo", platform::MCIERR_MISSING_DEVICE_NAME},
      {"play \"MP3Play\"", platform::MCIERR_INVALID_DEVICE_NAME},
      {"open \"/tmp/a.mp3 type MPEGVideo", platform::MCIERR_NO_CLOSING_QUOTE},
      {"open \"a\"b.mp3\" type MPEGVideo Alias MP3Play", platform::MCIERR_EXTRA_CHARACTERS},
      {"open a\"b.mp3 type MPEGVideo", platform::MCIERR_EXTRA_CHARACTERS},
      {"open x.mp3 type", platform::MCIERR_MISSING_STRING_ARGUMENT},
      {"open x.mp3 alias a alias b", platform::MCIERR_DUPLICATE_FLAGS},
      {"open x.mp3 type MPEGVideo shareable", platform::MCIERR_UNRECOGNIZED_KEYWORD},
      {"open x.mp3 type \"MPEGVideo\"", platform::MCIERR_UNRECOGNIZED_KEYWORD},
      {"play cdaudio from", platform::MCIERR_MISSING_PARAMETER},
      {"play cdaudio from 1 from 2", platform::MCIERR_DUPLICATE_FLAGS},
      {"play cdaudio at 1", platform::MCIERR_UNRECOGNIZED_KEYWORD},
      {"play cdaudio from \"1\"", platform::MCIERR_UNRECOGNIZED_KEYWORD},
      {"status cdaudio", platform::MCIERR_MISSING_PARAMETER},
      {"status cdaudio volume", platform::MCIERR_UNRECOGNIZED_KEYWORD},
      {"status cdaudio current", platform::MCIERR_UNRECOGNIZED_KEYWORD},
      {"status cdaudio mode now", platform::MCIERR_UNRECOGNIZED_KEYWORD},
      {"status cdaudio position track", platform::MCIERR_MISSING_PARAMETER},
      {"status cdaudio position track x3", platform::MCIERR_BAD_INTEGER},
      {"status cdaudio position track -1", platform::MCIERR_BAD_INTEGER},
      {"status cdaudio position track 99999999999", platform::MCIERR_BAD_INTEGER},
      {"status cdaudio position track 3 4", platform::MCIERR_UNRECOGNIZED_KEYWORD},
      {"set cdaudio", platform::MCIERR_MISSING_PARAMETER},
      {"set cdaudio time format", platform::MCIERR_MISSING_PARAMETER},
      {"set cdaudio time format frames", platform::MCIERR_BAD_TIME_FORMAT},
      {"set cdaudio door open", platform::MCIERR_UNRECOGNIZED_KEYWORD},
      {"stop cdaudio now", platform::MCIERR_UNRECOGNIZED_KEYWORD},
      {"close MP3Play all", platform::MCIERR_UNRECOGNIZED_KEYWORD},
  };
  for (const Case& c : cases) {
    Command command;
    EXPECT_EQ(parseCommand(c.text, command), c.code) << c.text;
  }
}

// A file name holding double quotes, put between the quotes of the open
// command, must never parse: otherwise its rest would be read as commands.
TEST(MciCommandGrammar, DoubleQuoteInsideAFileNameNeverParses) {
  const char* names[] = {
      "a\"b.mp3",
      "\"",
      "x\"",
      "\"x",
      "a\" \"b.mp3",
      "x\" type MPEGVideo Alias Other \"y",
      "x\" alias MP3Play \"",
      "x\" type cdaudio alias MP3Play \"",
      "\" \"",
      "a\"\"b",
  };
  for (const char* name : names) {
    Command command;
    std::string text = std::string("open \"") + name + "\" type MPEGVideo Alias MP3Play";
    EXPECT_NE(parseCommand(text, command), 0u) << text;
  }
}

}  // namespace
