// The music of a saver run, and the real music calls: the module Kelvara_BGM
// as it is.
#include "launcher/core/saver_music.h"

#include "launcher/settings_music/bgm.h"
#include "launcher/settings_music/settings.h"

namespace {

constexpr unsigned kMp3WatchMs = 1000;
constexpr unsigned kCdWatchMs = 200;

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

class KelvaraBgmMusic : public SaverMusic {
 public:
  void CDOpen() override { Kelvara_BGM::CDOpen(); }
  void CDPoll() override { Kelvara_BGM::CDPoll(); }
  bool CDOk() override { return Kelvara_BGM::CDOk; }
  void CDStop() override { Kelvara_BGM::CDStop(); }
  void MP3Start() override { Kelvara_BGM::MP3Start(); }
  void MP3Poll() override { Kelvara_BGM::MP3Poll(); }
  void MP3Stop() override { Kelvara_BGM::MP3Stop(); }
  void WAVStart() override { Kelvara_BGM::WAVStart(); }
  void WAVStop() override { Kelvara_BGM::WAVStop(); }
};

}  // namespace

MusicFileKind musicFileKind(const std::string& bgmFile) {
  std::string ending = bgmFile.size() > 3 ? bgmFile.substr(bgmFile.size() - 3) : bgmFile;
  for (char& c : ending) c = upperAscii(c);
  if (ending == "WAV") return MusicFileKind::Wav;
  if (ending == "MP3") return MusicFileKind::Mp3;
  return MusicFileKind::None;
}

void RunMusic::makeTimers(HostTimers& timers) {
  timer1_ = timers.makeTimer(kMp3WatchMs, false, [this] { Timer1_Timer(); });
  timer2_ = timers.makeTimer(kCdWatchMs, false, [this] { Timer2_Timer(); });
}

void RunMusic::start() {
  if (muted_) return;
  if (BGMKind == 1) {
    music_.CDOpen();
    timer2_->setEnabled(true);
  } else if (BGMKind == 2) {
    switch (musicFileKind(BGMFile)) {
      case MusicFileKind::Wav:
        music_.WAVStart();
        break;
      case MusicFileKind::Mp3:
        music_.MP3Start();
        timer1_->setEnabled(true);
        break;
      case MusicFileKind::None:
        break;
    }
  }
}

void RunMusic::stop() {
  if (muted_) return;
  if (timer2_ && timer2_->enabled()) {
    timer2_->setEnabled(false);
    music_.CDStop();
  }
  if (BGMKind == 2) {
    switch (musicFileKind(BGMFile)) {
      case MusicFileKind::Wav:
        music_.WAVStop();
        break;
      case MusicFileKind::Mp3:
        music_.MP3Stop();
        break;
      case MusicFileKind::None:
        break;
    }
  }
}

void RunMusic::Timer1_Timer() { music_.MP3Poll(); }

void RunMusic::Timer2_Timer() {
  music_.CDPoll();
  // One failed status query ends the CD watch for the rest of the run.
  timer2_->setEnabled(music_.CDOk());
}

SaverMusic& kelvaraBgmMusic() {
  static KelvaraBgmMusic music;
  return music;
}
