// The music of a saver run: what its start plays by the launcher-wide
// BGMKind and BGMFile, the two watches that keep it going (Timer1 for an
// MP3, Timer2 for a CD) and what its end stops. Kelvara_S plays it for a run
// of its own; display mode plays it only while it holds the display's music
// lock, and mutes it otherwise.
//
// The rules are plain code: the music calls and the timers sit behind the
// small interfaces below, so tests can record what a run plays.
#pragma once

#include <functional>
#include <memory>
#include <string>

// A window timer of the host (platform::Timer on the real launcher).
class HostTimer {
 public:
  virtual ~HostTimer() = default;
  virtual unsigned interval() const = 0;
  virtual void setEnabled(bool enabled) = 0;
  virtual bool enabled() const = 0;
};

// Where the host's timers come from.
class HostTimers {
 public:
  virtual ~HostTimers() = default;
  virtual std::unique_ptr<HostTimer> makeTimer(unsigned intervalMs, bool enabled,
                                               std::function<void()> onTick) = 0;
};

// The music calls of a run (module Kelvara_BGM on the real launcher).
class SaverMusic {
 public:
  virtual ~SaverMusic() = default;
  virtual void CDOpen() = 0;
  virtual void CDPoll() = 0;
  virtual bool CDOk() = 0;
  virtual void CDStop() = 0;
  virtual void MP3Start() = 0;
  virtual void MP3Poll() = 0;
  virtual void MP3Stop() = 0;
  virtual void WAVStart() = 0;
  virtual void WAVStop() = 0;
};

// Which player a music file goes to, by the last three characters of its
// path, upper-cased: "WAV" or "MP3"; any other ending plays nothing. Only
// ASCII letters change case; a non-ASCII character (UTF-8) never ends in
// ASCII bytes, so comparing bytes is comparing characters.
enum class MusicFileKind { None, Wav, Mp3 };
MusicFileKind musicFileKind(const std::string& bgmFile);

class RunMusic {
 public:
  explicit RunMusic(SaverMusic& music) : music_(music) {}

  // Makes Timer1 (MP3 watch, 1000 ms) and Timer2 (CD watch, 200 ms), both
  // off, in that order.
  void makeTimers(HostTimers& timers);
  // Null before makeTimers.
  HostTimer* Timer1() { return timer1_.get(); }
  HostTimer* Timer2() { return timer2_.get(); }

  // BGMKind 1: CDOpen and the CD watch. BGMKind 2: WAVStart, or MP3Start and
  // the MP3 watch, by the file's ending. Anything else plays nothing.
  void start();
  // The CD, when its watch still runs (a watch that stopped itself after a
  // failed query has nothing open); for BGMKind 2, the player the file's
  // ending names, whether or not a start reached it. The MP3 watch keeps its
  // state: a run's end ends the process, which stops it.
  void stop();

  // A muted run sends no music call at all, start or stop, whatever the
  // settings choose. Change it only between a stop and the next start: the
  // stop of a muted start has nothing to stop.
  void setMuted(bool muted) { muted_ = muted; }
  bool muted() const { return muted_; }

 private:
  void Timer1_Timer();
  void Timer2_Timer();

  SaverMusic& music_;
  std::unique_ptr<HostTimer> timer1_, timer2_;
  bool muted_ = false;
};

// The real music: the module Kelvara_BGM.
SaverMusic& kelvaraBgmMusic();
