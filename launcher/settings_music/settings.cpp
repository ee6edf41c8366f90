#include "launcher/settings_music/settings.h"

#include "platform/ini/ini.h"
#include "platform/runtime/conversions.h"
#include "platform/runtime/runtime.h"

#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int16_t BGMKind = 0;
int16_t BGMRepeat = 0;
std::string BGMFile;

namespace {

// A stored number: the largest whole number not above the text's value, or 0
// when the text is empty, not a number, or out of the 16-bit range.
int16_t storedNumber(const std::string& text) {
  double value = 0;
  if (!platform::parseNumber(text, value)) return 0;
  double whole = std::floor(value);
  if (whole < INT16_MIN || whole > INT16_MAX) return 0;
  return static_cast<int16_t>(whole);
}

}  // namespace

std::string SettingsPath() { return platform::programFolder() + "/Miravel.ini"; }

bool FileExists(const std::string& path) {
  std::string tested = path;
  if (!tested.empty() && tested.back() == '/') tested.pop_back();
  if (tested.empty()) return false;
  // Non-blocking, so that a named pipe cannot hang the launcher.
  int fd = open(tested.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
  close(fd);
  return ok;
}

void LoadSettingsFrom(const std::string& path) {
  BGMKind = storedNumber(platform::ReadIni(kSettingsSection, kKeyBGMKind, path));
  BGMRepeat = storedNumber(platform::ReadIni(kSettingsSection, kKeyBGMRepeat, path));
  BGMFile = platform::ReadIni(kSettingsSection, kKeyBGMFile, path);
  if (!BGMFile.empty() && !FileExists(BGMFile)) BGMFile.clear();
  if (BGMFile.empty() && BGMKind == 2) BGMKind = 0;
}

void LoadSettings() { LoadSettingsFrom(SettingsPath()); }

int16_t TrackFieldValue(const std::string& trackText) {
  double value = 0;
  int16_t track = 0;
  if (!platform::parseNumber(trackText, value) || !platform::toInt16Rounded(value, track)) return 0;
  return track;
}

void SaveSettingsTo(const std::string& path, const std::string& trackText) {
  platform::WriteIni(kSettingsSection, kKeyBGMKind, platform::numberText(BGMKind), path);
  BGMRepeat = TrackFieldValue(trackText);
  platform::WriteIni(kSettingsSection, kKeyBGMRepeat, platform::numberText(BGMRepeat), path);
  // The file cannot hold a line break in a value. Keeping the path saved
  // before would make the run play another file than the one just chosen;
  // an empty path plays nothing and says so in the dialog next time.
  const bool storable = BGMFile.find_first_of("\r\n") == std::string::npos;
  platform::WriteIni(kSettingsSection, kKeyBGMFile, storable ? BGMFile : std::string(), path);
}

void SaveSettings(const std::string& trackText) { SaveSettingsTo(SettingsPath(), trackText); }
