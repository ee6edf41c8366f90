// The idle starter's command line and the choices made from plain facts
// before any display or bus is touched.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace idle {

// The delay when none is given: ten minutes.
inline constexpr std::uint64_t kDefaultDelayMs = 10 * 60 * 1000;
// The longest delay taken: one day. Every idle source can count that far
// (the Wayland protocols carry 32-bit milliseconds), and a longer one is more
// likely a typing slip than a wish.
inline constexpr std::uint64_t kLongestDelayMs = 24ull * 60 * 60 * 1000;

// A DURATION: a whole number, then `s` (seconds) or `m` (minutes); a bare
// number means minutes. Between one second and one day. Fractions, signs,
// blanks, other units and an empty text are refused: nothing is guessed.
// On refusal `error` says why, in words for the user.
std::optional<std::uint64_t> parseDuration(const std::string& text, std::string& error);

enum class Action { Run, Install, Remove, Help };

struct Options {
  Action action = Action::Run;
  std::uint64_t delayMs = kDefaultDelayMs;
  bool delayGiven = false;
  std::string saver;  // empty: the default choice
};

// Parses argv[1..]. `--after DURATION` (or `--after=DURATION`), `--saver PATH`
// (or `--saver=PATH`), `--install`, `--remove`, `--help`/`-h`. A later
// --after or --saver replaces an earlier one. On refusal (unknown option,
// missing or bad value, --install with --remove, a stray argument) returns
// nothing and `error` holds the message; the caller ends with 2.
std::optional<Options> parseCommandLine(const std::vector<std::string>& arguments,
                                        std::string& error);

// The usage text printed by --help and after a refusal.
std::string usageText();

// The saver to run: the one named on the command line, else `Miravel.scr`
// beside this program when it is there, else the installed one when it is
// there. Empty when none is there.
inline constexpr char kInstalledFolder[] = "/usr/libexec/xscreensaver";
std::string installedSaver();
std::string chooseSaver(const std::string& given, const std::string& ownFolder,
                        bool (*isExecutable)(const std::string& path));

// The session bus to use: DBUS_SESSION_BUS_ADDRESS when set (even when it
// turns out unreachable: that is the session's own word), else the bus
// socket in the runtime folder when one is there. Empty when there is none:
// the bus is then not started on demand, since a bus of our own would serve
// inhibits to nobody and outlive us.
std::string sessionBusAddress(const char* addressVariable, const char* runtimeDir,
                              bool (*isSocket)(const std::string& path));

// The per-user lock that keeps a second starter out: in the runtime folder,
// else in /tmp under the user's id.
std::string lockPath(const char* runtimeDir, unsigned uid);

}  // namespace idle
