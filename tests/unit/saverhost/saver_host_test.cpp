// The saver host's rules with a recording platform and music: what a run
// starts, which watch runs when, and what the end stops.
#include "launcher/core/launcher.h"
#include "launcher/core/saver_host.h"
#include "launcher/settings_music/settings.h"
#include "platform/runtime/runtime.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// The renderer beside a launcher in /opt/saver, joined as the platform joins
// paths ("\\" on Windows).
const std::string kRenderer = platform::pathInFolder("/opt/saver", "Miravel.dll");

class FakeTimer : public HostTimer {
 public:
  FakeTimer(unsigned interval, bool enabled, std::function<void()> onTick)
      : interval_(interval), enabled_(enabled), onTick_(std::move(onTick)) {}
  unsigned interval() const override { return interval_; }
  void setEnabled(bool enabled) override { enabled_ = enabled; }
  bool enabled() const override { return enabled_; }
  // One tick as the runtime delivers it: only while enabled.
  void tick() {
    if (enabled_) onTick_();
  }

 private:
  unsigned interval_;
  bool enabled_;
  std::function<void()> onTick_;
};

class FakePlatform : public SaverPlatform {
 public:
  explicit FakePlatform(Log& log) : log_(log) {}
  bool display = true;
  bool rendererUp = true;
  int cursorCount = -1;  // as launcherMain leaves it after hiding in mode S
  std::vector<FakeTimer*> timers;

  bool hasDisplay() override { return display; }
  void createHostWindow(const std::string& caption) override { log_.push_back("window " + caption); }
  std::string folder = "/opt/saver";
  std::string programFolder() override { return folder; }
  bool rendererStarts = true;
  bool startRenderer(const std::string& path) override {
    log_.push_back("start " + path);
    return rendererStarts;
  }
  bool rendererWindowExists() override { return rendererUp; }
  int showCursor(bool show) override {
    cursorCount += show ? 1 : -1;
    log_.push_back(std::string("showCursor ") + (show ? "true" : "false"));
    return cursorCount;
  }
  std::unique_ptr<HostTimer> makeTimer(unsigned intervalMs, bool enabled,
                                       std::function<void()> onTick) override {
    auto timer = std::make_unique<FakeTimer>(intervalMs, enabled, std::move(onTick));
    timers.push_back(timer.get());
    return timer;
  }
  void endLauncher() override { log_.push_back("end"); }

 private:
  Log& log_;
};

class FakeMusic : public SaverMusic {
 public:
  explicit FakeMusic(Log& log) : log_(log) {}
  bool cdOk = true;
  void CDOpen() override { log_.push_back("CDOpen"); }
  void CDPoll() override { log_.push_back("CDPoll"); }
  bool CDOk() override { return cdOk; }
  void CDStop() override { log_.push_back("CDStop"); }
  void MP3Start() override { log_.push_back("MP3Start"); }
  void MP3Poll() override { log_.push_back("MP3Poll"); }
  void MP3Stop() override { log_.push_back("MP3Stop"); }
  void WAVStart() override { log_.push_back("WAVStart"); }
  void WAVStop() override { log_.push_back("WAVStop"); }

 private:
  Log& log_;
};

class SaverHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BGMKind = 0;
    BGMRepeat = 0;
    BGMFile.clear();
    modeLetter = "S";
    savedCursorCount = -1;
  }

  // The calls logged since the last look.
  Log take() {
    Log out(log.begin() + static_cast<long>(seen), log.end());
    seen = log.size();
    return out;
  }
  FakeTimer& timer(int n) { return *platform.timers.at(static_cast<size_t>(n - 1)); }

  Log log;
  size_t seen = 0;
  FakePlatform platform{log};
  FakeMusic music{log};
  Kelvara_S host{platform, music};
};

}  // namespace

TEST(MusicFileKind, LastThreeCharactersUpperCased) {
  const struct {
    const char* file;
    MusicFileKind kind;
  } cases[] = {
      {"/music/song.wav", MusicFileKind::Wav},
      {"/music/SONG.WAV", MusicFileKind::Wav},
      {"/music/song.wAv", MusicFileKind::Wav},
      {"/music/tune.Mp3", MusicFileKind::Mp3},
      {"/music/tune.mp3", MusicFileKind::Mp3},
      {"/music/曲.MP3", MusicFileKind::Mp3},
      {"/music/tune.mid", MusicFileKind::None},
      {"/music/tune.wma", MusicFileKind::None},
      {"/music/tune.mp3 ", MusicFileKind::None},    // the ending only, no trimming
      {"/music/wav.ogg", MusicFileKind::None},
      {"/music/swav", MusicFileKind::Wav},         // no dot needed: three characters
      {"wav", MusicFileKind::Wav},                 // exactly three
      {"v", MusicFileKind::None},
      {"", MusicFileKind::None},
      {"/music/ｗａｖ", MusicFileKind::None},       // full-width letters stay as they are
  };
  for (const auto& c : cases) EXPECT_EQ(musicFileKind(c.file), c.kind) << c.file;
}

TEST_F(SaverHostTest, LoadMakesTheMarkerWindowAndTimersThenStartsTheRenderer) {
  host.load();
  EXPECT_EQ(take(), (Log{"window Kelvara_Main", "start " + kRenderer}));
  EXPECT_EQ(host.rendererPath(), kRenderer);
  ASSERT_EQ(platform.timers.size(), 3u);
  EXPECT_EQ(host.Timer1(), &timer(1));
  EXPECT_EQ(host.Timer2(), &timer(2));
  EXPECT_EQ(host.Timer3(), &timer(3));
  EXPECT_EQ(timer(1).interval(), 1000u);
  EXPECT_EQ(timer(2).interval(), 200u);
  EXPECT_EQ(timer(3).interval(), 50u);
  EXPECT_FALSE(timer(1).enabled());
  EXPECT_FALSE(timer(2).enabled());
  EXPECT_TRUE(timer(3).enabled());
  EXPECT_TRUE(host.isLoaded());
}

// Each kind of music: what the start plays and which watch it switches on,
// then what the end stops (a session's end unloads the host directly).
TEST_F(SaverHostTest, MusicStartedAndStoppedByKindAndEnding) {
  const struct {
    int16_t kind;
    const char* file;
    Log atLoad;
    bool mp3Watch, cdWatch;
    Log atEnd;
  } cases[] = {
      {0, "", {}, false, false, {}},
      {0, "/m/a.wav", {}, false, false, {}},
      {1, "", {"CDOpen"}, false, true, {"CDStop"}},
      {1, "/m/a.wav", {"CDOpen"}, false, true, {"CDStop"}},  // the file is not looked at
      {2, "/m/Song.wav", {"WAVStart"}, false, false, {"WAVStop"}},
      {2, "/m/SONG.WAV", {"WAVStart"}, false, false, {"WAVStop"}},
      {2, "/m/tune.Mp3", {"MP3Start"}, true, false, {"MP3Stop"}},
      {2, "/m/tune.mid", {}, false, false, {}},
      {3, "/m/tune.mp3", {}, false, false, {}},
      {-1, "/m/tune.mp3", {}, false, false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.kind) + " " + c.file);
    Log runLog;
    FakePlatform p(runLog);
    FakeMusic m(runLog);
    Kelvara_S h(p, m);
    BGMKind = c.kind;
    BGMFile = c.file;
    savedCursorCount = -1;
    h.load();
    Log expected{"window Kelvara_Main", "start " + kRenderer};
    expected.insert(expected.end(), c.atLoad.begin(), c.atLoad.end());
    EXPECT_EQ(runLog, expected);
    EXPECT_EQ(h.Timer1()->enabled(), c.mp3Watch);
    EXPECT_EQ(h.Timer2()->enabled(), c.cdWatch);

    runLog.clear();
    h.unload();
    expected = c.atEnd;
    expected.push_back("showCursor true");
    expected.push_back("end");
    EXPECT_EQ(runLog, expected);
    EXPECT_FALSE(h.Timer2()->enabled());
    EXPECT_FALSE(h.isLoaded());
  }
}

TEST_F(SaverHostTest, CdWatchRunsWhileCdOkAndTheEndStopsTheCdOnlyThen) {
  BGMKind = 1;
  host.load();
  take();
  timer(2).tick();
  timer(2).tick();
  EXPECT_EQ(take(), (Log{"CDPoll", "CDPoll"}));
  EXPECT_TRUE(timer(2).enabled());

  music.cdOk = false;  // no disc: the status query failed
  timer(2).tick();
  EXPECT_EQ(take(), (Log{"CDPoll"}));
  EXPECT_FALSE(timer(2).enabled());
  timer(2).tick();
  EXPECT_EQ(take(), Log{});

  host.unload();
  EXPECT_EQ(take(), (Log{"showCursor true", "end"}));  // no CDStop: nothing is open
}

TEST_F(SaverHostTest, Mp3WatchPollsEachTick) {
  BGMKind = 2;
  BGMFile = "/m/tune.mp3";
  host.load();
  take();
  timer(1).tick();
  timer(1).tick();
  EXPECT_EQ(take(), (Log{"MP3Poll", "MP3Poll"}));
  EXPECT_TRUE(timer(1).enabled());
  timer(2).tick();  // the CD watch stays off for a file
  EXPECT_EQ(take(), Log{});
}

TEST_F(SaverHostTest, RendererWatchEndsTheRunWhenTheWindowIsGone) {
  BGMKind = 2;
  BGMFile = "/m/loop.WAV";
  host.load();
  take();
  for (int i = 0; i < 3; ++i) timer(3).tick();
  EXPECT_EQ(take(), Log{});
  EXPECT_TRUE(host.isLoaded());

  platform.rendererUp = false;
  timer(3).tick();
  EXPECT_EQ(take(), (Log{"WAVStop", "showCursor true", "end"}));
  EXPECT_FALSE(timer(3).enabled());
  EXPECT_FALSE(host.isLoaded());
  EXPECT_EQ(savedCursorCount, 0);
  EXPECT_EQ(platform.cursorCount, 0);
}

TEST_F(SaverHostTest, PointerShownAgainOnlyInModeS) {
  // The count saved when hiding is the show flag: -1 (non-zero) shows.
  const struct {
    const char* mode;
    int32_t saved;
    Log atEnd;
    int32_t savedAfter;
  } cases[] = {
      {"S", -1, {"showCursor true", "end"}, 0},
      {"S", -3, {"showCursor true", "end"}, 0},
      {"S", 0, {"showCursor false", "end"}, -2},
      {"", -1, {"end"}, -1},   // empty command line: the pointer was never hidden
      {"C", -1, {"end"}, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("mode '") + c.mode + "' saved " + std::to_string(c.saved));
    Log runLog;
    FakePlatform p(runLog);
    FakeMusic m(runLog);
    Kelvara_S h(p, m);
    modeLetter = c.mode;
    savedCursorCount = c.saved;
    h.load();
    runLog.clear();
    h.unload();
    EXPECT_EQ(runLog, c.atEnd);
    EXPECT_EQ(savedCursorCount, c.savedAfter);
  }
}

TEST_F(SaverHostTest, WithoutADisplayNothingStartsAndTheFirstWatchEnds) {
  BGMKind = 1;
  platform.display = false;
  platform.rendererUp = false;
  host.load();
  EXPECT_EQ(take(), (Log{"window Kelvara_Main"}));
  EXPECT_FALSE(timer(2).enabled());
  timer(3).tick();
  EXPECT_EQ(take(), (Log{"showCursor true", "end"}));
}

TEST_F(SaverHostTest, WithoutItsOwnFolderNothingStartsAndTheFirstWatchEnds) {
  BGMKind = 1;
  platform.folder = "";
  platform.rendererUp = false;
  host.load();
  EXPECT_EQ(take(), (Log{"window Kelvara_Main"}));  // no renderer from "" or "."
  EXPECT_FALSE(timer(2).enabled());
  timer(3).tick();
  EXPECT_EQ(take(), (Log{"showCursor true", "end"}));
}

TEST_F(SaverHostTest, RendererThatCannotStartGetsNoMusicAndTheFirstWatchEnds) {
  for (int16_t kind : {1, 2}) {
    SCOPED_TRACE(kind);
    Log runLog;
    FakePlatform p(runLog);
    FakeMusic m(runLog);
    Kelvara_S h(p, m);
    BGMKind = kind;
    BGMFile = "/m/tune.mp3";
    savedCursorCount = -1;
    p.rendererStarts = false;
    p.rendererUp = false;
    h.load();
    EXPECT_EQ(runLog, (Log{"window Kelvara_Main", "start " + kRenderer}));
    EXPECT_FALSE(h.Timer1()->enabled());
    EXPECT_FALSE(h.Timer2()->enabled());
    runLog.clear();
    p.timers.at(2)->tick();
    // Nothing was started, so the end stops only what a run of this kind
    // stops by its rule (the MP3's stop is harmless on nothing open).
    Log expected = kind == 2 ? Log{"MP3Stop", "showCursor true", "end"} : Log{"showCursor true", "end"};
    EXPECT_EQ(runLog, expected);
    EXPECT_FALSE(h.isLoaded());
  }
}

// A host that must stay silent (display mode without the music lock) mutes
// its music: no call at all, start or stop, whatever the settings choose;
// unmuted later, the same music plays and stops by its rule.
TEST_F(SaverHostTest, MutedMusicSendsNoCallUntilUnmuted) {
  const struct {
    int16_t kind;
    const char* file;
    Log played, stopped;
  } cases[] = {
      {1, "", {"CDOpen"}, {"CDStop"}},
      {2, "/m/loop.wav", {"WAVStart"}, {"WAVStop"}},
      {2, "/m/tune.MP3", {"MP3Start"}, {"MP3Stop"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.kind) + " " + c.file);
    BGMKind = c.kind;
    BGMFile = c.file;
    Log runLog;
    FakePlatform p(runLog);
    FakeMusic m(runLog);
    RunMusic music(m);
    music.makeTimers(p);
    ASSERT_EQ(p.timers.size(), 2u);
    EXPECT_EQ(music.Timer1()->interval(), 1000u);
    EXPECT_EQ(music.Timer2()->interval(), 200u);

    music.setMuted(true);
    music.start();
    EXPECT_FALSE(music.Timer1()->enabled());
    EXPECT_FALSE(music.Timer2()->enabled());
    music.stop();
    EXPECT_EQ(runLog, Log{});

    music.setMuted(false);
    music.start();
    EXPECT_EQ(runLog, c.played);
    EXPECT_EQ(music.Timer1()->enabled(), c.played[0] == "MP3Start");
    EXPECT_EQ(music.Timer2()->enabled(), c.kind == 1);
    runLog.clear();
    music.stop();
    EXPECT_EQ(runLog, c.stopped);
    EXPECT_FALSE(music.Timer2()->enabled());
  }
}
