// How a started renderer tells the launcher that its first frame is on the
// screen, and which shell draws it. On Wayland no client can see another
// client's windows, so the launcher cannot wait for the renderer's window as
// it does on X11: it hands the renderer the write end of a pipe instead, named
// in an environment variable, and the renderer writes one line once.
#pragma once

#include <string>

namespace platform {

// The variable that holds the pipe's descriptor number, in decimal.
inline constexpr char kReadyFdVariable[] = "MIRAVEL_READY_FD";

// Which shell the renderer said it runs.
enum class ReadyShell { NotYet, X11, Wayland };

// The descriptor named by the variable's value, or -1 when the value is no
// plain decimal number above the standard streams (0 to 2 are never a pipe
// of ours, and writing there would only garble the renderer's output).
int parseReadyFd(const char* value);

// The line the renderer writes for `shell` ("x11\n", "wayland\n"); empty for
// NotYet.
std::string readyMessage(ReadyShell shell);

// What the launcher has read so far: NotYet until a whole known line came.
// Anything else (noise, a partial line, an unknown shell) is NotYet too.
ReadyShell parseReadyMessage(const std::string& received);

// --- Renderer side (posix_ready_pipe.cpp) ----------------------------------

// Takes the descriptor named in the environment for later, if it is a pipe,
// marks it close-on-exec and removes the variable, so nothing the renderer
// might start inherits it. Call once at start.
void takeReadyPipeFromEnvironment();

// Writes `shell`'s line once and closes the pipe; later calls do nothing.
// Nothing happens when the renderer was given no pipe.
void reportRendererReady(ReadyShell shell);

// --- Launcher side -----------------------------------------------------------

// The read end kept by the launcher; the write end goes to the next program
// started while `exportToChildren()` is in effect.
class ReadyPipe {
 public:
  ReadyPipe() = default;
  ~ReadyPipe();
  ReadyPipe(const ReadyPipe&) = delete;
  ReadyPipe& operator=(const ReadyPipe&) = delete;

  // Makes the pipe and names its write end in the environment, so that the
  // next program started inherits it. False when no pipe could be made.
  bool exportToChildren();
  // After the start: the variable goes and the launcher's own write end is
  // closed, so the pipe ends when the renderer's copy does.
  void stopExporting();

  // Reads what has arrived without waiting; the shell once a whole line came.
  ReadyShell poll();
  // The renderer closed its end without a line (it ended, or it gave way).
  bool closedEarly() const { return closed_ && said_ == ReadyShell::NotYet; }

 private:
  int readFd_ = -1;
  int writeFd_ = -1;
  std::string received_;
  ReadyShell said_ = ReadyShell::NotYet;
  bool closed_ = false;
};

}  // namespace platform
