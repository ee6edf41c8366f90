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
  const char* flag;  // without dashes
  bool takesValue;
};

// Every display-mode option, in the order above.
const std::vector<OptionSpec>& optionTable();

struct Options {
  bool displayMode = false;    // -root or -window-id seen
  bool hasWindowId = false;    // a readable -window-id number was given
  unsigned long windowId = 0;  // valid when hasWindowId
  // A -window-id whose value is missing or no window number: the programs
  // refuse to start rather than draw somewhere else.
  bool badWindowId = false;
  long delayMicros = kDefaultDelayMicros;
};

// Reads the options out of the arguments behind the program name. A delay
// that cannot be read (below 0, beyond kMaxDelayMicros, no number) or is
// missing stays at its default. A window id that cannot be read or is
// missing sets badWindowId; -window-id still means display mode then. Never
// fails.
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

// The launcher in display mode names itself to the renderers it starts in
// this environment variable (decimal pid), so that a renderer can tie its
// life to the launcher's.
inline constexpr char kLauncherPidVariable[] = "MIRAVEL_LAUNCHER_PID";

enum class LauncherLink {
  NoLauncher,  // not started by a display-mode launcher (unset, empty or no pid)
  Alive,       // the launcher named is still this process's parent
  Gone,        // it is not: the launcher ended before the renderer could tell
};
// `value` of the variable (null when unset), `parentPid` the parent's pid now.
LauncherLink launcherLink(const char* value, long parentPid);

// The blank-separated words of a command line joined by single blanks (the
// launcher keeps only that form).
std::vector<std::string> splitWords(const std::string& line);

}  // namespace display_mode
