// The saver host on the real launcher under X11: the renderer started with
// posix_spawn, and the renderer's window looked for among the top-level X
// windows of its process. A renderer that draws natively on Wayland has no X
// window to find: it says over an inherited pipe that it is up, and the run
// then watches its process instead.
#include <cstdlib>
#include <memory>

#include "launcher/core/runtime_saver_platform.h"
#include "platform/process/file_lock.h"
#include "platform/process/posix_program_start.h"
#include "platform/process/ready_pipe.h"
#include "platform/runtime/fltk_runtime.h"
#include "platform/x11/x11_util.h"

namespace {

class X11SaverPlatform : public RuntimeSaverPlatform {
 public:
  bool startRenderer(const std::string& path) override {
    // Without X no window title shows a saver that is already up; the run
    // lock its renderer holds does. A second run then starts nothing and
    // ends at once, as beside the host window of a run on X.
    if (!platform::display() &&
        platform::fileLockHeld(platform::saverRunLockPath(std::getenv("XDG_RUNTIME_DIR"))))
      return false;
    ready_ = std::make_unique<platform::ReadyPipe>();
    // Without a pipe the renderer is still found by its X window.
    ready_->exportToChildren();
    const platform::ProgramStart start = platform::startProgram(
        path,
        std::function<bool(pid_t)>([this](pid_t pid) {
          pid_ = pid;
          return rendererWindowExists();
        }),
        kRendererStartSeconds);
    ready_->stopExporting();
    pid_ = start.pid;
    // Failed, ended, or not up in time: the first watch ends the run, so no
    // music is started for it.
    return start.outcome == platform::StartOutcome::Ready;
  }

  bool rendererWindowExists() override {
    if (pid_ <= 0 || platform::programHasEnded(pid_)) return false;
    if (ready_ && ready_->poll() == platform::ReadyShell::Wayland) return true;
    Display* display = platform::display();
    return display &&
           platform::findTopLevelWindowOfProcess(display, kRendererWindowTitle, pid_) != None;
  }

 private:
  pid_t pid_ = -1;
  std::unique_ptr<platform::ReadyPipe> ready_;
};

}  // namespace

SaverPlatform& launcherSaverPlatform() {
  static X11SaverPlatform platform;
  return platform;
}
