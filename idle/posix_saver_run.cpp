// The saver's end reaches the main loop as a readable process descriptor:
// nothing looks at it while it runs. Leaving the program does not end the
// saver: it is the user's, to be ended by the user's return.
#include "idle/posix_saver_run.h"

#include <glib-unix.h>
#include <glib.h>
#include <unistd.h>

#include "platform/process/posix_program_start.h"

namespace idle {

SaverRun::~SaverRun() {
  if (watch_) g_source_remove(watch_);
  if (endFd_ >= 0) close(endFd_);
}

bool SaverRun::start(const std::string& path) {
  if (running()) return true;
  const platform::ProgramStart started = platform::startProgram(path, {"/s"});
  if (started.outcome == platform::StartOutcome::Failed) return false;
  pid_ = started.pid;
  endFd_ = platform::programEndDescriptor(pid_);
  if (endFd_ >= 0) {
    watch_ = g_unix_fd_add(endFd_, G_IO_IN, reinterpret_cast<GUnixFDSourceFunc>(&SaverRun::onEnd),
                           this);
  } else if (platform::programHasEnded(pid_)) {
    // Ended already: told from the loop, as a later end would be.
    watch_ = g_idle_add(reinterpret_cast<GSourceFunc>(&SaverRun::onLook), this);
  } else {
    // A kernel without process descriptors: a look each second while the
    // saver runs, the only time anything looks.
    watch_ = g_timeout_add_seconds(1, reinterpret_cast<GSourceFunc>(&SaverRun::onLook), this);
  }
  return true;
}

int SaverRun::onEnd(int, unsigned, void* self) {
  static_cast<SaverRun*>(self)->finish();
  return G_SOURCE_REMOVE;
}

int SaverRun::onLook(void* self) {
  auto* run = static_cast<SaverRun*>(self);
  if (!platform::programHasEnded(run->pid_)) return G_SOURCE_CONTINUE;
  run->finish();
  return G_SOURCE_REMOVE;
}

void SaverRun::finish() {
  watch_ = 0;
  platform::programHasEnded(pid_);  // reaps it
  if (endFd_ >= 0) close(endFd_);
  endFd_ = -1;
  pid_ = -1;
  ended_();
}

}  // namespace idle
