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
#include "platform/runtime/fltk_runtime.h"

namespace {

constexpr double kRestartGapSeconds = 5;
constexpr unsigned kRendererWatchMs = 500;
constexpr unsigned kDialogWatchMs = 200;
// Short enough that the launcher still ends within a second of the daemon's
// SIGTERM; a renderer that ignores SIGTERM is killed then.
constexpr double kRendererEndSeconds = 0.4;

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

// The launcher in display mode: a form that keeps the process alive, owns
// the renderer and is the platform of a saver host that keeps the music
// rules as they are. What differs from a run of its own: no marker window, a
// renderer with the display-mode options that is watched by its process and
// started again, a pause while the daemon asks for the password, and an end
// that takes the renderer along.
class DisplayModeHost : public platform::Form, public SaverPlatform {
 public:
  // `dialogOver`: the window under which to look for an unlock dialog; 0
  // for none.
  DisplayModeHost(std::vector<std::string> rendererArguments, unsigned long dialogOver)
      : arguments_(std::move(rendererArguments)),
        dialogOver_(dialogOver),
        restart_(kRestartGapSeconds),
        music_(*this, kelvaraBgmMusic()) {}

  // ---- SaverPlatform, for the music host ----
  bool hasDisplay() override { return launcherSaverPlatform().hasDisplay(); }

  // No "Kelvara_Main": it marks a run of the launcher's own, and would make
  // the settings dialog refuse to open while a daemon shows us.
  void createHostWindow(const std::string&) override {}

  std::string programFolder() override { return launcherSaverPlatform().programFolder(); }

  // Called on every load of the music host: the first starts the renderer,
  // a load after a pause finds it there. Always true: a renderer that fails
  // here is retried by the watch, since a display mode must not end.
  bool startRenderer(const std::string& path) override {
    path_ = path;
    if (!processRuns(pid_)) startNow();
    return true;
  }

  // The music host's own watch never ends the run: the renderer process is
  // watched here instead.
  bool rendererWindowExists() override { return true; }

  int showCursor(bool) override { return 0; }  // display mode leaves the pointer alone

  std::unique_ptr<HostTimer> makeTimer(unsigned intervalMs, bool enabled,
                                       std::function<void()> onTick) override {
    return launcherSaverPlatform().makeTimer(intervalMs, enabled, std::move(onTick));
  }

  // Reached at the end of the music host's unload, after the music stopped:
  // the end of the run, unless it is only a pause.
  void endLauncher() override {
    if (pausing_) return;
    endRun();
  }

 protected:
  void onLoad() override {
    watch_ = std::make_unique<platform::Timer>(kRendererWatchMs, true, [this] { watch(); });
    if (dialogOver_ != 0)
      dialogWatch_ =
          std::make_unique<platform::Timer>(kDialogWatchMs, true, [this] { watchDialog(); });
    music_.load();
  }

  // A session end while paused (the music host is not loaded then).
  void onQueryUnload() override { endRun(); }

 private:
  void startNow() {
    restart_.started(steadySeconds());
    platform::ProgramStart start = platform::startProgram(path_, arguments_);
    pid_ = start.outcome == platform::StartOutcome::Failed ? -1 : start.pid;
    platform::setProgramToEndWithLauncher(pid_);
    if (pid_ < 0 && !reportedStartFailure_) {
      std::fprintf(stderr, "Miravel.scr: cannot start %s; waiting\n", path_.c_str());
      reportedStartFailure_ = true;
    }
    if (pid_ > 0) reportedStartFailure_ = false;
  }

  void watch() {
    if (paused_ || path_.empty()) return;
    if (pid_ > 0 && !processRuns(pid_)) {
      std::fprintf(stderr, "Miravel.scr: the renderer ended; it is started again\n");
      pid_ = -1;
    }
    if (pid_ < 0 && restart_.mayStart(steadySeconds())) startNow();
  }

  void watchDialog() {
    const bool shown = unlockDialogShown(topWindowFacts(dialogOver_));
    if (shown && !paused_) {
      paused_ = true;
      pausing_ = true;
      music_.unload();  // stops the music
      pausing_ = false;
      if (processRuns(pid_)) kill(pid_, SIGSTOP);
    } else if (!shown && paused_) {
      paused_ = false;
      if (processRuns(pid_)) kill(pid_, SIGCONT);
      music_.load();  // the music again, from its start
    }
  }

  void endRun() {
    watch_.reset();
    dialogWatch_.reset();
    endRenderer();
    platform::endLauncher();
  }

  void endRenderer() {
    if (!processRuns(pid_)) return;
    kill(pid_, SIGTERM);
    kill(pid_, SIGCONT);  // a paused renderer must run to act on it
    const double deadline = steadySeconds() + kRendererEndSeconds;
    while (processRuns(pid_) && steadySeconds() < deadline) sleepMs(10);
    if (processRuns(pid_)) kill(pid_, SIGKILL);
  }

  std::vector<std::string> arguments_;
  unsigned long dialogOver_;
  std::string path_;
  pid_t pid_ = -1;
  bool reportedStartFailure_ = false;
  bool paused_ = false;
  bool pausing_ = false;
  RestartLimit restart_;
  Kelvara_S music_;
  std::unique_ptr<platform::Timer> watch_;
  std::unique_ptr<platform::Timer> dialogWatch_;
};

}  // namespace

bool startDisplayModeIfAsked() {
  const display_mode::Options options =
      display_mode::parseOptions(display_mode::splitWords(platform::commandLine()));
  if (!options.displayMode) return false;
  runDisplayModeHost(options);
  return true;
}

void runDisplayModeHost(const display_mode::Options& options) {
  if (!platform::display()) {
    std::fprintf(stderr, "Miravel.scr: cannot open the X display\n");
    platform::endLauncher();
  }
  LoadSettings();
  // A preview never plays, and of the launchers of one display only the
  // first to take the lock does.
  if (options.hasWindowId || !takeMusicLock()) BGMKind = 0;

  // Lives to the end of the process, which ends inside an unload. A preview
  // has no unlock dialog over it; XScreenSaver names its window in the
  // environment.
  unsigned long dialogOver = 0;
  if (!options.hasWindowId) {
    const char* daemonWindow = std::getenv("XSCREENSAVER_WINDOW");
    if (!daemonWindow || !display_mode::parseWindowNumber(daemonWindow, dialogOver))
      dialogOver = 0;
  }
  static DisplayModeHost host(display_mode::splitWords(platform::commandLine()), dialogOver);
  host.load();
}
