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

}  // namespace platform
