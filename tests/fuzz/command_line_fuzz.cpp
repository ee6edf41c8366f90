// The screen-saver command line: the mode letter and the preview's window
// number out of any text a caller may pass.
#include "launcher/core/command_line.h"

#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const std::string letter = modeLetterOf(line);
  // One character of the line (a UTF-8 sequence at most four bytes long), or
  // nothing.
  FUZZ_CHECK(letter.size() <= 4);
  FUZZ_CHECK(letter.empty() || line.size() >= 2);
  FUZZ_CHECK(!(letter.size() == 1 && letter[0] >= 'a' && letter[0] <= 'z'));
  hostWindowNumberOf(line);
  return 0;
}
