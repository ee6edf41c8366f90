// Reads and writes Miravel.ini with the launcher's own settings code, built
// for Linux and for Windows, so a test can hand one file between the builds:
//   settings_probe read FILE
//     prints "kind K repeat R file F raw W": the settings as the launcher
//     loads them, and the file key's stored text (F and W in hexadecimal)
//   settings_probe write FILE KIND TRACKTEXT PATH
//     stores them as the settings dialog's save does
#include <cstdio>
#include <cstdlib>
#include <string>

#include "launcher/settings_music/settings.h"
#include "platform/ini/ini.h"

namespace {

std::string hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out.empty() ? "-" : out;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "read" && argc == 3) {
    LoadSettingsFrom(argv[2]);
    std::printf("kind %d repeat %d file %s raw %s\n", BGMKind, BGMRepeat, hex(BGMFile).c_str(),
                hex(platform::ReadIni(kSettingsSection, kKeyBGMFile, argv[2])).c_str());
    return 0;
  }
  if (command == "write" && argc == 6) {
    BGMKind = static_cast<int16_t>(std::atoi(argv[3]));
    BGMFile = argv[5];
    SaveSettingsTo(argv[2], argv[4]);
    return 0;
  }
  std::fprintf(stderr, "usage: see the head of settings_probe.cpp\n");
  return 2;
}
