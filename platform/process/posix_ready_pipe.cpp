// The readiness pipe over POSIX pipes and the environment.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/process/ready_pipe.h"

namespace platform {
namespace {

int g_rendererFd = -1;

}  // namespace

void takeReadyPipeFromEnvironment() {
  const int fd = parseReadyFd(getenv(kReadyFdVariable));
  unsetenv(kReadyFdVariable);
  if (fd < 0) return;
  // Only a pipe is written to: a number that names some other open file
  // (a stale variable, a hostile one) must not get our line.
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISFIFO(info.st_mode)) return;
  const int flags = fcntl(fd, F_GETFD);
  if (flags >= 0) fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
  g_rendererFd = fd;
}

void reportRendererReady(ReadyShell shell) {
  if (g_rendererFd < 0) return;
  const std::string line = readyMessage(shell);
  // A launcher that went away must not end us with SIGPIPE.
  struct sigaction ignore {}, previous {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, &previous);
  ssize_t written;
  do {
    written = write(g_rendererFd, line.data(), line.size());
  } while (written < 0 && errno == EINTR);
  sigaction(SIGPIPE, &previous, nullptr);
  close(g_rendererFd);
  g_rendererFd = -1;
}

ReadyPipe::~ReadyPipe() {
  stopExporting();
  if (readFd_ >= 0) close(readFd_);
}

bool ReadyPipe::exportToChildren() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  // A launcher started with its standard streams closed is handed the
  // lowest free numbers, and the renderer never takes 0 to 2 for its end:
  // both ends move above them.
  for (int& fd : fds) {
    if (fd > 2) continue;
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    close(fd);
    fd = moved;
  }
  if (fds[0] < 0 || fds[1] < 0) {
    for (int fd : fds)
      if (fd >= 0) close(fd);
    return false;
  }
  // The renderer's end stays open across its exec; ours is read without
  // waiting, from the launcher's timers.
  fcntl(fds[1], F_SETFD, 0);
  fcntl(fds[0], F_SETFL, O_NONBLOCK);
  readFd_ = fds[0];
  writeFd_ = fds[1];
  setenv(kReadyFdVariable, std::to_string(writeFd_).c_str(), 1);
  return true;
}

void ReadyPipe::stopExporting() {
  unsetenv(kReadyFdVariable);
  if (writeFd_ >= 0) close(writeFd_);
  writeFd_ = -1;
}

ReadyShell ReadyPipe::poll() {
  if (said_ != ReadyShell::NotYet || readFd_ < 0 || closed_) return said_;
  char buffer[64];
  for (;;) {
    const ssize_t got = read(readFd_, buffer, sizeof buffer);
    if (got > 0) {
      // A line is a few bytes; anything longer is no renderer of ours.
      if (received_.size() < 64) received_.append(buffer, static_cast<size_t>(got));
      continue;
    }
    if (got == 0) closed_ = true;
    if (got < 0 && errno == EINTR) continue;
    break;
  }
  said_ = parseReadyMessage(received_);
  return said_;
}

}  // namespace platform
