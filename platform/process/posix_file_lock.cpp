#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/process/file_lock.h"

namespace platform {

FileLock lockFile(const std::string& path, int& fd) {
  fd = -1;
  if (path.empty()) return FileLock::NoLock;
  const int file =
      open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
  if (file < 0) return FileLock::NoLock;
  struct stat info {};
  if (fstat(file, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid()) {
    close(file);
    return FileLock::NoLock;
  }
  int rc;
  do {
    rc = flock(file, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    const bool held = errno == EWOULDBLOCK;
    close(file);
    return held ? FileLock::HeldByAnother : FileLock::NoLock;
  }
  fd = file;
  return FileLock::Taken;
}

bool fileLockHeld(const std::string& path) {
  if (path.empty()) return false;
  const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (file < 0) return false;
  struct stat info {};
  bool held = false;
  if (fstat(file, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid()) {
    // A shared lock conflicts only with an exclusive one, the run lock's kind;
    // it goes again with the descriptor.
    int rc;
    do {
      rc = flock(file, LOCK_SH | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    held = rc != 0 && errno == EWOULDBLOCK;
  }
  close(file);
  return held;
}

std::string saverRunLockPath(const char* xdgRuntimeDir) {
  if (!xdgRuntimeDir || xdgRuntimeDir[0] != '/') return {};
  std::string path(xdgRuntimeDir);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (path != "/") path += '/';
  return path + "miravel-renderer.lock";
}

}  // namespace platform
