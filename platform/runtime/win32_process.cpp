// Process life of the launcher on Win32: start routine, the message loop
// while a form is loaded, the immediate end, the command line and the
// program folder.
#include "platform/runtime/win32_runtime.h"

#include "platform/text/win32_cp932.h"

#include <objbase.h>

#include <cstdio>
#include <vector>

namespace platform {
namespace {

std::string g_commandLine;

}  // namespace

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

std::wstring wideText(const std::string& utf8) { return wideFromUtf8(utf8); }

const std::string& commandLine() { return g_commandLine; }

std::string folderOfPath(const std::string& path) {
  // "\" or "/", whichever comes last; a drive's root keeps its separator.
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  std::string folder = path.substr(0, slash);
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  if (folder.empty()) return path.substr(0, 1);
  if (folder.size() == 2 && folder[1] == ':') return folder + path[slash];
  return folder;
}

std::string pathInFolder(const std::string& folder, const std::string& name) {
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + name;
  return folder + "\\" + name;
}

std::wstring programPathWide() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

std::string programFolder() {
  // The folder in the ANSI code page, the form the launcher's program and
  // music paths have (they are handed to the ANSI functions; the settings
  // file finds its own folder with the wide ones). A folder that the code
  // page cannot write is unknown rather than a mangled guess.
  const std::wstring wide = programPathWide();
  std::string path;
  if (wide.empty() || !ansiFromWide(wide, path)) return {};
  return folderOfPath(path);
}

bool hasDisplay() { return true; }

// The renderer never draws on Wayland here.
bool waylandDisplayReachable() { return false; }

void runLauncher(int argc, char** argv, void (*startRoutine)()) {
  g_commandLine = joinCommandLine(argc, argv);
  // The shell calls of the settings dialog (the file chooser, the web page
  // handed to the browser) may load shell extensions through COM, which
  // Windows asks the calling thread to have set up, single-threaded, before
  // them. The launcher's one thread lives until the process ends, so it is
  // never taken down again. A failure leaves each call to do it itself.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  if (startRoutine) startRoutine();
  while (loadedFormCount() > 0) serveEvents();
  endLauncher();
}

void endLauncher() {
  std::fflush(nullptr);
  ExitProcess(0);
}

void serveEvents(double seconds) {
  const DWORD wait = seconds < 0 ? INFINITE : static_cast<DWORD>(seconds * 1000);
  MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      unloadAllForms();
      endLauncher();
    }
    HWND active = GetActiveWindow();
    if (active && IsDialogMessageW(active, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace platform
