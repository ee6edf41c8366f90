// The code-page conversions of settings files with a byte-order mark (UTF-8,
// UTF-16LE and code page 932, each way), and the rules of what the Windows
// conversions may be asked at a code page. Beyond not crashing: whatever
// comes in, what goes out is well formed in its encoding (a character that
// cannot be converted becomes "?", never half a character), and a second
// round through code page 932 changes nothing more.
#include "platform/ini/ini_internal.h"
#include "platform/text/code_page_rules.h"

#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

bool wellFormedUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = text[i];
    size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

bool isLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool isTrail(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// Every lead byte of code page 932 has its second byte.
bool wellFormedCp932(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (!isLead(static_cast<unsigned char>(text[i]))) continue;
    if (i + 1 >= text.size() || !isTrail(static_cast<unsigned char>(text[i + 1]))) return false;
    ++i;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const char* const kEncodings[] = {"UTF-8", "UTF-16LE", "CP932"};
  const char* from = kEncodings[data[0] % 3];
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  const std::string utf8 = from == kEncodings[0] ? text : platform::convertText(from, "UTF-8", text);
  const std::string utf16 = from == kEncodings[1] ? text : platform::convertText(from, "UTF-16LE", text);
  const std::string cp932 = from == kEncodings[2] ? text : platform::convertText(from, "CP932", text);
  if (from != kEncodings[0]) FUZZ_CHECK(wellFormedUtf8(utf8));
  if (from != kEncodings[1]) FUZZ_CHECK(utf16.size() % 2 == 0);
  if (from != kEncodings[2]) FUZZ_CHECK(wellFormedCp932(cp932));

  // Through code page 932 and back: once is enough to settle.
  const std::string wide = platform::convertText("CP932", "UTF-16LE", cp932);
  const std::string back = platform::convertText("UTF-16LE", "CP932", wide);
  FUZZ_CHECK(platform::convertText("CP932", "UTF-16LE", back) == wide);

  // The Windows rules: any number may come from GetACP().
  if (size >= 5) {
    unsigned codePage = 0;
    for (int i = 1; i <= 4; ++i) codePage = codePage << 8 | data[i];
    const platform::WideToBytesCall call = platform::strictWideToBytes(codePage);
    // A code page that takes no flag gets none, and then is checked another way.
    if (platform::codePageTakesNoFlags(codePage)) {
      FUZZ_CHECK(call.flags == 0 && platform::strictBytesToWideFlags(codePage) == 0);
    }
    FUZZ_CHECK(call.flags != 0 || call.askUsedDefault || call.roundTrip);
  }
  return 0;
}
