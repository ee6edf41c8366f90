#include "platform/mci/interpreter.h"

#include <cstring>

#include "platform/mci/mci.h"

namespace platform::mci {

uint32_t Interpreter::send(const char* command, char* reply, unsigned replySize) {
  if (command == nullptr) return MCIERR_MISSING_COMMAND_STRING;
  Command parsed;
  if (uint32_t code = parseCommand(command, parsed)) return code;
  std::string text;
  if (uint32_t code = run(parsed, text)) return code;
  if (reply != nullptr && replySize > 0) {
    if (text.size() + 1 > replySize) return MCIERR_PARAM_OVERFLOW;
    std::memcpy(reply, text.c_str(), text.size() + 1);
  }
  return MCI_OK;
}

uint32_t Interpreter::open(const Command& command) {
  std::string type = asciiLower(command.type);
  std::string element = asciiLower(command.device);
  std::string name = command.alias.empty() ? element : asciiLower(command.alias);
  if (devices_.count(name)) {
    return command.alias.empty() ? MCIERR_DEVICE_OPEN : MCIERR_DUPLICATE_ALIAS;
  }
  std::unique_ptr<Device> device;
  uint32_t code;
  if (type == "mpegvideo") {
    code = factory_.openMpegVideo(command.device, device);
  } else if (type.empty() || type == "cdaudio") {
    // The audio CD is the only device opened by its name; a file needs its type.
    if (element != "cdaudio") return type.empty() ? MCIERR_EXTENSION_NOT_FOUND : MCIERR_INVALID_DEVICE_NAME;
    code = factory_.openCdAudio(device);
  } else {
    return MCIERR_CANNOT_LOAD_DRIVER;
  }
  if (code != MCI_OK) return code;
  if (!device) return MCIERR_HARDWARE;
  devices_[name] = std::move(device);
  return MCI_OK;
}

uint32_t Interpreter::run(const Command& command, std::string& reply) {
  reply.clear();
  if (command.verb == Verb::Open) return open(command);

  auto found = devices_.find(asciiLower(command.device));
  if (found == devices_.end()) return MCIERR_INVALID_DEVICE_NAME;
  Device& device = *found->second;
  switch (command.verb) {
    case Verb::Close:
      device.stop();
      devices_.erase(found);
      return MCI_OK;
    case Verb::Play:
      return device.play(command.from, command.to);
    case Verb::Stop:
      return device.stop();
    case Verb::Status:
      return device.status(command.item, command.track, reply);
    case Verb::Set:
      return device.setTimeFormat(command.timeFormat);
    case Verb::Open:
      break;
  }
  return MCIERR_UNRECOGNIZED_COMMAND;
}

}  // namespace platform::mci
