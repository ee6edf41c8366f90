#include "launcher/settings_music/settings.h"

#include "platform/ini/ini.h"
#include "platform/runtime/conversions.h"

#include <cmath>

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

constexpr char kFileName[] = "Miravel.ini";

bool isAbsolute(const std::string& folder) { return !folder.empty() && folder[0] == '/'; }

// "C:\..." or "\\server\share...".
bool isAbsoluteWindows(const std::string& folder) {
  const bool drive = folder.size() >= 3 && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/');
  return drive || folder.rfind("\\\\", 0) == 0;
}

std::string joinPath(const SettingsPlaceFacts& facts, std::string folder, const std::string& name) {
  const char separator = facts.windowsPaths ? '\\' : '/';
  if (folder.empty() || folder.back() != separator) folder += separator;
  return folder + name;
}

}  // namespace

std::string userSettingsPath(const SettingsPlaceFacts& facts) {
  if (facts.windowsPaths) {
    if (!isAbsoluteWindows(facts.roamingAppData)) return {};
    return joinPath(facts, joinPath(facts, facts.roamingAppData, "Miravel"), kFileName);
  }
  // Relative values are to be ignored, as the base-directory rules say.
  if (isAbsolute(facts.xdgConfigHome)) return facts.xdgConfigHome + "/miravel/" + kFileName;
  if (isAbsolute(facts.home)) return facts.home + "/.config/miravel/" + kFileName;
  return {};
}

SettingsLocation chooseSettingsLocation(const SettingsPlaceFacts& facts) {
  SettingsLocation location;
  if (facts.launcherFolder.empty()) return location;
  const std::string beside = joinPath(facts, facts.launcherFolder, kFileName);
  if (facts.launcherFolderWritable) return {beside, beside};
  location.savePath = userSettingsPath(facts);
  location.readPath = !location.savePath.empty() && facts.userFileExists ? location.savePath : beside;
  return location;
}

std::string SettingsPath() { return settingsLocation().savePath; }

void LoadSettingsFrom(const std::string& path) {
  BGMKind = storedNumber(platform::ReadIni(kSettingsSection, kKeyBGMKind, path));
  BGMRepeat = storedNumber(platform::ReadIni(kSettingsSection, kKeyBGMRepeat, path));
  BGMFile = platform::ReadIni(kSettingsSection, kKeyBGMFile, path);
  if (!BGMFile.empty() && !FileExists(BGMFile)) BGMFile.clear();
  if (BGMFile.empty() && BGMKind == 2) BGMKind = 0;
}

void LoadSettings() { LoadSettingsFrom(settingsLocation().readPath); }

int16_t TrackFieldValue(const std::string& trackText) {
  double value = 0;
  int16_t track = 0;
  if (!platform::parseNumber(trackText, value) || !platform::toInt16Rounded(value, track)) return 0;
  return track;
}

void SaveSettingsTo(const std::string& path, const std::string& trackText) {
  BGMRepeat = TrackFieldValue(trackText);
  if (path.empty()) return;
  // The file cannot hold a line break in a value. Keeping the path saved
  // before would make the run play another file than the one just chosen;
  // an empty path plays nothing and says so in the dialog next time.
  const bool storable = BGMFile.find_first_of("\r\n") == std::string::npos;
  makeSettingsFolders(path);
  platform::WriteIniKeys(kSettingsSection,
                         {{kKeyBGMKind, platform::numberText(BGMKind)},
                          {kKeyBGMRepeat, platform::numberText(BGMRepeat)},
                          {kKeyBGMFile, storable ? BGMFile : std::string()}},
                         path);
}

void SaveSettings(const std::string& trackText) { SaveSettingsTo(SettingsPath(), trackText); }
