#include "launcher/core/command_line.h"

#include "platform/runtime/conversions.h"

#include <vector>

namespace {

// Offsets at which the characters of a UTF-8 text begin. A byte that does
// not start a valid sequence counts as one character of its own.
std::vector<size_t> characterStarts(const std::string& text) {
  std::vector<size_t> starts;
  size_t i = 0;
  while (i < text.size()) {
    starts.push_back(i);
    unsigned char lead = text[i];
    size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3
                                    : (lead >> 3) == 0x1E ? 4 : 1;
    if (i + length > text.size()) length = 1;
    for (size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
        length = 1;
        break;
      }
    }
    i += length;
  }
  return starts;
}

}  // namespace

std::string modeLetterOf(const std::string& commandLine) {
  std::vector<size_t> starts = characterStarts(commandLine);
  if (starts.size() < 2) return {};
  size_t end = starts.size() > 2 ? starts[2] : commandLine.size();
  std::string letter = commandLine.substr(starts[1], end - starts[1]);
  if (letter.size() == 1 && letter[0] >= 'a' && letter[0] <= 'z') letter[0] -= 'a' - 'A';
  return letter;
}

int32_t hostWindowNumberOf(const std::string& commandLine) {
  std::vector<size_t> starts = characterStarts(commandLine);
  if (starts.size() < 4) return 0;
  int32_t number = 0;
  platform::toInt32Rounded(platform::leadingNumber(commandLine.substr(starts[3])), number);
  return number;
}
