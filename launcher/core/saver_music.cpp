// The saver host's music: the module Kelvara_BGM as it is.
#include "launcher/core/saver_host.h"
#include "launcher/settings_music/bgm.h"

namespace {

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

SaverMusic& kelvaraBgmMusic() {
  static KelvaraBgmMusic music;
  return music;
}
