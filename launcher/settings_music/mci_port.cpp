// The music module's services on Linux: the multimedia stand-in of
// platform/mci.
#include "launcher/settings_music/bgm.h"
#include "platform/mci/mci.h"

namespace Kelvara_BGM {
namespace {

static_assert(kSndAsync == platform::SND_ASYNC && kSndLoop == platform::SND_LOOP,
              "the module's flags are the player's");

class StandInPort : public MciPort {
 public:
  uint32_t sendString(const char* command, char* reply, unsigned replySize) override {
    return platform::mciSendString(command, reply, replySize);
  }
  bool getErrorString(uint32_t code, char* text, unsigned textSize) override {
    return platform::mciGetErrorString(code, text, textSize);
  }
  unsigned waveOutGetNumDevs() override { return platform::waveOutGetNumDevs(); }
  bool playSound(const char* sound, uint32_t flags) override {
    return platform::playSound(sound, flags);
  }
};

}  // namespace

MciPort& platformMciPort() {
  static StandInPort port;
  return port;
}

}  // namespace Kelvara_BGM
