// The one SDL2_mixer output of the process. Files (MP3, WAV) play through
// SDL2_mixer itself; the audio CD's samples are added to the mix after it.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

struct Mix_Chunk;

namespace platform::mci {

// The output's format: CD audio as it comes off the disc, so CD samples go
// into the mix unconverted. SDL converts for the actual device.
constexpr int kOutputRate = 44100;
constexpr int kOutputChannels = 2;

// Sound added to the mix on SDL's audio thread.
class PcmSource {
 public:
  virtual ~PcmSource() = default;
  // Adds up to `frames` interleaved 16-bit stereo frames onto `stream`.
  virtual void mixInto(int16_t* stream, int frames) = 0;
};

class AudioOutput {
 public:
  static AudioOutput& instance();

  // Opens the output on the first call; later calls give the same answer, so
  // a machine without sound is asked once, not on every poll.
  bool open();

  // Puts `source` into the mix (null takes the current one out). Once this
  // returns, the previous source is not being called any more.
  void setPcmSource(std::shared_ptr<PcmSource> source);
  // Takes `source` out if it is the current one.
  void removePcmSource(const PcmSource* source);

  // See platform::playSound.
  bool playSound(const char* file, uint32_t flags);

 private:
  AudioOutput() = default;
  static void postMix(void* self, uint8_t* stream, int length);
  void stopSound();

  bool tried_ = false;
  bool opened_ = false;
  // The background sound (UI thread only).
  Mix_Chunk* sound_ = nullptr;
  int soundChannel_ = -1;
  // Shared with the audio thread.
  std::mutex mutex_;
  std::shared_ptr<PcmSource> source_;
};

}  // namespace platform::mci
