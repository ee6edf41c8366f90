// The saver host's rules: what a run starts, watches and stops.
#include "launcher/core/saver_host.h"

#include "launcher/core/launcher.h"
#include "launcher/settings_music/settings.h"

namespace {

constexpr unsigned kMp3WatchMs = 1000;
constexpr unsigned kCdWatchMs = 200;
constexpr unsigned kRendererWatchMs = 50;

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

MusicFileKind musicFileKind(const std::string& bgmFile) {
  std::string ending = bgmFile.size() > 3 ? bgmFile.substr(bgmFile.size() - 3) : bgmFile;
  for (char& c : ending) c = upperAscii(c);
  if (ending == "WAV") return MusicFileKind::Wav;
  if (ending == "MP3") return MusicFileKind::Mp3;
  return MusicFileKind::None;
}

Kelvara_S::Kelvara_S(SaverPlatform& platform, SaverMusic& music)
    : platform_(platform), music_(music) {}

void Kelvara_S::onLoad() {
  // The window and its timers, as they are when the form is loaded.
  platform_.createHostWindow(kSaverHostCaption);
  timer1_ = platform_.makeTimer(kMp3WatchMs, false, [this] { Timer1_Timer(); });
  timer2_ = platform_.makeTimer(kCdWatchMs, false, [this] { Timer2_Timer(); });
  timer3_ = platform_.makeTimer(kRendererWatchMs, true, [this] { Timer3_Timer(); });

  // Without a display the renderer cannot open its window and nobody could
  // end the run: start neither it nor the music; the first watch ends it.
  if (!platform_.hasDisplay()) return;

  // The renderer is started only out of the launcher's own folder; without
  // it there is nothing to start, and the first watch ends the run.
  const std::string folder = platform_.programFolder();
  if (folder.empty()) return;
  rendererPath_ = platform::pathInFolder(folder, names::kRendererFile);
  // A renderer that could not start gets no music: the first watch ends the
  // run at once.
  if (!platform_.startRenderer(rendererPath_)) return;

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

void Kelvara_S::Timer1_Timer() { music_.MP3Poll(); }

void Kelvara_S::Timer2_Timer() {
  music_.CDPoll();
  // One failed status query ends the CD watch for the rest of the run.
  timer2_->setEnabled(music_.CDOk());
}

void Kelvara_S::Timer3_Timer() {
  if (platform_.rendererWindowExists()) return;
  timer3_->setEnabled(false);
  unload();
}

void Kelvara_S::onQueryUnload() {
  // A CD watch that stopped itself after a failed query has nothing open.
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
  // What hiding returned at the start (-1 from a visible pointer) is the show
  // flag: non-zero shows the pointer again.
  if (modeLetter == "S") savedCursorCount = platform_.showCursor(savedCursorCount != 0);
  // Timer1 keeps its state: ending the process stops it.
  platform_.endLauncher();
}
