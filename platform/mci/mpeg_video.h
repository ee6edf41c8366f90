// The "MPEGVideo" device: one sound file (MP3, or whatever SDL2_mixer
// decodes) played through the SDL2_mixer output. Positions are milliseconds.
// SDL2_mixer plays one such file at a time: playing one stops another.
#pragma once

#include <memory>
#include <string>

#include "platform/mci/device.h"

struct _Mix_Music;

namespace platform::mci {

class MpegVideoDevice : public Device {
 public:
  // MCIERR_FILE_NOT_FOUND for a file that cannot be read, MCIERR_HARDWARE
  // without a sound output, MCIERR_INVALID_FILE for one that does not decode.
  static uint32_t open(const std::string& path, std::unique_ptr<Device>& out);
  ~MpegVideoDevice() override;

  uint32_t play(const std::optional<std::string>& from,
                const std::optional<std::string>& to) override;
  uint32_t stop() override;
  uint32_t status(StatusItem item, std::optional<int> track, std::string& reply) override;
  uint32_t setTimeFormat(TimeFormat format) override;

 private:
  explicit MpegVideoDevice(_Mix_Music* music) : music_(music) {}
  bool isPlaying();

  _Mix_Music* music_;
  // Where a play without "from" starts: 0 at first, where "stop" left it,
  // or the end after the file played out.
  int64_t resumeMs_ = 0;
};

}  // namespace platform::mci
