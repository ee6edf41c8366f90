// The "cdaudio" device's rules against a made-up drive: positions in each
// time format, current track, mode, where plays start and end.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/mci/cd_audio.h"
#include "platform/mci/mci.h"

using namespace platform::mci;

namespace {

// Three audio tracks of 3:00, 2:00 and about 2:13.
CdToc threeTracks() {
  CdToc toc;
  toc.firstTrack = 1;
  toc.start = {0, 13500, 22500};
  toc.audio = {true, true, true};
  toc.leadout = 32500;
  return toc;
}

struct DriveLog {
  bool disc = true;
  CdToc toc = threeTracks();
  bool canPlay = true;
  bool playing = false;
  int32_t sector = 0;
  std::vector<std::pair<int32_t, int32_t>> plays;
  int stops = 0;
};

class FakeDrive : public CdDrive {
 public:
  explicit FakeDrive(DriveLog& log) : log_(log) {}
  bool readToc(CdToc& toc) override {
    if (!log_.disc) return false;
    toc = log_.toc;
    return true;
  }
  bool startPlay(int32_t from, int32_t to) override {
    log_.plays.push_back({from, to});
    if (!log_.canPlay) return false;
    log_.playing = true;
    log_.sector = from;
    return true;
  }
  void stopPlay() override {
    ++log_.stops;
    log_.playing = false;
  }
  CdPlayState playState() override { return {log_.playing, log_.sector}; }

 private:
  DriveLog& log_;
};

class CdAudioTest : public ::testing::Test {
 protected:
  CdAudioTest() : device(std::make_unique<FakeDrive>(log)) {}

  std::string status(StatusItem item, std::optional<int> track = std::nullopt) {
    std::string reply;
    uint32_t code = device.status(item, track, reply);
    return code == 0 ? reply : "error " + std::to_string(code);
  }
  uint32_t play(std::optional<std::string> from = std::nullopt,
                std::optional<std::string> to = std::nullopt) {
    return device.play(from, to);
  }
  // The drive reaches the end of what it was asked to play.
  void playOut() {
    log.playing = false;
    log.sector = log.plays.back().second;
  }

  DriveLog log;
  CdAudioDevice device;
};

TEST(CdPositions, FormatInEachTimeFormat) {
  const CdToc toc = threeTracks();
  struct Case {
    int32_t sector;
    TimeFormat format;
    const char* text;
  };
  const Case cases[] = {
      {13500, TimeFormat::Tmsf, "02:00:00:00"},
      {13500 + 61 * 75 + 5, TimeFormat::Tmsf, "02:01:01:05"},
      {0, TimeFormat::Tmsf, "01:00:00:00"},
      {22499, TimeFormat::Tmsf, "02:01:59:74"},
      {0, TimeFormat::Msf, "00:02:00"},
      {13500, TimeFormat::Msf, "03:02:00"},
      {0, TimeFormat::Milliseconds, "2000"},
      {1, TimeFormat::Milliseconds, "2014"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(formatPosition(c.sector, c.format, toc), c.text) << c.sector;
  }
}

TEST(CdPositions, Parse) {
  const CdToc toc = threeTracks();
  struct Case {
    const char* text;
    TimeFormat format;
    uint32_t code;
    int32_t sector;
  };
  const Case cases[] = {
      {"02:00:00:00", TimeFormat::Tmsf, 0, 13500},
      {"2", TimeFormat::Tmsf, 0, 13500},
      {"3:1", TimeFormat::Tmsf, 0, 22500 + 60 * 75},
      {"02:01:01:05", TimeFormat::Tmsf, 0, 13500 + 61 * 75 + 5},
      {"4", TimeFormat::Tmsf, platform::MCIERR_OUTOFRANGE, 0},
      {"0", TimeFormat::Tmsf, platform::MCIERR_OUTOFRANGE, 0},
      {"1:00:60:00", TimeFormat::Tmsf, platform::MCIERR_OUTOFRANGE, 0},
      {"1:00:00:75", TimeFormat::Tmsf, platform::MCIERR_OUTOFRANGE, 0},
      {"Error:282", TimeFormat::Tmsf, platform::MCIERR_BAD_INTEGER, 0},
      {"1::2", TimeFormat::Tmsf, platform::MCIERR_BAD_INTEGER, 0},
      {"1:2:3:4:5", TimeFormat::Tmsf, platform::MCIERR_BAD_INTEGER, 0},
      {"256", TimeFormat::Tmsf, platform::MCIERR_BAD_INTEGER, 0},
      {"-1", TimeFormat::Tmsf, platform::MCIERR_BAD_INTEGER, 0},
      {"", TimeFormat::Tmsf, platform::MCIERR_BAD_INTEGER, 0},
      {"00:02:00", TimeFormat::Msf, 0, 0},
      {"3:2", TimeFormat::Msf, 0, 13500},
      {"1:2:3:4", TimeFormat::Msf, platform::MCIERR_BAD_INTEGER, 0},
      {"2000", TimeFormat::Milliseconds, 0, 0},
      {"2:00", TimeFormat::Milliseconds, platform::MCIERR_BAD_INTEGER, 0},
  };
  for (const Case& c : cases) {
    int32_t sector = -99;
    EXPECT_EQ(parsePosition(c.text, c.format, toc, sector), c.code) << c.text;
    if (c.code == 0) {
      EXPECT_EQ(sector, c.sector) << c.text;
    }
  }
}

TEST(CdPositions, ReadBackWhatWasWritten) {
  const CdToc toc = threeTracks();
  for (TimeFormat format : {TimeFormat::Tmsf, TimeFormat::Msf, TimeFormat::Milliseconds}) {
    for (int32_t sector : {0, 1, 2, 74, 75, 13499, 13500, 13501, 22500 + 4444, 32499}) {
      int32_t back = -1;
      std::string text = formatPosition(sector, format, toc);
      ASSERT_EQ(parsePosition(text, format, toc, back), 0u) << text;
      EXPECT_EQ(back, sector) << text;
    }
  }
}

TEST_F(CdAudioTest, NoDiscMakesTheQueriesFail) {
  log.disc = false;
  EXPECT_EQ(status(StatusItem::Mode), "not ready");
  EXPECT_EQ(status(StatusItem::CurrentTrack), "error 276");
  EXPECT_EQ(status(StatusItem::NumberOfTracks), "error 276");
  EXPECT_EQ(status(StatusItem::Position, 1), "error 276");
  EXPECT_EQ(play(), platform::MCIERR_DEVICE_NOT_READY);
  EXPECT_TRUE(log.plays.empty());
}

TEST_F(CdAudioTest, FreshDiscStandsStoppedAtTheFirstTrack) {
  EXPECT_EQ(status(StatusItem::Mode), "stopped");
  EXPECT_EQ(status(StatusItem::CurrentTrack), "1");
  EXPECT_EQ(status(StatusItem::NumberOfTracks), "3");
  EXPECT_EQ(status(StatusItem::Position), "00:02:00");  // msf until told otherwise
  device.setTimeFormat(TimeFormat::Tmsf);
  EXPECT_EQ(status(StatusItem::Position), "01:00:00:00");
  EXPECT_EQ(status(StatusItem::Position, 3), "03:00:00:00");
  EXPECT_EQ(status(StatusItem::Position, 4), "error 282");
}

TEST_F(CdAudioTest, PlayFromATrackRunsToTheEndOfTheDisc) {
  device.setTimeFormat(TimeFormat::Tmsf);
  ASSERT_EQ(play(std::string("02:00:00:00")), 0u);
  ASSERT_EQ(log.plays.size(), 1u);
  EXPECT_EQ(log.plays[0], std::make_pair(13500, 32500));
  EXPECT_EQ(status(StatusItem::Mode), "playing");
  EXPECT_EQ(status(StatusItem::CurrentTrack), "2");
  log.sector = 22510;  // the play has run on into track 3
  EXPECT_EQ(status(StatusItem::CurrentTrack), "3");
  EXPECT_EQ(status(StatusItem::Position), "03:00:00:10");
  // A plain play while playing goes on as it is.
  EXPECT_EQ(play(), 0u);
  EXPECT_EQ(log.plays.size(), 1u);
}

TEST_F(CdAudioTest, AfterTheEndOfTheDiscAPlainPlayStartsItOver) {
  ASSERT_EQ(play(), 0u);
  EXPECT_EQ(log.plays.back(), std::make_pair(0, 32500));
  playOut();
  EXPECT_EQ(status(StatusItem::Mode), "stopped");
  EXPECT_EQ(status(StatusItem::CurrentTrack), "1");
  ASSERT_EQ(play(), 0u);
  EXPECT_EQ(log.plays.back(), std::make_pair(0, 32500));
}

TEST_F(CdAudioTest, StopKeepsThePositionAndAPlainPlayGoesOnFromIt) {
  device.setTimeFormat(TimeFormat::Tmsf);
  ASSERT_EQ(play(std::string("2")), 0u);
  log.sector = 14000;
  EXPECT_EQ(device.stop(), 0u);
  EXPECT_EQ(log.stops, 1);
  EXPECT_EQ(status(StatusItem::Mode), "stopped");
  EXPECT_EQ(status(StatusItem::CurrentTrack), "2");
  ASSERT_EQ(play(), 0u);
  EXPECT_EQ(log.plays.back(), std::make_pair(14000, 32500));
}

TEST_F(CdAudioTest, PlayToAPositionEndsThere) {
  device.setTimeFormat(TimeFormat::Tmsf);
  ASSERT_EQ(play(std::string("1"), std::string("2")), 0u);
  EXPECT_EQ(log.plays.back(), std::make_pair(0, 13500));
  playOut();
  EXPECT_EQ(status(StatusItem::Position), "02:00:00:00");
}

TEST_F(CdAudioTest, BadPositionsAreRefusedWithoutPlaying) {
  device.setTimeFormat(TimeFormat::Tmsf);
  EXPECT_EQ(play(std::string("Error:282")), platform::MCIERR_BAD_INTEGER);
  EXPECT_EQ(play(std::string("9")), platform::MCIERR_OUTOFRANGE);
  EXPECT_EQ(play(std::string("3"), std::string("2")), platform::MCIERR_OUTOFRANGE);
  device.setTimeFormat(TimeFormat::Msf);
  EXPECT_EQ(play(std::string("99:00:00")), platform::MCIERR_OUTOFRANGE);
  EXPECT_TRUE(log.plays.empty());
}

TEST_F(CdAudioTest, NoSoundOutputFailsThePlay) {
  log.canPlay = false;
  EXPECT_EQ(play(), platform::MCIERR_HARDWARE);
  EXPECT_EQ(status(StatusItem::Mode), "stopped");
}

TEST_F(CdAudioTest, DiscTakenOutWhilePlaying) {
  ASSERT_EQ(play(), 0u);
  log.disc = false;
  EXPECT_EQ(status(StatusItem::CurrentTrack), "error 276");
  EXPECT_EQ(status(StatusItem::Mode), "not ready");
  EXPECT_GE(log.stops, 1);
}

TEST_F(CdAudioTest, DataTracksAreLeftOutOfAWholeDiscPlay) {
  // A data track first (mixed mode) and a data session last (enhanced CD).
  log.toc.start = {0, 9000, 18000, 27000};
  log.toc.audio = {false, true, true, false};
  log.toc.leadout = 40000;
  EXPECT_EQ(status(StatusItem::CurrentTrack), "2");
  ASSERT_EQ(play(), 0u);
  EXPECT_EQ(log.plays.back(), std::make_pair(9000, 27000));
  playOut();
  EXPECT_EQ(status(StatusItem::CurrentTrack), "2");
}

}  // namespace
