// The run lock over the shared file lock: released by the kernel when the
// process ends, however it ends, so a crashed renderer never blocks the next
// one.
#include <unistd.h>

#include "platform/process/file_lock.h"
#include "renderer/shell/run_lock.h"

std::string runLockPath(const char* xdgRuntimeDir) {
  // Shared with the launcher, which looks at the same lock where it cannot
  // look for a saver's window.
  return platform::saverRunLockPath(xdgRuntimeDir);
}

RunLock::~RunLock() {
  if (fd_ >= 0) close(fd_);
}

RunLock::Result RunLock::take(const std::string& path) {
  if (fd_ >= 0) return Result::Taken;
  switch (platform::lockFile(path, fd_)) {
    case platform::FileLock::Taken:
      return Result::Taken;
    case platform::FileLock::HeldByAnother:
      return Result::HeldByAnother;
    case platform::FileLock::NoLock:
      break;
  }
  return Result::NoLock;
}
