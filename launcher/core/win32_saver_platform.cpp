// The saver host on Windows: the renderer started with CreateProcess, and
// the renderer's window looked for among the top-level windows of its
// process.
#include <windows.h>

#include "launcher/core/runtime_saver_platform.h"
#include "platform/names/program_names.h"
#include "platform/process/win32_program_start.h"

namespace {

struct WindowSearch {
  DWORD processId;
  bool found;
};

BOOL CALLBACK findRendererWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  wchar_t title[32] = {};
  const int length = GetWindowTextW(window, title, 32);
  if (length == static_cast<int>(sizeof names::kRendererTitleWide / sizeof names::kRendererTitleWide[0]) - 1 &&
      lstrcmpW(title, names::kRendererTitleWide) == 0) {
    search->found = true;
    return FALSE;
  }
  return TRUE;
}

class WindowsSaverPlatform : public RuntimeSaverPlatform {
 public:
  bool startRenderer(const std::string& path) override {
    const platform::WindowsProgram start = platform::startWindowsProgram(
        path,
        [this](unsigned long processId) {
          processId_ = processId;
          return windowOfProcess(processId);
        },
        kRendererStartSeconds);
    processId_ = start.processId;
    process_ = start.process;
    return start.outcome == platform::WindowsStartOutcome::Ready;
  }

  bool rendererWindowExists() override {
    return processId_ != 0 && !platform::windowsProgramHasEnded(process_) &&
           windowOfProcess(processId_);
  }

 private:
  static bool windowOfProcess(unsigned long processId) {
    WindowSearch search{processId, false};
    EnumWindows(findRendererWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  unsigned long processId_ = 0;
  void* process_ = nullptr;
};

}  // namespace

SaverPlatform& launcherSaverPlatform() {
  static WindowsSaverPlatform platform;
  return platform;
}
