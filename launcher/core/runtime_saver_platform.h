// The saver host's services that the form runtime gives alike on every
// platform: the hidden window, the program folder, the pointer, timers and
// the process end. Each platform's saver file adds how the renderer is
// started and how its window is found.
#ifndef MIRAVEL_LAUNCHER_CORE_RUNTIME_SAVER_PLATFORM_H
#define MIRAVEL_LAUNCHER_CORE_RUNTIME_SAVER_PLATFORM_H

#include <functional>
#include <memory>
#include <string>

#include "launcher/core/saver_host.h"
#include "platform/runtime/runtime.h"

// How long the start of the renderer may take to bring up its window. It
// normally takes a fraction of a second; a renderer that is still not there
// after this is taken as failed, and the first watch ends the run.
constexpr double kRendererStartSeconds = 5;

class RuntimeSaverPlatform : public SaverPlatform {
 public:
  bool hasDisplay() override;
  void createHostWindow(const std::string& caption) override;
  std::string programFolder() override;
  int showCursor(bool show) override;
  std::unique_ptr<HostTimer> makeTimer(unsigned intervalMs, bool enabled,
                                       std::function<void()> onTick) override;
  void endLauncher() override;

 private:
  platform::HiddenWindow window_;
};

#endif
