// Whether a Wayland compositor answers: a plain connect to its socket, with
// no Wayland library in the launcher. Connecting and closing again costs the
// compositor one client that leaves at once.
#include <strings.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/runtime/runtime.h"

namespace platform {

bool waylandDisplayReachable() {
  // The renderer's own override: forced onto X11, it never draws natively.
  const char* forced = std::getenv("MIRAVEL_PLATFORM");
  if (forced && strcasecmp(forced, "x11") == 0)
    return false;
  const std::string path =
      waylandSocketPath(std::getenv("WAYLAND_DISPLAY"), std::getenv("XDG_RUNTIME_DIR"));
  if (path.empty()) return false;
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  int rc;
  do {
    rc = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  } while (rc != 0 && errno == EINTR);
  close(fd);
  return rc == 0;
}

}  // namespace platform
