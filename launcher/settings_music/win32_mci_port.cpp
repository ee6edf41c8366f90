// The music module's services on Windows: winmm itself, with the module's
// command strings passed through unchanged.
#include <windows.h>
#include <mmsystem.h>

#include "launcher/settings_music/bgm.h"

namespace Kelvara_BGM {
namespace {

static_assert(kSndAsync == SND_ASYNC && kSndLoop == SND_LOOP, "the module's flags are winmm's");

class WinmmPort : public MciPort {
 public:
  uint32_t sendString(const char* command, char* reply, unsigned replySize) override {
    return mciSendStringA(command, reply, reply ? replySize : 0, nullptr);
  }
  bool getErrorString(uint32_t code, char* text, unsigned textSize) override {
    return mciGetErrorStringA(code, text, textSize) != FALSE;
  }
  unsigned waveOutGetNumDevs() override { return ::waveOutGetNumDevs(); }
  bool playSound(const char* sound, uint32_t flags) override {
    // The module's sounds are always files (or null to stop).
    const DWORD kind = sound ? SND_FILENAME : 0;
    return PlaySoundA(sound, nullptr, flags | kind | SND_NODEFAULT) != FALSE;
  }
};

}  // namespace

MciPort& platformMciPort() {
  static WinmmPort port;
  return port;
}

}  // namespace Kelvara_BGM
