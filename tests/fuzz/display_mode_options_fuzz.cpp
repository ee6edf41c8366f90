// Display mode's options: arguments (split at zero bytes) as a daemon might
// pass them, the window number as text, the launcher's pid variable.
#include "platform/display_mode/display_mode_options.h"

#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> args;
  size_t start = 0;
  for (;;) {
    const size_t zero = text.find('\0', start);
    args.push_back(text.substr(start, zero == std::string::npos ? std::string::npos : zero - start));
    if (zero == std::string::npos) break;
    start = zero + 1;
  }

  const display_mode::Options options = display_mode::parseOptions(args);
  FUZZ_CHECK(options.delayMicros >= 0 && options.delayMicros <= display_mode::kMaxDelayMicros);
  FUZZ_CHECK(!options.hasWindowId || options.windowId != 0);
  FUZZ_CHECK(!options.hasWindowId || options.displayMode);

  for (const std::string& arg : args) {
    unsigned long number = 0;
    if (display_mode::parseWindowNumber(arg, number)) FUZZ_CHECK(number != 0 && number <= 0xFFFFFFFFul);
    display_mode::targetWindow(options, arg.c_str(), 1);
    display_mode::launcherLink(arg.c_str(), static_cast<long>(size));
  }
  for (const std::string& word : display_mode::splitWords(text)) {
    FUZZ_CHECK(!word.empty());
    FUZZ_CHECK(word.find_first_of(" \t") == std::string::npos);
  }
  return 0;
}
