#include <cstring>

#include "platform/mci/mci.h"

namespace platform {
namespace {

struct ErrorText {
  uint32_t code;
  const char* text;
};

const ErrorText kErrorTexts[] = {
    {MCI_OK, "The command was carried out."},
    {MCIERR_INVALID_DEVICE_ID, "The device identifier is not valid."},
    {MCIERR_UNRECOGNIZED_KEYWORD, "The command contains a word that this device does not know."},
    {MCIERR_UNRECOGNIZED_COMMAND, "The command is not known."},
    {MCIERR_HARDWARE, "The sound output or the drive cannot be used."},
    {MCIERR_INVALID_DEVICE_NAME, "No device is open under this name."},
    {MCIERR_DEVICE_OPEN, "The device is already open under this name."},
    {MCIERR_CANNOT_LOAD_DRIVER, "This type of device is not supported."},
    {MCIERR_MISSING_COMMAND_STRING, "No command was given."},
    {MCIERR_PARAM_OVERFLOW, "The reply does not fit into the buffer given."},
    {MCIERR_MISSING_STRING_ARGUMENT, "A word of the command needs a value that is missing."},
    {MCIERR_BAD_INTEGER, "A number or position in the command is not valid."},
    {MCIERR_MISSING_PARAMETER, "The command is missing a required part."},
    {MCIERR_UNSUPPORTED_FUNCTION, "This device cannot do what the command asks."},
    {MCIERR_FILE_NOT_FOUND, "The file cannot be found or read."},
    {MCIERR_DEVICE_NOT_READY, "The device is not ready: no disc in the drive."},
    {MCIERR_EXTENSION_NOT_FOUND, "Give the device type of this file with 'type'."},
    {MCIERR_OUTOFRANGE, "The position or track lies outside the media."},
    {MCIERR_DUPLICATE_ALIAS, "The alias is already in use."},
    {MCIERR_MISSING_DEVICE_NAME, "The command names no device."},
    {MCIERR_BAD_TIME_FORMAT, "The time format is not known."},
    {MCIERR_NO_CLOSING_QUOTE, "A quoted text has no closing quote."},
    {MCIERR_DUPLICATE_FLAGS, "A word was given twice in the command."},
    {MCIERR_INVALID_FILE, "The file cannot be played: its format is not recognised or it is damaged."},
    {MCIERR_EXTRA_CHARACTERS, "A quoted text must be followed by a blank or the end of the command."},
};

}  // namespace

bool mciGetErrorString(uint32_t code, char* text, unsigned textSize) {
  if (text == nullptr || textSize == 0) return false;
  for (const ErrorText& entry : kErrorTexts) {
    if (entry.code != code) continue;
    size_t n = std::strlen(entry.text);
    if (n >= textSize) n = textSize - 1;
    std::memcpy(text, entry.text, n);
    text[n] = '\0';
    return true;
  }
  return false;
}

}  // namespace platform
