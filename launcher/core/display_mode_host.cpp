#include "launcher/core/display_mode_host.h"

#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "launcher/core/display_mode_rules.h"
#include "launcher/core/saver_host.h"
#include "launcher/settings_music/settings.h"
#include "platform/process/program_start.h"
#include "platform/runtime/runtime.h"

namespace {

constexpr double kRestartGapSeconds = 5;
constexpr unsigned kRendererWatchMs = 500;
constexpr double kRendererEndSeconds = 2;

double steadySeconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}

// Alive and not yet reaped (the program-start reaper reaps ended children
// at once, so an ended renderer soon stops answering).
bool processRuns(pid_t pid) { return pid > 0 && kill(pid, 0) == 0; }

void sleepMs(long ms) {
  timespec pause{0, ms * 1000000L};
  nanosleep(&pause, nullptr);
}

// True when this process now holds the music lock of its X display. The
// lock lives as long as the process (the descriptor is never closed) and is
// not handed to the renderer (close-on-exec).
bool takeMusicLock() {
  return takeFileLock(musicLockPath(std::getenv("XDG_RUNTIME_DIR"), std::getenv("DISPLAY"),
                                    getuid())) >= 0;
}

// The saver host's platform in display mode. The host's music rules stay as
// they are; what differs is here: no marker window, a renderer with the
// display-mode options that is watched by its process and started again,
// and an end that takes the renderer along.
class DisplayModePlatform : public SaverPlatform {
 public:
  explicit DisplayModePlatform(std::vector<std::string> rendererArguments)
      : arguments_(std::move(rendererArguments)), restart_(kRestartGapSeconds) {}

  bool hasDisplay() override { return launcherSaverPlatform().hasDisplay(); }

  // No "Kelvara_Main": it marks a run of the launcher's own, and would make
  // the settings dialog refuse to open while a daemon shows us.
  void createHostWindow(const std::string&) override {}

  std::string programFolder() override { return launcherSaverPlatform().programFolder(); }

  void startRenderer(const std::string& path) override {
    path_ = path;
    startNow();
    watch_ = std::make_unique<platform::Timer>(kRendererWatchMs, true, [this] { watch(); });
  }

  // The host's own watch never ends the run: this platform watches the
  // renderer process instead.
  bool rendererWindowExists() override { return true; }

  int showCursor(bool) override { return 0; }  // display mode leaves the pointer alone

  std::unique_ptr<HostTimer> makeTimer(unsigned intervalMs, bool enabled,
                                       std::function<void()> onTick) override {
    return launcherSaverPlatform().makeTimer(intervalMs, enabled, std::move(onTick));
  }

  // Reached at the end of the host's unload, after the music has stopped.
  void endLauncher() override {
    watch_.reset();
    endRenderer();
    platform::endLauncher();
  }

 private:
  void startNow() {
    restart_.started(steadySeconds());
    platform::ProgramStart start = platform::startProgram(path_, arguments_);
    pid_ = start.outcome == platform::StartOutcome::Failed ? -1 : start.pid;
    if (pid_ < 0 && !reportedStartFailure_) {
      std::fprintf(stderr, "Miravel.scr: cannot start %s; waiting\n", path_.c_str());
      reportedStartFailure_ = true;
    }
    if (pid_ > 0) reportedStartFailure_ = false;
  }

  void watch() {
    if (pid_ > 0 && !processRuns(pid_)) {
      std::fprintf(stderr, "Miravel.scr: the renderer ended; it is started again\n");
      pid_ = -1;
    }
    if (pid_ < 0 && restart_.mayStart(steadySeconds())) startNow();
  }

  void endRenderer() {
    if (!processRuns(pid_)) return;
    kill(pid_, SIGTERM);
    const double deadline = steadySeconds() + kRendererEndSeconds;
    while (processRuns(pid_) && steadySeconds() < deadline) sleepMs(10);
    if (processRuns(pid_)) kill(pid_, SIGKILL);
  }

  std::vector<std::string> arguments_;
  std::string path_;
  pid_t pid_ = -1;
  bool reportedStartFailure_ = false;
  RestartLimit restart_;
  std::unique_ptr<platform::Timer> watch_;
};

}  // namespace

void runDisplayModeHost(const display_mode::Options& options) {
  if (!platform::display()) {
    std::fprintf(stderr, "Miravel.scr: cannot open the X display\n");
    platform::endLauncher();
  }
  LoadSettings();
  // A preview never plays, and of the launchers of one display only the
  // first to take the lock does.
  if (options.hasWindowId || !takeMusicLock()) BGMKind = 0;

  // Both live to the end of the process, which ends inside the host's unload.
  static DisplayModePlatform displayPlatform(display_mode::splitWords(platform::commandLine()));
  static Kelvara_S host(displayPlatform, kelvaraBgmMusic());
  host.load();
}
