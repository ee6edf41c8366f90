#include "platform/mci/mci.h"

#include "platform/mci/audio_output.h"
#include "platform/mci/cd_audio.h"
#include "platform/mci/interpreter.h"
#include "platform/mci/libcdio_drive.h"
#include "platform/mci/mpeg_video.h"

namespace platform {
namespace {

class RealDevices : public mci::DeviceFactory {
 public:
  uint32_t openCdAudio(std::unique_ptr<mci::Device>& out) override {
    std::unique_ptr<mci::LibcdioDrive> drive = mci::LibcdioDrive::open();
    if (!drive) return MCIERR_HARDWARE;
    out = std::make_unique<mci::CdAudioDevice>(std::move(drive));
    return MCI_OK;
  }
  uint32_t openMpegVideo(const std::string& path, std::unique_ptr<mci::Device>& out) override {
    return mci::MpegVideoDevice::open(path, out);
  }
};

mci::Interpreter& interpreter() {
  // Never destroyed, like the sound output its devices play through.
  static RealDevices* devices = new RealDevices();
  static mci::Interpreter* instance = new mci::Interpreter(*devices);
  return *instance;
}

}  // namespace

uint32_t mciSendString(const char* command, char* reply, unsigned replySize) {
  return interpreter().send(command, reply, replySize);
}

unsigned waveOutGetNumDevs() { return mci::AudioOutput::instance().open() ? 1 : 0; }

bool playSound(const char* sound, uint32_t flags) {
  return mci::AudioOutput::instance().playSound(sound, flags);
}

}  // namespace platform
