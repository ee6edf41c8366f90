// An open device of the interpreter, and the factory that opens the real
// ones. Both are interfaces so that the interpreter's name and reply rules can
// be checked without a drive or a sound output.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/mci/command.h"

namespace platform::mci {

class Device {
 public:
  virtual ~Device() = default;
  // Each returns 0 or an MCIERR_ code; `reply` is only read on success.
  virtual uint32_t play(const std::optional<std::string>& from,
                        const std::optional<std::string>& to) = 0;
  virtual uint32_t stop() = 0;
  virtual uint32_t status(StatusItem item, std::optional<int> track, std::string& reply) = 0;
  virtual uint32_t setTimeFormat(TimeFormat format) = 0;
};

class DeviceFactory {
 public:
  virtual ~DeviceFactory() = default;
  // The audio-CD drive.
  virtual uint32_t openCdAudio(std::unique_ptr<Device>& out) = 0;
  // A sound file of the "MPEGVideo" type (MP3 and whatever else decodes).
  virtual uint32_t openMpegVideo(const std::string& path, std::unique_ptr<Device>& out) = 0;
};

}  // namespace platform::mci
