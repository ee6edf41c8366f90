// The multimedia services the launcher's music uses, on Linux: a
// command-string interpreter in the manner of the Windows multimedia command
// strings (devices "cdaudio" over libcdio and "MPEGVideo" files over
// SDL2_mixer), its error texts, a looping background sound player and the
// count of usable sound outputs.
//
// All calls belong to one thread (the launcher's user-interface thread). The
// sound itself is mixed on SDL's audio thread.
#pragma once

#include <cstdint>

namespace platform {

// Error codes, numbered as the Windows multimedia command errors so that a
// code means the same thing wherever it is logged or compared.
enum MciError : uint32_t {
  MCI_OK = 0,
  MCIERR_INVALID_DEVICE_ID = 257,
  MCIERR_UNRECOGNIZED_KEYWORD = 259,
  MCIERR_UNRECOGNIZED_COMMAND = 261,
  MCIERR_HARDWARE = 262,
  MCIERR_INVALID_DEVICE_NAME = 263,
  MCIERR_DEVICE_OPEN = 265,
  MCIERR_CANNOT_LOAD_DRIVER = 266,
  MCIERR_MISSING_COMMAND_STRING = 267,
  MCIERR_PARAM_OVERFLOW = 268,
  MCIERR_MISSING_STRING_ARGUMENT = 269,
  MCIERR_BAD_INTEGER = 270,
  MCIERR_MISSING_PARAMETER = 273,
  MCIERR_UNSUPPORTED_FUNCTION = 274,
  MCIERR_FILE_NOT_FOUND = 275,
  MCIERR_DEVICE_NOT_READY = 276,
  MCIERR_EXTENSION_NOT_FOUND = 281,
  MCIERR_OUTOFRANGE = 282,
  MCIERR_DUPLICATE_ALIAS = 289,
  MCIERR_MISSING_DEVICE_NAME = 292,
  MCIERR_BAD_TIME_FORMAT = 293,
  MCIERR_NO_CLOSING_QUOTE = 294,
  MCIERR_DUPLICATE_FLAGS = 295,
  MCIERR_INVALID_FILE = 296,
  MCIERR_EXTRA_CHARACTERS = 305,
};

// Runs one command text. On success the reply (possibly empty) is copied into
// `reply` when a buffer is given; a reply that does not fit gives
// MCIERR_PARAM_OVERFLOW. On failure the buffer is left exactly as it was.
// `reply` may be null (then `replySize` is ignored).
uint32_t mciSendString(const char* command, char* reply, unsigned replySize);

// Copies the text for `code` into `text` (cut to fit, always zero-ended).
// False for an unknown code or an unusable buffer; the buffer is then untouched.
bool mciGetErrorString(uint32_t code, char* text, unsigned textSize);

// 1 when a sound output can be opened, 0 when none can (no sound card, no
// sound server). The output is opened once and kept for the process.
unsigned waveOutGetNumDevs();

// Flags of playSound, with the Windows values.
constexpr uint32_t SND_SYNC = 0x0;
constexpr uint32_t SND_ASYNC = 0x1;
constexpr uint32_t SND_NODEFAULT = 0x2;
constexpr uint32_t SND_LOOP = 0x8;

// Plays a sound file (WAV, or anything SDL2_mixer decodes); a new call stops
// the sound before it. SND_LOOP repeats it without a gap until stopped and
// needs SND_ASYNC; without SND_ASYNC the call returns when the sound is over.
// A null `sound` stops the current sound. False when nothing could be
// played (no output, a missing or undecodable file); there is no default
// sound to fall back on.
bool playSound(const char* sound, uint32_t flags);

}  // namespace platform
