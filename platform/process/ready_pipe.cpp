#include "platform/process/ready_pipe.h"

#include <climits>

namespace platform {

int parseReadyFd(const char* value) {
  if (!value || !*value) return -1;
  long long number = 0;
  for (const char* p = value; *p; ++p) {
    if (*p < '0' || *p > '9') return -1;
    number = number * 10 + (*p - '0');
    if (number > INT_MAX) return -1;
  }
  return number > 2 ? static_cast<int>(number) : -1;
}

std::string readyMessage(ReadyShell shell) {
  switch (shell) {
    case ReadyShell::X11:
      return "x11\n";
    case ReadyShell::Wayland:
      return "wayland\n";
    case ReadyShell::NotYet:
      break;
  }
  return {};
}

ReadyShell parseReadyMessage(const std::string& received) {
  const size_t end = received.find('\n');
  if (end == std::string::npos) return ReadyShell::NotYet;
  const std::string line = received.substr(0, end + 1);
  if (line == readyMessage(ReadyShell::X11)) return ReadyShell::X11;
  if (line == readyMessage(ReadyShell::Wayland)) return ReadyShell::Wayland;
  return ReadyShell::NotYet;
}

}  // namespace platform
