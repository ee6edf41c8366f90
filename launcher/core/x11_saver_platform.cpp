// The saver host on the real launcher: the runtime's hidden window, timers,
// pointer and process end, the renderer started with posix_spawn, and the
// renderer's window looked for among the top-level X windows.
#include "launcher/core/modes.h"
#include "launcher/core/saver_host.h"
#include "platform/process/program_start.h"
#include "platform/runtime/fltk_runtime.h"
#include "platform/x11/x11_util.h"

namespace {

// How long the start of the renderer may take to bring up its window. It
// normally takes a fraction of a second; a renderer that is still not there
// after this is taken as failed, and the first watch ends the run.
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

class LauncherSaverPlatform : public SaverPlatform {
 public:
  bool hasDisplay() override { return platform::display() != nullptr; }

  void createHostWindow(const std::string& caption) override { window_.create(caption); }

  std::string programFolder() override { return platform::programFolder(); }

  bool startRenderer(const std::string& path) override {
    const platform::ProgramStart start = platform::startProgram(
        path,
        std::function<bool(pid_t)>([this](pid_t pid) {
          pid_ = pid;
          return rendererWindowExists();
        }),
        kRendererStartSeconds);
    pid_ = start.pid;
    // Failed, ended, or no window of its own in time: the first watch ends
    // the run, so no music is started for it.
    return start.outcome == platform::StartOutcome::Ready;
  }

  bool rendererWindowExists() override {
    Display* display = platform::display();
    return display && pid_ > 0 && !platform::programHasEnded(pid_) &&
           platform::findTopLevelWindowOfProcess(display, kRendererWindowTitle, pid_) != None;
  }

  int showCursor(bool show) override { return platform::showCursor(show); }

  std::unique_ptr<HostTimer> makeTimer(unsigned intervalMs, bool enabled,
                                       std::function<void()> onTick) override {
    return std::make_unique<RuntimeTimer>(intervalMs, enabled, std::move(onTick));
  }

  void endLauncher() override { platform::endLauncher(); }

 private:
  platform::HiddenWindow window_;
  pid_t pid_ = -1;
};

}  // namespace

SaverPlatform& launcherSaverPlatform() {
  static LauncherSaverPlatform platform;
  return platform;
}

void loadSaverHost() {
  // Lives to the end of the process, which ends inside its unload handling.
  static Kelvara_S host(launcherSaverPlatform(), kelvaraBgmMusic());
  host.load();
}
