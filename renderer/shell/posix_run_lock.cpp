// The run lock over the shared file lock: released by the kernel when the
// process ends, however it ends, so a crashed renderer never blocks the next
// one.
#include <unistd.h>

#include "platform/process/file_lock.h"
#include "renderer/shell/run_lock.h"

std::string runLockPath(const char* xdgRuntimeDir) {
  if (!xdgRuntimeDir || xdgRuntimeDir[0] != '/') return {};
  std::string path(xdgRuntimeDir);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (path != "/") path += '/';
  return path + "miravel-renderer.lock";
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
