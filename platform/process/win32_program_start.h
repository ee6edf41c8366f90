// Starting another program by path on Windows without waiting for it to end,
// as the launcher starts its renderer.
#pragma once

#include <functional>
#include <string>

namespace platform {

enum class WindowsStartOutcome {
  Failed,    // the program could not be started (missing, not a program)
  Ready,     // started, and `ready` held before the time was up
  Ended,     // started, and it ended before `ready` held
  TimedOut,  // started, still running, `ready` never held in time
};

struct WindowsProgram {
  WindowsStartOutcome outcome = WindowsStartOutcome::Failed;
  unsigned long processId = 0;  // 0 when it could not be started
  void* process = nullptr;      // the process handle, kept for the watch
};

// Starts the program at `path` (ANSI code page) with nothing on its command
// line but its own quoted path, in a normal window that takes the focus, the
// caller's environment and folder. Then returns as soon as `ready(processId)`
// holds, the program has ended, or `timeoutSeconds` have passed, looking
// every 10 ms.
WindowsProgram startWindowsProgram(const std::string& path,
                                   const std::function<bool(unsigned long)>& ready,
                                   double timeoutSeconds);

// True once the program of `process` has ended; also for a null handle.
bool windowsProgramHasEnded(void* process);

}  // namespace platform
