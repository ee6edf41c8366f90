// The INI reader and writer: a settings file as found on disk (with or
// without a byte-order mark), then a sequence of reads and writes on it.
// Beyond not crashing: what a write accepted reads back as the profile
// functions give it, a write repeated changes nothing (files never grow by
// themselves), and a read never returns more than the 255 bytes a caller
// gets.
#include "platform/ini/ini.h"

#include "fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\x1A'; }

// A value as a read gives it back: blanks around it dropped, one pair of
// matching quotes removed, up to a zero byte, at most 255 bytes.
std::string asRead(std::string value) {
  value = value.substr(0, value.find('\0'));
  size_t begin = 0, end = value.size();
  while (begin < end && isBlank(value[begin])) ++begin;
  while (end > begin && isBlank(value[end - 1])) --end;
  value = value.substr(begin, end - begin);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  if (value.size() > platform::kIniValueLimit) value.resize(platform::kIniValueLimit);
  return value;
}

// Names are mostly taken from a few, so that reads and writes meet; the
// rest are whatever the input holds.
std::string name(FuzzedDataProvider& in) {
  static const char* const kNames[] = {"Section", "section", "BGM\x8B\xE6\x95\xAA", "bgm\x8B\xE6\x95\xAA",
                                       "BGM\xD8\xCB\xDF\xB0\xC4", " key ", "k", "\x83\x41", "\x83\x61"};
  if (in.ConsumeBool()) return kNames[in.ConsumeIntegralInRange<size_t>(0, std::size(kNames) - 1)];
  return in.ConsumeRandomLengthString(24);
}

const char* const kMarks[] = {"", "\xEF\xBB\xBF", "\xFF\xFE"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  std::string file = kMarks[in.ConsumeIntegralInRange(0, 2)] + in.ConsumeRandomLengthString(4096);
  for (int step = 0; step < 16 && in.remaining_bytes() > 0; ++step) {
    const std::string section = name(in), key = name(in);
    switch (in.ConsumeIntegralInRange(0, 2)) {
      case 0: {
        const std::string value = platform::iniLookup(file, section, key);
        FUZZ_CHECK(value.size() <= platform::kIniValueLimit);
        FUZZ_CHECK(value.find('\0') == std::string::npos);
        break;
      }
      case 1: {
        const std::string value = in.ConsumeRandomLengthString(300);
        std::string written, again;
        if (!platform::iniStore(file, section, key, value, written)) break;
        FUZZ_CHECK(platform::iniLookup(written, section, key) == asRead(value));
        FUZZ_CHECK(platform::iniStore(written, section, key, value, again));
        FUZZ_CHECK(again == written);
        file = written;
        break;
      }
      case 2: {
        // One save of several keys: the last one written reads back (an
        // earlier one may be the same key in other letter case).
        const std::string other = name(in), first = in.ConsumeRandomLengthString(64),
                          last = in.ConsumeRandomLengthString(64);
        std::string written;
        if (!platform::iniStoreAll(file, section, {{other, first}, {key, last}}, written)) break;
        FUZZ_CHECK(platform::iniLookup(written, section, key) == asRead(last));
        file = written;
        break;
      }
    }
  }
  return 0;
}
