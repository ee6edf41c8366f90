// The per-user lock a standalone renderer holds while it runs. A renderer
// gives way to another saver that is already up; on X11 it looks for that
// saver's window, but on Wayland no client sees another's windows, so every
// standalone renderer, X11 or Wayland, takes this lock, and a Wayland one
// that finds it held ends at once (on X11 a second copy still opens its own
// window). Display mode takes no lock: there one renderer per monitor runs at
// the same time.
#pragma once

#include <string>

// The lock file in the user's runtime folder, or empty when there is none
// (unset, empty or relative): then there is no private place for the lock
// and the renderer runs without one.
std::string runLockPath(const char* xdgRuntimeDir);

class RunLock {
 public:
  RunLock() = default;
  ~RunLock();
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;

  enum class Result { Taken, HeldByAnother, NoLock };
  // Takes the lock at `path` without waiting. NoLock when the path is empty
  // or the file cannot be opened as our own plain file: the run goes on
  // unguarded rather than not at all. The lock goes with the process.
  Result take(const std::string& path);

 private:
  int fd_ = -1;
};
