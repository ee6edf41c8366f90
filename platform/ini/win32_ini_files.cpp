// The settings file on disk, on Windows: reading with a size limit, the
// atomic replace through a temporary file and ReplaceFile (MoveFileEx for a
// new file), and the text conversions of files with a byte-order mark. Paths
// are UTF-8 and opened with the wide functions.
#include "platform/ini/ini.h"
#include "platform/ini/ini_internal.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/text/code_page_rules.h"
#include "platform/text/win32_cp932.h"

namespace platform {
namespace {

// Settings paths are UTF-8 on Windows (see settings.h), so that any folder the
// profile gives can be written, whatever the ANSI code page.
std::wstring wide(const std::string& path) { return wideFromUtf8(path); }

UINT codePageOf(const char* name) {
  if (std::strcmp(name, "UTF-8") == 0) return CP_UTF8;
  return 932;
}

std::wstring decode(const char* from, const std::string& text) {
  if (std::strcmp(from, "UTF-16LE") == 0) {
    std::wstring out(text.size() / 2, L'\0');
    if (!out.empty()) std::memcpy(out.data(), text.data(), out.size() * 2);
    // A cut-off last byte is a character that could not be read.
    if (text.size() % 2) out += L'?';
    return out;
  }
  // Each character that cannot be read becomes one "?"; a real "・" (U+30FB,
  // the default character of code page 932) is a character like any other.
  return wideFromBytesMarkingBad(codePageOf(from), text, L'?');
}

std::string encode(const char* to, const std::wstring& text) {
  if (std::strcmp(to, "UTF-16LE") == 0) {
    std::string out(text.size() * 2, '\0');
    if (!out.empty()) std::memcpy(out.data(), text.data(), out.size());
    return out;
  }
  if (text.empty()) return {};
  const UINT codePage = codePageOf(to);
  const int size = static_cast<int>(text.size());
  // UTF-8 takes neither flags nor a default character; code page 932 writes
  // "?" for what it has no form of, never a look-alike.
  const char question = '?';
  const bool utf8 = codePage == CP_UTF8;
  const char* fallback = utf8 ? nullptr : &question;
  const DWORD flags = utf8 ? 0 : strictWideToBytes(codePage).flags;
  const int length = WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, fallback, nullptr);
  if (length <= 0) return {};
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, flags, text.data(), size, out.data(), length, fallback, nullptr);
  return out;
}

bool isTemporaryName(const std::wstring& name, const std::wstring& prefix) {
  if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) return false;
  for (size_t i = prefix.size(); i < name.size(); ++i) {
    const wchar_t c = name[i];
    if (!((c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9'))) return false;
  }
  return true;
}

// Temporary files that a write interrupted before its replace left behind.
void removeLeftovers(const std::wstring& folder, const std::wstring& prefix) {
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + prefix + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  std::vector<std::wstring> leftovers;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        isTemporaryName(found.cFileName, prefix))
      leftovers.push_back(folder + found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  for (const std::wstring& path : leftovers) DeleteFileW(path.c_str());
}

// A new temporary file beside the settings file, opened for writing.
HANDLE createTemporary(const std::wstring& folder, const std::wstring& prefix, std::wstring& path) {
  static const wchar_t kDigits[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
  unsigned long long seed = GetTickCount64() ^ (static_cast<unsigned long long>(GetCurrentProcessId()) << 20);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::wstring name = prefix;
    for (int i = 0; i < 6; ++i) {
      seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
      name += kDigits[(seed >> 33) % 36];
    }
    path = folder + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    if (GetLastError() != ERROR_FILE_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

std::string convertText(const char* from, const char* to, const std::string& text) {
  return encode(to, decode(from, text));
}

// Reads at most kIniFileLimit bytes of a disk file; anything else (a
// folder, a device, a pipe, a larger file) is unreadable.
ReadResult readSettingsFile(const std::string& path, std::string& text) {
  text.clear();
  if (path.empty()) return ReadResult::Missing;
  HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadResult::Missing
                                                                          : ReadResult::Unreadable;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  LARGE_INTEGER size{};
  ReadResult result = ReadResult::Unreadable;
  if (GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) &&
      !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && GetFileSizeEx(file, &size) &&
      static_cast<unsigned long long>(size.QuadPart) <= kIniFileLimit) {
    char buffer[8192];
    DWORD got = 0;
    for (;;) {
      if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) break;
      if (got == 0) {
        result = ReadResult::Read;
        break;
      }
      text.append(buffer, got);
      if (text.size() > kIniFileLimit) break;
    }
  }
  CloseHandle(file);
  if (result != ReadResult::Read) text.clear();
  return result;
}

// Writes `text` to a temporary file beside `real`, then puts it in place of
// `real` in one step.
bool replaceFile(const std::string& real, const std::string& text) {
  const std::wstring target = wide(real);
  const size_t slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L".\\" : target.substr(0, slash + 1);
  const std::wstring base = slash == std::wstring::npos ? target : target.substr(slash + 1);
  const std::wstring prefix = L"." + base + L".";
  removeLeftovers(folder, prefix);

  std::wstring temp;
  HANDLE file = createTemporary(folder, prefix, temp);
  if (file == INVALID_HANDLE_VALUE) return false;
  iniWriteStep("created");
  DWORD wrote = 0;
  bool ok = text.empty() ||
            (WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr) &&
             wrote == text.size());
  if (ok) iniWriteStep("written");
  ok = ok && FlushFileBuffers(file);
  if (ok) iniWriteStep("synced");
  ok = CloseHandle(file) && ok;
  if (ok) iniWriteStep("closed");
  if (ok) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      // The old file's attributes and security stay with the new one.
      ok = ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                        nullptr, nullptr) ||
           MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    } else {
      ok = MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    }
  }
  if (!ok) {
    DeleteFileW(temp.c_str());
    return false;
  }
  iniWriteStep("renamed");
  return true;
}

// A file this user may change: not read-only, not a folder or device.
bool mayWrite(const std::string& real) {
  const DWORD attributes = GetFileAttributesW(wide(real).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;  // nothing there yet
  return !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DEVICE));
}


// A Windows path is written where it stands; there is no path to write to
// without one.
bool writeTarget(const std::string& path, std::string& real) {
  real = path;
  return !path.empty();
}

}  // namespace platform
