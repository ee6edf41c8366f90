// The command-string interpreter: parses a command, finds the device by its
// name or alias, runs the command on it and hands back the reply.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/mci/device.h"

namespace platform::mci {

class Interpreter {
 public:
  explicit Interpreter(DeviceFactory& factory) : factory_(factory) {}

  // As platform::mciSendString: the reply is copied only on success and only
  // when it fits (else MCIERR_PARAM_OVERFLOW); on failure the buffer is left.
  uint32_t send(const char* command, char* reply, unsigned replySize);

  // Closes every open device.
  void closeAll() { devices_.clear(); }

 private:
  uint32_t run(const Command& command, std::string& reply);
  uint32_t open(const Command& command);

  DeviceFactory& factory_;
  // Open devices by lower-cased name (the alias, else the element).
  std::map<std::string, std::unique_ptr<Device>> devices_;
};

}  // namespace platform::mci
