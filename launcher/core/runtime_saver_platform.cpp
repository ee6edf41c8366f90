#include "launcher/core/runtime_saver_platform.h"

#include "launcher/core/modes.h"

namespace {

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

}  // namespace

bool RuntimeSaverPlatform::hasDisplay() {
  return platform::hasDisplay() || platform::waylandDisplayReachable();
}

void RuntimeSaverPlatform::createHostWindow(const std::string& caption) {
  window_.create(caption);
}

std::string RuntimeSaverPlatform::programFolder() { return platform::programFolder(); }

int RuntimeSaverPlatform::showCursor(bool show) { return platform::showCursor(show); }

std::unique_ptr<HostTimer> RuntimeSaverPlatform::makeTimer(unsigned intervalMs, bool enabled,
                                                           std::function<void()> onTick) {
  return std::make_unique<RuntimeTimer>(intervalMs, enabled, std::move(onTick));
}

void RuntimeSaverPlatform::endLauncher() { platform::endLauncher(); }

void loadSaverHost() {
  // Lives to the end of the process, which ends inside its unload handling.
  static Kelvara_S host(launcherSaverPlatform(), kelvaraBgmMusic());
  host.load();
}
