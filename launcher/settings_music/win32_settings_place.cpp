// Where the settings file is, and file tests, on Windows: the file beside
// the launcher, as the profile functions would find it. Paths are in the
// ANSI code page.
#include <windows.h>

#include "launcher/settings_music/settings.h"
#include "platform/runtime/runtime.h"
#include "platform/text/cp932.h"

void makeSettingsFolders(const std::string& path) {
  const std::wstring wide = platform::wideFromAnsi(path);
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
  const std::string folder = platform::programFolder();
  if (folder.empty()) return {};
  const std::string beside = platform::pathInFolder(folder, "Miravel.ini");
  return {beside, beside};
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
