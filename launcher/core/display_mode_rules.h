// The launcher's display-mode rules as plain code: which file lock decides
// who plays the music on an X display, and how often a renderer that keeps
// ending is started again.
#pragma once

#include <string>

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
