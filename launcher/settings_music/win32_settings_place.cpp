// Where the settings file is, and file tests, on Windows: the facts the
// shared rule needs (the launcher's folder, whether this user may write it,
// the roaming application-data folder). The settings paths are UTF-8 and
// opened with the wide functions; music paths are in the ANSI code page, as
// the multimedia functions take them.
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include "launcher/settings_music/settings.h"
#include "platform/runtime/win32_runtime.h"
#include "platform/text/win32_cp932.h"

namespace {

std::wstring launcherFolderWide() {
  const std::wstring path = platform::programPathWide();
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {};
  // A drive's root keeps its separator.
  return path.substr(0, slash == 2 && path[1] == L':' ? 3 : slash);
}

// Whether this user may make files in `folder`: tried, since rights on
// Windows come from access lists, inheritance and privileges alike. The
// trial file is named as an interrupted save's leftover, so the next save
// clears it should the process die between the two calls.
bool folderWritable(const std::wstring& folder) {
  static const wchar_t kDigits[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
  unsigned long long seed = GetTickCount64() ^ (static_cast<unsigned long long>(GetCurrentProcessId()) << 24);
  for (int attempt = 0; attempt < 20; ++attempt) {
    std::wstring name = L".Miravel.ini.";
    for (int i = 0; i < 6; ++i) {
      seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
      name += kDigits[(seed >> 33) % 36];
    }
    const std::wstring path = folder + (folder.back() == L'\\' ? L"" : L"\\") + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE,
                              nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) return false;
  }
  return false;
}

std::wstring roamingAppData() {
  PWSTR folder = nullptr;
  std::wstring result;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DONT_VERIFY, nullptr, &folder)) &&
      folder)
    result = folder;
  CoTaskMemFree(folder);
  return result;
}

}  // namespace

void makeSettingsFolders(const std::string& path) {
  const std::wstring wide = platform::wideFromUtf8(path);
  // Past the drive ("C:\") or the server and share ("\\server\share\").
  size_t from = 3;
  if (wide.rfind(L"\\\\", 0) == 0) {
    from = wide.find(L'\\', 2);
    from = from == std::wstring::npos ? wide.size() : wide.find(L'\\', from + 1);
  }
  for (size_t slash = wide.find_first_of(L"\\/", from); slash != std::wstring::npos;
       slash = wide.find_first_of(L"\\/", slash + 1)) {
    CreateDirectoryW(wide.substr(0, slash).c_str(), nullptr);
  }
}

SettingsLocation settingsLocation() {
  SettingsPlaceFacts facts;
  facts.windowsPaths = true;
  const std::wstring folder = launcherFolderWide();
  if (folder.empty()) return {};
  facts.launcherFolder = platform::utf8FromWide(folder);
  facts.launcherFolderWritable = folderWritable(folder);
  if (!facts.launcherFolderWritable) {
    facts.roamingAppData = platform::utf8FromWide(roamingAppData());
    const std::string userFile = userSettingsPath(facts);
    facts.userFileExists =
        !userFile.empty() &&
        GetFileAttributesW(platform::wideFromUtf8(userFile).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  return chooseSettingsLocation(facts);
}

bool FileExists(const std::string& path) {
  std::string tested = path;
  if (!tested.empty() && (tested.back() == '\\' || tested.back() == '/')) tested.pop_back();
  if (tested.empty()) return false;
  // Opened as the player would open it; a folder or device does not count,
  // and a pipe is never waited for.
  HANDLE file = CreateFileW(platform::wideFromAnsi(tested).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = GetFileType(file) == FILE_TYPE_DISK;
  CloseHandle(file);
  return ok;
}
