// The saver host on the real launcher under X11: the renderer started with
// posix_spawn, and the renderer's window looked for among the top-level X
// windows of its process.
#include "launcher/core/runtime_saver_platform.h"
#include "platform/process/program_start.h"
#include "platform/runtime/fltk_runtime.h"
#include "platform/x11/x11_util.h"

namespace {

class X11SaverPlatform : public RuntimeSaverPlatform {
 public:
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

 private:
  pid_t pid_ = -1;
};

}  // namespace

SaverPlatform& launcherSaverPlatform() {
  static X11SaverPlatform platform;
  return platform;
}
