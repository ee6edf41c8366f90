#include "launcher/core/display_mode_rules.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

std::string musicLockPath(const char* runtimeDir, const char* displayName, unsigned userId) {
  std::string display = displayName && *displayName ? displayName : ":0";
  // "host:D.S": keep host and display number, drop the screen.
  const size_t colon = display.rfind(':');
  const size_t dot = display.find('.', colon == std::string::npos ? 0 : colon);
  if (colon != std::string::npos && dot != std::string::npos) display.erase(dot);
  for (char& c : display) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == ':' || c == '.' || c == '-';
    if (!plain) c = '_';
  }
  if (runtimeDir && runtimeDir[0] == '/')
    return std::string(runtimeDir) + "/miravel-music-" + display + ".lock";
  return "/tmp/miravel-music-" + std::to_string(userId) + "-" + display + ".lock";
}

int takeFileLock(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}
