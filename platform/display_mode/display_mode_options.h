// Display mode: the program draws into a window a screen-saver daemon made
// (or the root window) instead of running on its own. Both programs read the
// same options, from one table:
//   -root / --root                 display mode, target from the environment
//   -window-id N / --window-id N   display mode into window N (a preview)
//   -delay US / --delay US         microseconds from one frame's start to the
//                                  next (renderer; the launcher passes it on)
// One or two leading dashes, the value as the next argument or after "=".
// Anything else on the command line is left to the program's usual rules.
#pragma once

#include <string>
#include <vector>

namespace display_mode {

inline constexpr long kDefaultDelayMicros = 16000;  // about 60 frames a second
inline constexpr long kMaxDelayMicros = 10000000;   // ten seconds a frame

struct OptionSpec {
  const char* flag;          // without dashes
  const char* resource;      // the name the value is known by
  const char* defaultValue;  // as text; empty for none
  bool takesValue;
};

// Every display-mode option, in the order above.
const std::vector<OptionSpec>& optionTable();

struct Options {
  bool displayMode = false;    // -root or -window-id seen
  bool hasWindowId = false;    // a readable -window-id number was given
  unsigned long windowId = 0;  // valid when hasWindowId
  long delayMicros = kDefaultDelayMicros;
};

// Reads the options out of the arguments behind the program name. A value
// that cannot be read (a window id that is not a number, a delay below 0 or
// beyond kMaxDelayMicros) or a missing one leaves that option at its
// default; -window-id still means display mode then. Never fails.
Options parseOptions(const std::vector<std::string>& args);

// A window number as daemons write it: decimal, or hexadecimal after "0x"
// (either case, digits either case). False on anything else, on 0 and on
// values beyond 32 bits (X ids are 29-bit).
bool parseWindowNumber(const std::string& text, unsigned long& out);

// The window to draw into: the -window-id one, else the number in
// `xscreensaverWindow` ($XSCREENSAVER_WINDOW; null or unreadable counts as
// unset), else `rootWindow`.
unsigned long targetWindow(const Options& options, const char* xscreensaverWindow,
                           unsigned long rootWindow);

// The blank-separated words of a command line joined by single blanks (the
// launcher keeps only that form).
std::vector<std::string> splitWords(const std::string& line);

}  // namespace display_mode
