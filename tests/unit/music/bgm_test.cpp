// The music module against a recording stand-in for the multimedia services:
// the exact command texts it sends, the replies it makes of the answers, and
// the CD and MP3 watches.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "launcher/settings_music/bgm.h"
#include "launcher/settings_music/settings.h"

namespace {

struct Answer {
  uint32_t code = 0;
  std::string reply;  // may hold a zero byte: copied whole
};

class RecordingPort : public Kelvara_BGM::MciPort {
 public:
  struct Sent {
    std::string command;
    unsigned replySize;
  };
  std::vector<Sent> sent;
  std::map<std::string, Answer> answers;  // unlisted commands succeed with ""
  bool errorTexts = true;
  unsigned devices = 1;
  struct Sound {
    bool null;
    std::string file;
    uint32_t flags;
  };
  std::vector<Sound> sounds;

  uint32_t sendString(const char* command, char* reply, unsigned replySize) override {
    sent.push_back({command, replySize});
    Answer answer;
    auto found = answers.find(command);
    if (found != answers.end()) answer = found->second;
    if (answer.code == 0 && reply != nullptr) {
      EXPECT_LT(answer.reply.size(), replySize);
      std::memcpy(reply, answer.reply.c_str(), answer.reply.size() + 1);
    }
    return answer.code;
  }
  bool getErrorString(uint32_t code, char* text, unsigned textSize) override {
    if (!errorTexts) return false;
    std::snprintf(text, textSize, "text of %u", code);
    return true;
  }
  unsigned waveOutGetNumDevs() override { return devices; }
  bool playSound(const char* sound, uint32_t flags) override {
    sounds.push_back({sound == nullptr, sound ? sound : "", flags});
    return true;
  }

  std::vector<std::string> commands() const {
    std::vector<std::string> out;
    for (const Sent& s : sent) out.push_back(s.command);
    return out;
  }
};

class BgmTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Kelvara_BGM::ResetState();
    Kelvara_BGM::SetMciPort(&port);
    BGMKind = 0;
    BGMRepeat = 0;
    BGMFile.clear();
  }
  void TearDown() override { Kelvara_BGM::SetMciPort(nullptr); }

  // A disc answering the three status queries of a poll.
  void disc(const std::string& current, const std::string& mode) {
    port.answers["status cdaudio current track"] = {0, current};
    port.answers["status cdaudio number of tracks"] = {0, "5"};
    port.answers["status cdaudio mode"] = {0, mode};
  }

  RecordingPort port;
};

const std::vector<std::string> kPollQueries = {
    "status cdaudio current track", "status cdaudio number of tracks", "status cdaudio mode"};

std::vector<std::string> queriesThen(std::vector<std::string> more) {
  std::vector<std::string> out = kPollQueries;
  out.insert(out.end(), more.begin(), more.end());
  return out;
}

TEST_F(BgmTest, MciSendReplyRules) {
  struct Case {
    const char* what;
    uint32_t sentCode;
    const char* sentReply;
    size_t sentReplyLength;
    bool errorTexts;
    int32_t code;
    const char* reply;
  };
  const Case cases[] = {
      {"success gives the reply", 0, "3", 1, true, 0, "3"},
      {"the reply ends at its first zero byte", 0, "pla\0ying", 8, true, 0, "pla"},
      {"failure gives the error text", 263, "", 0, true, 263, "text of 263"},
      {"failure without an error text", 263, "", 0, false, 263, "Error (文字列が取れません)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    port.sent.clear();
    port.answers["status cdaudio mode"] = {c.sentCode, std::string(c.sentReply, c.sentReplyLength)};
    port.errorTexts = c.errorTexts;
    std::string reply = "old";
    EXPECT_EQ(Kelvara_BGM::MciSend("status cdaudio mode", reply), c.code);
    EXPECT_EQ(reply, c.reply);
    ASSERT_EQ(port.sent.size(), 1u);
    EXPECT_EQ(port.sent[0].replySize, 512u);
  }
}

TEST_F(BgmTest, MciSendOfAnEmptyCommandSendsNothing) {
  std::string reply;
  EXPECT_EQ(Kelvara_BGM::MciSend("", reply), -1);
  EXPECT_EQ(reply, "コマンド文字列が指定されていません");
  EXPECT_TRUE(port.sent.empty());
  EXPECT_EQ(Kelvara_BGM::MciStatus(""), "Error:-1");
}

TEST_F(BgmTest, MciStatusGivesTheReplyOrErrorAndTheCode) {
  port.answers["status cdaudio current track"] = {0, "4"};
  port.answers["status MP3Play mode"] = {263, ""};
  EXPECT_EQ(Kelvara_BGM::MciStatus("status cdaudio current track"), "4");
  // No blank between "Error:" and the code, even though an error text exists.
  EXPECT_EQ(Kelvara_BGM::MciStatus("status MP3Play mode"), "Error:263");
}

TEST_F(BgmTest, MciPlayBuildsTheCommandFromItsPositions) {
  struct Case {
    const char* start;
    const char* end;
    const char* command;
  };
  const Case cases[] = {
      {"", "", "play cdaudio"},
      {"03:00:00:00", "", "play cdaudio from 03:00:00:00"},
      {"", "04:00:00:00", "play cdaudio to 04:00:00:00"},
      {"1", "2", "play cdaudio from 1 to 2"},
  };
  for (const Case& c : cases) {
    port.sent.clear();
    EXPECT_EQ(Kelvara_BGM::MciPlay("cdaudio", c.start, c.end), 0);
    EXPECT_EQ(port.commands(), std::vector<std::string>{c.command});
  }
  port.answers["play cdaudio"] = {276, ""};
  EXPECT_EQ(Kelvara_BGM::MciPlay("cdaudio", "", ""), 276);
}

TEST_F(BgmTest, CdOpenAndStopSendWithoutReplyBuffer) {
  port.answers["open cdaudio"] = {262, ""};  // errors are ignored: the next one still goes
  Kelvara_BGM::CDOpen();
  Kelvara_BGM::CDStop();
  EXPECT_EQ(port.commands(), (std::vector<std::string>{"open cdaudio", "set cdaudio time format tmsf",
                                                       "stop cdaudio", "close cdaudio"}));
  for (const auto& s : port.sent) EXPECT_EQ(s.replySize, 0u);
}

TEST_F(BgmTest, CdPollPaths) {
  struct Case {
    const char* what;
    int16_t repeat;
    std::string current;
    std::string mode;
    bool ok;
    std::vector<std::string> sent;
  };
  const Case cases[] = {
      {"whole disc, stopped: starts it", 0, "1", "stopped", true, queriesThen({"play cdaudio"})},
      {"whole disc, playing: nothing more", 0, "2", "playing", true, queriesThen({})},
      {"repeat 3 while track 4 plays: back to track 3", 3, "4", "playing", true,
       queriesThen({"status cdaudio position track 3", "play cdaudio from 03:00:00:00"})},
      {"repeat 3 while track 3 plays: nothing more", 3, "3", "playing", true, queriesThen({})},
      {"repeat 3, disc stopped after the last track", 3, "3", "stopped", true,
       queriesThen({"status cdaudio position track 3", "play cdaudio from 03:00:00:00"})},
      {"mode compared case-sensitively", 0, "1", "Stopped", true, queriesThen({})},
      {"a current track that is no number", 3, "three", "playing", false, queriesThen({})},
      {"an error reply in any letter case", 0, "device error", "stopped", false,
       {"status cdaudio current track"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Kelvara_BGM::ResetState();
    port.sent.clear();
    BGMRepeat = c.repeat;
    disc(c.current, c.mode);
    port.answers["status cdaudio position track 3"] = {0, "03:00:00:00"};
    Kelvara_BGM::CDPoll();
    EXPECT_EQ(Kelvara_BGM::CDOk, c.ok);
    EXPECT_EQ(port.commands(), c.sent);
  }
}

TEST_F(BgmTest, CdPollFailingQueriesEndTheWatch) {
  Kelvara_BGM::CDOk = true;
  port.answers["status cdaudio current track"] = {263, ""};  // no drive opened
  Kelvara_BGM::CDPoll();
  EXPECT_FALSE(Kelvara_BGM::CDOk);
  EXPECT_EQ(port.commands(), std::vector<std::string>{"status cdaudio current track"});

  port.sent.clear();
  disc("1", "stopped");
  port.answers["status cdaudio number of tracks"] = {276, ""};  // no disc
  Kelvara_BGM::CDPoll();
  EXPECT_FALSE(Kelvara_BGM::CDOk);
  EXPECT_EQ(port.commands(), (std::vector<std::string>{"status cdaudio current track",
                                                       "status cdaudio number of tracks"}));
}

TEST_F(BgmTest, CdPollModeQueryUsesItsOwnBufferAndKeepsTheLastText) {
  disc("1", "stopped");
  Kelvara_BGM::CDPoll();
  EXPECT_EQ(port.sent[2].replySize, 255u);
  // The mode query fails now: the buffer still says "stopped", so the disc
  // is started again.
  port.sent.clear();
  port.answers["status cdaudio mode"] = {262, ""};
  Kelvara_BGM::CDPoll();
  EXPECT_TRUE(Kelvara_BGM::CDOk);
  EXPECT_EQ(port.commands(), queriesThen({"play cdaudio"}));
}

TEST_F(BgmTest, CdPollRepeatTrackBeyondTheDiscKeepsTrying) {
  BGMRepeat = 9;
  disc("2", "playing");
  port.answers["status cdaudio position track 9"] = {282, ""};
  port.answers["play cdaudio from Error:282"] = {270, ""};
  for (int poll = 0; poll < 2; ++poll) {
    port.sent.clear();
    Kelvara_BGM::CDPoll();
    EXPECT_TRUE(Kelvara_BGM::CDOk);
    EXPECT_EQ(port.commands(),
              queriesThen({"status cdaudio position track 9", "play cdaudio from Error:282"}));
  }
}

TEST_F(BgmTest, Mp3StartOpensTheQuotedPathThenPlays) {
  BGMFile = "/home/user/My Music/曲 1.mp3";
  Kelvara_BGM::MP3Start();
  EXPECT_EQ(port.commands(),
            (std::vector<std::string>{"open \"/home/user/My Music/曲 1.mp3\" type MPEGVideo Alias MP3Play",
                                      "play MP3Play"}));
}

TEST_F(BgmTest, Mp3StartDoesNotPlayAfterAFailedOpen) {
  BGMFile = "/music/broken.mp3";
  port.answers["open \"/music/broken.mp3\" type MPEGVideo Alias MP3Play"] = {296, ""};
  Kelvara_BGM::MP3Start();
  EXPECT_EQ(port.sent.size(), 1u);
}

TEST_F(BgmTest, Mp3StartRefusesAPathWithADoubleQuote) {
  for (const char* path : {"/music/a\"b.mp3", "/m/x\" type MPEGVideo Alias Other \"y.mp3"}) {
    port.sent.clear();
    BGMFile = path;
    Kelvara_BGM::MP3Start();
    EXPECT_TRUE(port.sent.empty()) << path;
  }
}

TEST_F(BgmTest, Mp3IsPlayingLooksAtTheFirstSevenCharacters) {
  struct Case {
    const char* mode;
    bool playing;
  };
  const Case cases[] = {{"playing", true}, {"stopped", false}, {"paused", false}, {"play", false}};
  for (const Case& c : cases) {
    port.sent.clear();
    port.answers["status MP3Play mode"] = {0, c.mode};
    EXPECT_EQ(Kelvara_BGM::MP3IsPlaying(), c.playing) << c.mode;
    ASSERT_EQ(port.sent.size(), 1u);
    EXPECT_EQ(port.sent[0].replySize, 30u);
  }
}

TEST_F(BgmTest, Mp3PollRestartsAnEndedFile) {
  port.answers["status MP3Play mode"] = {0, "playing"};
  Kelvara_BGM::MP3Poll();
  EXPECT_EQ(port.commands(), std::vector<std::string>{"status MP3Play mode"});

  port.sent.clear();
  port.answers["status MP3Play mode"] = {0, "stopped"};
  Kelvara_BGM::MP3Poll();
  EXPECT_EQ(port.commands(), (std::vector<std::string>{"status MP3Play mode", "stop MP3Play",
                                                       "play MP3Play from 0"}));
}

TEST_F(BgmTest, Mp3PollAfterAFailedOpenKeepsTryingSilently) {
  port.answers["status MP3Play mode"] = {263, ""};
  port.answers["stop MP3Play"] = {263, ""};
  port.answers["play MP3Play from 0"] = {263, ""};
  for (int tick = 0; tick < 2; ++tick) {
    port.sent.clear();
    Kelvara_BGM::MP3Poll();
    EXPECT_EQ(port.commands(), (std::vector<std::string>{"status MP3Play mode", "stop MP3Play",
                                                         "play MP3Play from 0"}));
  }
}

TEST_F(BgmTest, Mp3StopStopsAndCloses) {
  Kelvara_BGM::MP3Stop();
  EXPECT_EQ(port.commands(), (std::vector<std::string>{"stop MP3Play", "close MP3Play"}));
}

TEST_F(BgmTest, WavStartLoopsInTheBackgroundOnlyWithAnOutput) {
  BGMFile = "/music/rain.WAV";
  Kelvara_BGM::WAVStart();
  ASSERT_EQ(port.sounds.size(), 1u);
  EXPECT_EQ(port.sounds[0].file, "/music/rain.WAV");
  EXPECT_EQ(port.sounds[0].flags, 9u);

  port.sounds.clear();
  port.devices = 0;
  Kelvara_BGM::WAVStart();
  EXPECT_TRUE(port.sounds.empty());

  Kelvara_BGM::WAVStop();
  ASSERT_EQ(port.sounds.size(), 1u);
  EXPECT_TRUE(port.sounds[0].null);
  EXPECT_EQ(port.sounds[0].flags, 0u);
  EXPECT_TRUE(port.sent.empty());
}

}  // namespace
