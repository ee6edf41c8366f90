// The launcher's display-mode rules as plain code: which file lock decides
// who plays the music on an X display, and how often a renderer that keeps
// ending is started again.
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

// Takes an exclusive lock on the file `path` (made when missing) without
// waiting: the open descriptor holding it, or -1 when another holder has it
// or the file cannot be opened. The lock lasts until the descriptor is
// closed, which ending the process does; programs started later do not get
// the descriptor (close-on-exec).
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
