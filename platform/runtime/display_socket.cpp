// Where a display's socket lies: plain string work for the runtime's probes.
#include "platform/runtime/runtime.h"

namespace platform {

std::string waylandSocketPath(const char* waylandDisplay, const char* xdgRuntimeDir) {
  constexpr size_t kLongest = 107;  // sockaddr_un's path, less its final NUL
  if (!waylandDisplay || !*waylandDisplay) return {};
  std::string path;
  if (waylandDisplay[0] == '/') {
    path = waylandDisplay;
  } else {
    if (!xdgRuntimeDir || xdgRuntimeDir[0] != '/') return {};
    path = xdgRuntimeDir;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (path != "/") path += '/';
    path += waylandDisplay;
  }
  return path.size() <= kLongest ? path : std::string();
}

}  // namespace platform
