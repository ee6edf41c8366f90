// The saver host on Windows: the runtime's hidden window, timers, pointer
// and process end, the renderer started with CreateProcess, and the
// renderer's window looked for among the top-level windows of its process.
#include <windows.h>

#include "launcher/core/modes.h"
#include "launcher/core/saver_host.h"
#include "platform/process/win32_program_start.h"
#include "platform/runtime/runtime.h"

namespace {

// How long the start of the renderer may take to bring up its window.
constexpr double kRendererStartSeconds = 5;

class RuntimeTimer : public HostTimer {
 public:
  RuntimeTimer(unsigned intervalMs, bool enabled, std::function<void()> onTick)
      : timer_(intervalMs, enabled, std::move(onTick)) {}
  unsigned interval() const override { return timer_.interval(); }
  void setEnabled(bool enabled) override { timer_.setEnabled(enabled); }
  bool enabled() const override { return timer_.enabled(); }

 private:
  platform::Timer timer_;
};

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
  const wchar_t kTitle[] = L"KelvaraVC";
  if (length == static_cast<int>(sizeof kTitle / sizeof kTitle[0]) - 1 &&
      lstrcmpW(title, kTitle) == 0) {
    search->found = true;
    return FALSE;
  }
  return TRUE;
}

class WindowsSaverPlatform : public SaverPlatform {
 public:
  bool hasDisplay() override { return platform::hasDisplay(); }

  void createHostWindow(const std::string& caption) override { window_.create(caption); }

  std::string programFolder() override { return platform::programFolder(); }

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

  int showCursor(bool show) override { return platform::showCursor(show); }

  std::unique_ptr<HostTimer> makeTimer(unsigned intervalMs, bool enabled,
                                       std::function<void()> onTick) override {
    return std::make_unique<RuntimeTimer>(intervalMs, enabled, std::move(onTick));
  }

  void endLauncher() override { platform::endLauncher(); }

 private:
  static bool windowOfProcess(unsigned long processId) {
    WindowSearch search{processId, false};
    EnumWindows(findRendererWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  platform::HiddenWindow window_;
  unsigned long processId_ = 0;
  void* process_ = nullptr;
};

}  // namespace

SaverPlatform& launcherSaverPlatform() {
  static WindowsSaverPlatform platform;
  return platform;
}

void loadSaverHost() {
  // Lives to the end of the process, which ends inside its unload handling.
  static Kelvara_S host(launcherSaverPlatform(), kelvaraBgmMusic());
  host.load();
}
