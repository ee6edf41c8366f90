#include "launcher/core/display_mode_rules.h"

#include "platform/process/file_lock.h"

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
  int fd = -1;
  return platform::lockFile(path, fd) == platform::FileLock::Taken ? fd : -1;
}

bool isDaemonWindow(const TopWindowFacts& window) {
  if (!window.viewable || !window.overrideRedirect) return false;
  if (window.className != "XScreenSaver" || window.width <= 1 || window.height <= 1) return false;
  const std::string& command = window.firstCommand;
  const size_t slash = command.rfind('/');
  return (slash == std::string::npos ? command : command.substr(slash + 1)) == "xscreensaver";
}

bool unlockDialogShown(const std::vector<TopWindowFacts>& topWindows) {
  bool aboveTarget = false;
  for (const TopWindowFacts& window : topWindows) {
    if (window.isTarget)
      aboveTarget = true;
    else if (aboveTarget && isDaemonWindow(window))
      return true;
  }
  return false;
}

WatchTurn watchTurn(const WatchFacts& facts) {
  WatchTurn turn;
  if (!facts.targetExists) {
    turn.end = true;
    return turn;
  }
  bool paused = facts.paused;
  if (facts.dialogShown && !paused) {
    turn.pause = true;
    paused = true;
  } else if (!facts.dialogShown && paused) {
    turn.resume = true;
    paused = false;
  }
  if (paused) return turn;
  turn.reportEnded = facts.rendererStarted && facts.rendererEnded;
  const bool rendererRuns = facts.rendererStarted && !facts.rendererEnded;
  turn.startRenderer = !rendererRuns && facts.mayRestart;
  turn.tryMusicLock = facts.wantsMusic && !facts.playing;
  return turn;
}
