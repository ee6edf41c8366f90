// The grammar of the command texts: words separated by blanks, command words
// in any letter case, a file name in double quotes. Parsing needs no device;
// positions stay text here because their meaning depends on the device's time
// format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform::mci {

enum class Verb { Open, Close, Play, Stop, Status, Set };

enum class StatusItem { Mode, CurrentTrack, NumberOfTracks, Position };

enum class TimeFormat { Milliseconds, Msf, Tmsf };

struct Command {
  Verb verb = Verb::Open;
  // The device or alias the command addresses; for open, the element (the
  // device name "cdaudio" or a file path), exactly as written.
  std::string device;
  // open: the device type and alias, as written (empty when not given).
  std::string type;
  std::string alias;
  // play: the positions as written, in the device's time format.
  std::optional<std::string> from;
  std::optional<std::string> to;
  // status: the item asked for, and N of "position track N".
  StatusItem item = StatusItem::Mode;
  std::optional<int> track;
  // set: the new time format.
  TimeFormat timeFormat = TimeFormat::Msf;
};

// Parses one command text. Returns 0 and fills `out`, or an MCIERR_ code.
//
// Only the first word after "open" may be quoted: a quoted text runs to the
// next double quote, which must be followed by a blank or the end. A double
// quote anywhere else is an error, so a file name that itself contains a
// double quote can never turn into further command words.
uint32_t parseCommand(const std::string& text, Command& out);

// Lower-cases ASCII letters only, leaving other bytes (UTF-8, Shift-JIS) alone.
std::string asciiLower(std::string text);

}  // namespace platform::mci
