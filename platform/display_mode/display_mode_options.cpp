#include "platform/display_mode/display_mode_options.h"

#include <cstdint>

namespace display_mode {
namespace {

// The option's flag without its one or two dashes and without a "=value"
// tail (which goes to `inlineValue`); empty when `arg` is no option.
std::string flagOf(const std::string& arg, std::string& inlineValue, bool& hasInline) {
  hasInline = false;
  size_t start = 0;
  if (arg.compare(0, 2, "--") == 0)
    start = 2;
  else if (arg.compare(0, 1, "-") == 0)
    start = 1;
  else
    return {};
  std::string flag = arg.substr(start);
  size_t equals = flag.find('=');
  if (equals != std::string::npos) {
    inlineValue = flag.substr(equals + 1);
    hasInline = true;
    flag.erase(equals);
  }
  return flag;
}

bool parseDelay(const std::string& text, long& out) {
  if (text.empty() || text.size() > 9) return false;
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value > kMaxDelayMicros) return false;
  out = value;
  return true;
}

}  // namespace

const std::vector<OptionSpec>& optionTable() {
  static const std::vector<OptionSpec> table = {
      {"root", false},
      {"window-id", true},
      {"delay", true},
  };
  return table;
}

bool parseWindowNumber(const std::string& text, unsigned long& out) {
  if (text.empty()) return false;
  bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  size_t i = hex ? 2 : 0;
  std::uint64_t value = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return false;
    value = value * (hex ? 16 : 10) + static_cast<unsigned>(digit);
    if (value > 0xFFFFFFFFull) return false;
  }
  if (value == 0) return false;
  out = static_cast<unsigned long>(value);
  return true;
}

Options parseOptions(const std::vector<std::string>& args) {
  Options options;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string inlineValue;
    bool hasInline = false;
    const std::string flag = flagOf(args[i], inlineValue, hasInline);
    const OptionSpec* known = nullptr;
    for (const OptionSpec& candidate : optionTable())
      if (flag == candidate.flag) known = &candidate;
    if (!known) continue;
    const std::string name = known->flag;
    // Either flag means display mode, also when the window id is missing.
    if (name == "window-id" || (name == "root" && !hasInline)) options.displayMode = true;

    std::string value;
    if (known->takesValue) {
      if (hasInline) {
        value = inlineValue;
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        // A trailing option without its value.
        if (name == "window-id") options.badWindowId = true;
        continue;
      }
    } else if (hasInline) {
      continue;  // "--root=..." is not the flag
    }

    if (name == "window-id") {
      unsigned long id = 0;
      if (parseWindowNumber(value, id)) {
        options.hasWindowId = true;
        options.windowId = id;
      } else {
        options.badWindowId = true;
      }
    } else if (name == "delay") {
      parseDelay(value, options.delayMicros);
    }
  }
  return options;
}

unsigned long targetWindow(const Options& options, const char* xscreensaverWindow,
                           unsigned long rootWindow) {
  if (options.hasWindowId) return options.windowId;
  unsigned long id = 0;
  if (xscreensaverWindow && parseWindowNumber(xscreensaverWindow, id)) return id;
  return rootWindow;
}

LauncherLink launcherLink(const char* value, long parentPid) {
  if (!value || !*value) return LauncherLink::NoLauncher;
  long pid = 0;
  for (const char* c = value; *c; ++c) {
    if (*c < '0' || *c > '9' || c - value >= 10) return LauncherLink::NoLauncher;
    pid = pid * 10 + (*c - '0');
  }
  if (pid <= 0) return LauncherLink::NoLauncher;
  return pid == parentPid ? LauncherLink::Alive : LauncherLink::Gone;
}

std::vector<std::string> splitWords(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  for (char c : line) {
    if (c == ' ' || c == '\t') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

}  // namespace display_mode
