#include "launcher/core/display_mode_host.h"

#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "launcher/core/display_mode_rules.h"
#include "launcher/core/saver_host.h"
#include "launcher/core/saver_music.h"
#include "launcher/settings_music/settings.h"
#include "platform/names/program_names.h"
#include "platform/process/posix_program_start.h"
#include "platform/runtime/fltk_runtime.h"

namespace {

constexpr double kRestartGapSeconds = 5;
// One turn of the watch: the target window, the unlock dialog, the renderer
// and the music lock. Short enough that a vanished target ends the run well
// within a second and the lock is asked for several times a second.
constexpr unsigned kWatchMs = 200;
// Short enough that the launcher still ends within a second of the daemon's
// SIGTERM; a renderer that ignores SIGTERM is killed then.
constexpr double kRendererEndSeconds = 0.4;

double steadySeconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}

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
// the renderer and plays the music of a run. What differs from a run of its
// own: no marker window, a renderer with the display-mode options that is
// watched by its process and started again, a target window whose end is
// the end of the run, music only while this launcher holds the display's
// lock (muted until then), a pause while the daemon asks for the password,
// and an end that takes the renderer along.
class DisplayModeHost : public platform::Form {
 public:
  // `target`: the window the renderer draws in. `dialogOver`: the window
  // under which to look for an unlock dialog; 0 for none. `mayPlay`: false
  // when this launcher must never play (a preview, no music chosen).
  DisplayModeHost(std::vector<std::string> rendererArguments, unsigned long target,
                  unsigned long dialogOver, bool mayPlay)
      : arguments_(std::move(rendererArguments)),
        target_(target),
        dialogOver_(dialogOver),
        mayPlay_(mayPlay),
        restart_(kRestartGapSeconds),
        music_(kelvaraBgmMusic()) {}

 protected:
  void onLoad() override {
    watch_ = std::make_unique<platform::Timer>(kWatchMs, true, [this] { watch(); });
    music_.makeTimers(launcherSaverPlatform());
    // Without a program folder nothing is started, but the target is still
    // watched: the run must end with its window. A renderer that fails here
    // is retried by the watch, since a display mode must not end.
    const std::string folder = launcherSaverPlatform().programFolder();
    if (!folder.empty()) path_ = platform::pathInFolder(folder, names::kRendererFile);
    if (!path_.empty()) startNow();
    // Of the launchers of one display only the holder of the lock plays.
    playing_ = mayPlay_ && takeMusicLock();
    music_.setMuted(!playing_);
    startMusic();
  }

  // The end of the run: the target went, or the session ended.
  void onQueryUnload() override {
    stopMusic();
    endRun();
  }

 private:
  bool rendererRuns() const { return pid_ > 0 && !platform::programHasEnded(pid_); }

  void startNow() {
    restart_.started(steadySeconds());
    platform::ProgramStart start = platform::startProgram(path_, arguments_);
    pid_ = start.outcome == platform::StartOutcome::Failed ? -1 : start.pid;
    if (pid_ < 0 && !reportedStartFailure_) {
      std::fprintf(stderr, "%s: cannot start %s; waiting\n", names::kLauncherFile,
                   path_.c_str());
      reportedStartFailure_ = true;
    }
    if (pid_ > 0) reportedStartFailure_ = false;
  }

  void watch() {
    if (ending_) return;
    WatchFacts facts;
    // The dialog is looked for before the target is: a target that goes
    // between the two looks then reads as gone, never as "no dialog" (which
    // would wake a paused renderer and its music for a window that is gone).
    const bool dialogSeen =
        dialogOver_ != 0 && unlockDialogShown(topWindowFacts(dialogOver_));
    facts.targetExists = windowExists(target_);
    facts.dialogShown = facts.targetExists && dialogSeen;
    facts.paused = paused_;
    facts.rendererStarted = pid_ > 0;
    facts.rendererEnded = pid_ > 0 && platform::programHasEnded(pid_);
    facts.mayRestart = !path_.empty() && restart_.mayStart(steadySeconds());
    facts.wantsMusic = mayPlay_;
    facts.playing = playing_;
    const WatchTurn turn = watchTurn(facts);

    if (turn.end) {
      std::fprintf(stderr, "%s: the window 0x%lx is gone; ending\n", names::kLauncherFile,
                   target_);
      // As a session's end: the music stops, then the run ends.
      platform::unloadAllForms();
      return;
    }
    if (turn.pause) {
      paused_ = true;
      stopMusic();
      platform::signalProgram(pid_, SIGSTOP);
    }
    if (turn.resume) {
      paused_ = false;
      platform::signalProgram(pid_, SIGCONT);
      startMusic();  // the music again, from its start
    }
    if (turn.reportEnded) {
      std::fprintf(stderr, "%s: the renderer ended; it is started again\n",
                   names::kLauncherFile);
      pid_ = -1;
    }
    if (turn.startRenderer) startNow();
    if (turn.tryMusicLock && takeMusicLock()) {
      playing_ = true;
      // Nothing sounded while muted, so there is nothing to stop first.
      music_.setMuted(false);
      startMusic();
    }
  }

  void startMusic() {
    music_.start();
    musicOn_ = true;
  }

  // Stops what the last start played, once.
  void stopMusic() {
    if (!musicOn_) return;
    musicOn_ = false;
    music_.stop();
    // While paused nothing plays, so nothing is watched either.
    if (music_.Timer1()) music_.Timer1()->setEnabled(false);
  }

  void endRun() {
    ending_ = true;
    endRenderer();
    platform::endLauncher();
  }

  void endRenderer() {
    if (!rendererRuns()) return;
    platform::signalProgram(pid_, SIGTERM);
    platform::signalProgram(pid_, SIGCONT);  // a paused renderer must run to act on it
    const double deadline = steadySeconds() + kRendererEndSeconds;
    while (rendererRuns() && steadySeconds() < deadline) sleepMs(10);
    platform::signalProgram(pid_, SIGKILL);
  }

  std::vector<std::string> arguments_;
  unsigned long target_;
  unsigned long dialogOver_;
  bool mayPlay_;
  std::string path_;
  pid_t pid_ = -1;
  bool reportedStartFailure_ = false;
  bool paused_ = false;
  bool playing_ = false;
  bool musicOn_ = false;
  bool ending_ = false;
  RestartLimit restart_;
  RunMusic music_;
  std::unique_ptr<platform::Timer> watch_;
};

[[noreturn]] void refuse(const char* line, int exitCode) {
  std::fprintf(stderr, "%s: %s\n", names::kLauncherFile, line);
  std::fflush(nullptr);
  _exit(exitCode);
}

}  // namespace

bool startDisplayModeIfAsked() {
  const display_mode::Options options =
      display_mode::parseOptions(display_mode::splitWords(platform::commandLine()));
  if (!options.displayMode) return false;
  runDisplayModeHost(options);
  return true;
}

void runDisplayModeHost(const display_mode::Options& options) {
  // Drawing into some other window, or playing music for a pane that is not
  // there, would be worse than not starting.
  if (options.badWindowId) refuse("-window-id needs a window number", 2);
  if (!platform::display()) refuse("cannot open the X display", 0);
  const unsigned long target =
      display_mode::targetWindow(options, std::getenv("XSCREENSAVER_WINDOW"), rootWindow());
  if (!windowExists(target)) refuse("there is no window to draw into; ending", 0);

  // Renderers started from here end with this process, however it ends
  // (see renderer/shell/launcher_link.h).
  setenv(display_mode::kLauncherPidVariable, std::to_string(getpid()).c_str(), 1);
  // A daemon may leave children to the process it turned into this one
  // (xsecurelock does); they are reaped like our own when they end.
  platform::adoptInheritedChildren();

  LoadSettings();
  // A preview never plays.
  const bool mayPlay = !options.hasWindowId && BGMKind != 0;

  // Lives to the end of the process, which ends inside an unload. A preview
  // has no unlock dialog over it; XScreenSaver names its window in the
  // environment.
  unsigned long dialogOver = 0;
  if (!options.hasWindowId) {
    const char* daemonWindow = std::getenv("XSCREENSAVER_WINDOW");
    if (!daemonWindow || !display_mode::parseWindowNumber(daemonWindow, dialogOver))
      dialogOver = 0;
  }
  static DisplayModeHost host(display_mode::splitWords(platform::commandLine()), target,
                              dialogOver, mayPlay);
  host.load();
}
