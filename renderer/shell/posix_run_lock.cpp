// The run lock over flock(2): released by the kernel when the process ends,
// however it ends, so a crashed renderer never blocks the next one.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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
  if (path.empty() || fd_ >= 0) return fd_ >= 0 ? Result::Taken : Result::NoLock;
  // No symbolic link is followed and only our own plain file is used: the
  // runtime folder is private, but its path came from the environment.
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
  if (fd < 0) return Result::NoLock;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid()) {
    close(fd);
    return Result::NoLock;
  }
  int rc;
  do {
    rc = flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    const bool held = errno == EWOULDBLOCK;
    close(fd);
    return held ? Result::HeldByAnother : Result::NoLock;
  }
  fd_ = fd;
  return Result::Taken;
}
