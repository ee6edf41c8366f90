// The launcher's display-mode rules as plain code: which file lock decides
// who plays the music on an X display, how often a renderer that keeps
// ending is started again, and what one turn of the launcher's watch does.
#pragma once

#include <string>
#include <vector>

// The lock file of the music of one X display: under `runtimeDir`
// ($XDG_RUNTIME_DIR) when it is an absolute path, else under /tmp with the
// user's id in the name. The display's screen number is dropped (":5.1" and
// ":5.0" share one lock: one X display, one stream of music); characters
// that cannot be in a file name become "_". A missing display name counts as
// ":0".
std::string musicLockPath(const char* runtimeDir, const char* displayName, unsigned userId);

// Takes the exclusive lock on the file `path` (platform::lockFile): the open
// descriptor holding it, or -1 when another holder has it or the file cannot
// be opened as the user's own. The lock lasts until the descriptor is
// closed, which ending the process does.
int takeFileLock(const std::string& path);

// A renderer that ends on its own is started again, but at most once every
// `gapSeconds`: a renderer that fails at once must not become a start storm.
class RestartLimit {
 public:
  explicit RestartLimit(double gapSeconds) : gap_(gapSeconds) {}
  // True when a start at `now` (seconds on any steady clock) is allowed.
  bool mayStart(double now) const { return !started_ || now - lastStart_ >= gap_ || now < lastStart_; }
  void started(double now) {
    started_ = true;
    lastStart_ = now;
  }

 private:
  double gap_;
  bool started_ = false;
  double lastStart_ = 0;
};

// What the display-mode launcher knows on one turn of its watch.
struct WatchFacts {
  bool targetExists = true;     // the window it draws in is still there
  bool dialogShown = false;     // the daemon's unlock dialog is over it
  bool paused = false;          // paused for that dialog since an earlier turn
  bool rendererStarted = false;  // a renderer was started and not yet seen ending
  bool rendererEnded = false;    // ... and it has ended since
  bool mayRestart = false;       // the restart limit allows a start now
  bool wantsMusic = false;       // the settings choose music and this is no preview
  bool playing = false;          // this launcher holds the display's music lock
};

// What it does on that turn, in this order.
struct WatchTurn {
  bool end = false;             // the target is gone: end, music and renderer too
  bool pause = false;           // the dialog came: music off, renderer stopped
  bool resume = false;          // the dialog went: renderer on, music from its start
  bool reportEnded = false;     // one line on stderr about a renderer that ended
  bool startRenderer = false;
  bool tryMusicLock = false;    // take the lock if it is free, and play then
};

// The watch's rules. A target that is gone ends the run before anything
// else: a dialog that vanished with it is no reason to wake the renderer,
// and no renderer is ever started into a window that no longer exists.
// While paused nothing is started and the lock is left alone. A launcher
// that does not play asks for the lock on every turn, so the music goes on
// when the launcher playing it ends.
WatchTurn watchTurn(const WatchFacts& facts);

// What the launcher sees of one top-level window while it looks for the
// daemon's unlock dialog.
struct TopWindowFacts {
  bool isTarget = false;  // the window this launcher's renderer draws in
  bool viewable = false;
  bool overrideRedirect = false;
  std::string className;     // WM_CLASS class
  std::string firstCommand;  // first string of WM_COMMAND
  int width = 0;
  int height = 0;
};

// XScreenSaver keeps its modes running under its unlock dialog and tells
// them nothing. The dialog is a viewable override-redirect window of class
// "XScreenSaver" whose WM_COMMAND is the daemon's own ("xscreensaver"),
// stacked above the window the mode draws in (which names the mode's
// command). The daemon's first blank window looks the same but lies below
// the mode's window; its own 1x1 window is never viewable.
bool isDaemonWindow(const TopWindowFacts& window);
// `topWindows` bottom to top, as the server stacks them. False when the
// target is not among them (a locker's inner window, the root window).
bool unlockDialogShown(const std::vector<TopWindowFacts>& topWindows);
