#include "idle/command_line.h"

#include "platform/names/program_names.h"

namespace idle {

std::optional<std::uint64_t> parseDuration(const std::string& text, std::string& error) {
  if (text.empty()) {
    error = "the delay is empty";
    return std::nullopt;
  }
  std::size_t digits = 0;
  std::uint64_t number = 0;
  bool tooLarge = false;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
    // Counted in a bound far below overflow: once past a day in seconds the
    // value is refused anyway.
    if (number <= kLongestDelayMs) number = number * 10 + static_cast<unsigned>(text[digits] - '0');
    if (number > kLongestDelayMs) tooLarge = true;
    ++digits;
  }
  const std::string unit = text.substr(digits);
  if (digits == 0 || (unit != "" && unit != "s" && unit != "m")) {
    error = "'" + text + "' is no delay: give a whole number of seconds or minutes, as 90s or 10m";
    return std::nullopt;
  }
  const std::uint64_t unitMs = unit == "s" ? 1000 : 60 * 1000;
  if (tooLarge || number > kLongestDelayMs / unitMs) {
    error = "the delay '" + text + "' is longer than a day";
    return std::nullopt;
  }
  if (number == 0) {
    error = "the delay must be at least one second";
    return std::nullopt;
  }
  return number * unitMs;
}

namespace {

// "--name=value" or "--name value": the value, and how many arguments it took.
bool takeValue(const std::vector<std::string>& arguments, std::size_t& i, const std::string& name,
               std::string& value, bool& matched, std::string& error) {
  const std::string& argument = arguments[i];
  matched = false;
  if (argument == name) {
    matched = true;
    if (i + 1 >= arguments.size()) {
      error = name + " needs a value";
      return false;
    }
    value = arguments[++i];
    return true;
  }
  if (argument.compare(0, name.size() + 1, name + "=") == 0) {
    matched = true;
    value = argument.substr(name.size() + 1);
    return true;
  }
  return true;
}

}  // namespace

std::optional<Options> parseCommandLine(const std::vector<std::string>& arguments,
                                        std::string& error) {
  Options options;
  bool install = false, remove = false, help = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    std::string value;
    bool matched = false;
    if (!takeValue(arguments, i, "--after", value, matched, error)) return std::nullopt;
    if (matched) {
      const std::optional<std::uint64_t> delay = parseDuration(value, error);
      if (!delay) return std::nullopt;
      options.delayMs = *delay;
      options.delayGiven = true;
      continue;
    }
    if (!takeValue(arguments, i, "--saver", value, matched, error)) return std::nullopt;
    if (matched) {
      if (value.empty()) {
        error = "--saver needs a path";
        return std::nullopt;
      }
      options.saver = value;
      continue;
    }
    if (argument == "--install") {
      install = true;
    } else if (argument == "--remove") {
      remove = true;
    } else if (argument == "--help" || argument == "-h") {
      help = true;
    } else if (!argument.empty() && argument[0] == '-') {
      error = "unknown option '" + argument + "'";
      return std::nullopt;
    } else {
      error = "unexpected argument '" + argument + "'";
      return std::nullopt;
    }
  }
  if (install && remove) {
    error = "--install and --remove cannot be given together";
    return std::nullopt;
  }
  if (help) {
    options.action = Action::Help;
  } else if (install) {
    options.action = Action::Install;
  } else if (remove) {
    options.action = Action::Remove;
  }
  return options;
}

std::string usageText() {
  return "Usage: miravel-idle [--after DURATION] [--saver PATH] [--install | --remove]\n"
         "Starts the Miravel screen saver when the session has been idle for DURATION.\n"
         "\n"
         "  --after DURATION  idle time before the saver starts: 90s, 10m, or a number\n"
         "                    of minutes (default 10m)\n"
         "  --saver PATH      the saver to run as 'PATH /s' (default: Miravel.scr beside\n"
         "                    this program, else /usr/libexec/xscreensaver/Miravel.scr)\n"
         "  --install         start miravel-idle, with these options, at every login\n"
         "  --remove          no longer start it at login\n"
         "  --help            this text\n";
}

std::string installedSaver() { return std::string(kInstalledFolder) + "/" + names::kLauncherFile; }

std::string chooseSaver(const std::string& given, const std::string& ownFolder,
                        bool (*isExecutable)(const std::string& path)) {
  if (!given.empty()) return given;
  if (!ownFolder.empty()) {
    std::string beside = ownFolder;
    if (beside.back() != '/') beside += '/';
    beside += names::kLauncherFile;
    if (isExecutable(beside)) return beside;
  }
  const std::string installed = installedSaver();
  if (isExecutable(installed)) return installed;
  return {};
}

std::string sessionBusAddress(const char* addressVariable, const char* runtimeDir,
                              bool (*isSocket)(const std::string& path)) {
  if (addressVariable && addressVariable[0]) return addressVariable;
  if (!runtimeDir || runtimeDir[0] != '/') return {};
  std::string socket = runtimeDir;
  if (socket.back() != '/') socket += '/';
  socket += "bus";
  if (!isSocket(socket)) return {};
  // D-Bus addresses escape every byte outside a small safe set as %XX.
  std::string escaped;
  static const char kHex[] = "0123456789abcdef";
  for (const unsigned char c : socket) {
    const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '_' || c == '/' || c == '\\' || c == '.' || c == '*';
    if (safe) {
      escaped += static_cast<char>(c);
    } else {
      escaped += '%';
      escaped += kHex[c >> 4];
      escaped += kHex[c & 15];
    }
  }
  return "unix:path=" + escaped;
}

std::string lockPath(const char* runtimeDir, unsigned uid) {
  if (runtimeDir && runtimeDir[0] == '/') {
    std::string path = runtimeDir;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (path != "/") path += '/';
    return path + "miravel-idle.lock";
  }
  return "/tmp/miravel-idle-" + std::to_string(uid) + ".lock";
}

}  // namespace idle
