// The launcher-wide music settings, filled from Miravel.ini once per process.
#pragma once

#include <cstdint>
#include <string>

// 0 no music, 1 audio CD, 2 MP3 or WAV file; any other value plays nothing.
extern int16_t BGMKind;
// The CD track to repeat; 0 plays the whole disc.
extern int16_t BGMRepeat;
// Full path of the MP3 or WAV file, as stored (bytes kept as they are).
extern std::string BGMFile;

// The section and key names of Miravel.ini, as the code-page-932 bytes the
// launcher has always written: "Section", "BGM区分", "BGMﾘﾋﾟｰﾄ", "BGMﾌｧｲﾙ".
inline constexpr char kSettingsSection[] = "\x53\x65\x63\x74\x69\x6F\x6E";
inline constexpr char kKeyBGMKind[] = "\x42\x47\x4D\x8B\xE6\x95\xAA";
inline constexpr char kKeyBGMRepeat[] = "\x42\x47\x4D\xD8\xCB\xDF\xB0\xC4";
inline constexpr char kKeyBGMFile[] = "\x42\x47\x4D\xCC\xA7\xB2\xD9";

// Where the settings live. Beside the launcher ("<folder>/Miravel.ini") when
// the user may write the launcher's folder, as in a portable folder;
// otherwise (an installed launcher) in the user's own folder: on Linux
// "$XDG_CONFIG_HOME/miravel/Miravel.ini" or "~/.config/miravel/Miravel.ini",
// on Windows "%APPDATA%\Miravel\Miravel.ini" (the roaming application-data
// folder). While that file does not exist yet, the file beside the launcher
// (if any) is read as the defaults.
struct SettingsPlaceFacts {
  std::string launcherFolder;  // empty when the launcher's folder is unknown
  bool launcherFolderWritable = false;
  std::string xdgConfigHome;  // the environment's values; empty when unset
  std::string home;
  bool userFileExists = false;  // the per-user file is there
  // Windows: the roaming application-data folder (empty when unknown), and
  // paths joined with "\".
  std::string roamingAppData;
  bool windowsPaths = false;
};
struct SettingsLocation {
  std::string readPath;  // what LoadSettings reads; empty: nothing to read
  std::string savePath;  // what a save replaces; empty: nowhere to save
};
// The per-user file for these facts; empty when no absolute folder is known.
std::string userSettingsPath(const SettingsPlaceFacts& facts);
SettingsLocation chooseSettingsLocation(const SettingsPlaceFacts& facts);
// The facts of this process (program folder, access, environment or the
// profile's folders) and the rule above applied to them. Used by every mode
// that reads or saves. On Windows the paths are UTF-8, so that a profile
// folder the ANSI code page cannot write still works.
SettingsLocation settingsLocation();
// Makes the missing folders of the file `path`, private to the user.
void makeSettingsFolders(const std::string& path);

// The file the settings dialog saves to: settingsLocation().savePath.
std::string SettingsPath();

// True when `path` names something that can be opened for reading and is not
// a folder. One trailing "/" is dropped before the test. Never fails loudly.
bool FileExists(const std::string& path);

// Fills BGMKind, BGMRepeat and BGMFile from settingsLocation().readPath:
// - the two numbers: empty text gives 0; numeric text (blanks around it
//   allowed) gives the largest whole number not above it (1.7 -> 1,
//   -0.5 -> -1); text that is not a number or falls outside -32768..32767
//   gives 0;
// - the file path is kept only when FileExists() holds for it; kind 2 without
//   a file falls back to 0 (kind 1 stays whatever the file key holds).
// A missing or unreadable settings file gives 0, 0 and empty; nothing is
// created.
void LoadSettings();
void LoadSettingsFrom(const std::string& path);

// The track field's rule for BGMRepeat: numeric text becomes its value
// rounded to the nearest whole number (halves to even); anything else, and a
// number outside -32768..32767, becomes 0.
int16_t TrackFieldValue(const std::string& trackText);

// The settings dialog's save: sets BGMRepeat from the track field text, then
// stores BGMKind, BGMRepeat and BGMFile (the path as held, even when empty),
// in that order, in one replacement of SettingsPath(), so the file holds
// either the old three values or the new three. Numbers are written with a
// leading blank when zero or above (" 2", "-1"). A missing folder of the
// file is created (mode 0700). Write failures pass silently.
void SaveSettings(const std::string& trackText);
void SaveSettingsTo(const std::string& path, const std::string& trackText);
