// Program start over posix_spawn, with the started programs reaped from a
// SIGCHLD handler.
#include "platform/process/program_start.h"

#include <errno.h>
#include <signal.h>
#include <spawn.h>
#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>
#include <time.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <chrono>
#include <vector>

extern char** environ;

namespace platform {
namespace {

// Programs started and not yet reaped; 0 marks a free slot. Shared with the
// signal handler, so plain lock-free atomics and nothing else.
constexpr int kSlots = 32;
std::atomic<pid_t> g_children[kSlots];
static_assert(std::atomic<pid_t>::is_always_lock_free, "the SIGCHLD handler needs lock-free slots");

struct sigaction g_previousAction;
bool g_handlerInstalled = false;

// Reaps the slot's program if it has ended; true when it has (also when
// someone else reaped it first). Async-signal-safe.
bool reapIfEnded(std::atomic<pid_t>& slot) {
  pid_t pid = slot.load();
  if (pid <= 0) return true;
  int status = 0;
  pid_t result = waitpid(pid, &status, WNOHANG);
  if (result == pid || (result < 0 && errno == ECHILD)) {
    slot.compare_exchange_strong(pid, 0);
    return true;
  }
  return false;
}

void onChildSignal(int signal, siginfo_t* info, void* context) {
  const int savedErrno = errno;
  for (std::atomic<pid_t>& slot : g_children) reapIfEnded(slot);
  errno = savedErrno;
  // Whoever watched SIGCHLD before still hears of it.
  if (g_previousAction.sa_flags & SA_SIGINFO) {
    if (g_previousAction.sa_sigaction) g_previousAction.sa_sigaction(signal, info, context);
  } else if (g_previousAction.sa_handler != SIG_DFL && g_previousAction.sa_handler != SIG_IGN) {
    g_previousAction.sa_handler(signal);
  }
}

void installReaper() {
  if (g_handlerInstalled) return;
  struct sigaction action {};
  action.sa_sigaction = onChildSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_SIGINFO | SA_NOCLDSTOP | SA_RESTART;
  if (sigaction(SIGCHLD, &action, &g_previousAction) == 0) g_handlerInstalled = true;
}

std::atomic<pid_t>* freeSlot() {
  for (std::atomic<pid_t>& slot : g_children) {
    if (slot.load() == 0) return &slot;
  }
  return nullptr;
}

void sleepMs(long ms) {
  timespec pause{0, ms * 1000000L};
  nanosleep(&pause, nullptr);  // a signal only shortens one round
}

// The parent of process `pid` from /proc/PID/stat ("PID (NAME) STATE PPID
// ..."; the name may hold blanks and parentheses, so read after the last
// ")"); -1 when it cannot be read.
pid_t parentOf(pid_t pid) {
  char path[32];
  std::snprintf(path, sizeof path, "/proc/%d/stat", static_cast<int>(pid));
  FILE* file = std::fopen(path, "r");
  if (!file) return -1;
  char buffer[512];
  const size_t length = std::fread(buffer, 1, sizeof buffer - 1, file);
  std::fclose(file);
  buffer[length] = '\0';
  const char* close = std::strrchr(buffer, ')');
  char state = 0;
  int parent = -1;
  if (!close || std::sscanf(close + 1, " %c %d", &state, &parent) != 2) return -1;
  return static_cast<pid_t>(parent);
}

}  // namespace

bool programHasEnded(pid_t pid) {
  if (pid <= 0) return true;
  for (std::atomic<pid_t>& slot : g_children) {
    if (slot.load() == pid) return reapIfEnded(slot);
  }
  // Started without a free slot (or reaped already): ask directly.
  int status = 0;
  return waitpid(pid, &status, WNOHANG) != 0;
}

bool signalProgram(pid_t pid, int signal) {
  if (pid <= 0) return false;
  // With SIGCHLD held back the reaper cannot run between the look at the
  // slot and the kill: an ended program stays a zombie until then, and a
  // zombie's pid is not given to anyone else.
  sigset_t childSignal, previousMask;
  sigemptyset(&childSignal);
  sigaddset(&childSignal, SIGCHLD);
  pthread_sigmask(SIG_BLOCK, &childSignal, &previousMask);
  bool sent = false;
  for (std::atomic<pid_t>& slot : g_children) {
    if (slot.load() == pid) {
      sent = kill(pid, signal) == 0;
      break;
    }
  }
  pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
  return sent;
}

void adoptInheritedChildren() {
  installReaper();
  sigset_t childSignal, previousMask;
  sigemptyset(&childSignal);
  sigaddset(&childSignal, SIGCHLD);
  pthread_sigmask(SIG_BLOCK, &childSignal, &previousMask);
  const pid_t self = getpid();
  if (DIR* proc = opendir("/proc")) {
    while (dirent* entry = readdir(proc)) {
      const pid_t pid = static_cast<pid_t>(std::atol(entry->d_name));
      if (pid <= 0 || parentOf(pid) != self) continue;
      bool known = false;
      for (std::atomic<pid_t>& slot : g_children) known = known || slot.load() == pid;
      if (known) continue;
      if (std::atomic<pid_t>* slot = freeSlot()) slot->store(pid);
    }
    closedir(proc);
  }
  // One that ended before it was on the list sent its SIGCHLD already.
  for (std::atomic<pid_t>& slot : g_children) reapIfEnded(slot);
  pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
}

ProgramStart startProgram(const std::string& path, const std::function<bool()>& ready,
                          double timeoutSeconds) {
  return startProgram(path, std::vector<std::string>(), ready, timeoutSeconds);
}

ProgramStart startProgram(const std::string& path, const std::function<bool(pid_t)>& ready,
                          double timeoutSeconds) {
  return startProgram(path, std::vector<std::string>(), ready, timeoutSeconds);
}

ProgramStart startProgram(const std::string& path, const std::vector<std::string>& arguments,
                          const std::function<bool()>& ready, double timeoutSeconds) {
  if (!ready) return startProgram(path, arguments, std::function<bool(pid_t)>(), timeoutSeconds);
  return startProgram(path, arguments,
                      std::function<bool(pid_t)>([&ready](pid_t) { return ready(); }),
                      timeoutSeconds);
}

ProgramStart startProgram(const std::string& path, const std::vector<std::string>& arguments,
                          const std::function<bool(pid_t)>& ready, double timeoutSeconds) {
  ProgramStart result;
  installReaper();

  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) return result;
  // The program starts as if from a fresh session: the launcher's own
  // handlers are reset by exec anyway, but an ignored SIGINT (as a shell gives
  // a background job) or a blocked signal would be inherited.
  sigset_t defaults, noneBlocked;
  sigfillset(&defaults);
  sigdelset(&defaults, SIGKILL);
  sigdelset(&defaults, SIGSTOP);
  sigemptyset(&noneBlocked);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &noneBlocked);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  // The program must be in a slot before its SIGCHLD can be handled.
  sigset_t childSignal, previousMask;
  sigemptyset(&childSignal);
  sigaddset(&childSignal, SIGCHLD);
  pthread_sigmask(SIG_BLOCK, &childSignal, &previousMask);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int error = posix_spawn(&pid, path.c_str(), nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  std::atomic<pid_t>* slot = nullptr;
  if (error == 0) {
    slot = freeSlot();
    if (slot) slot->store(pid);
  }
  pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
  if (error != 0) return result;

  result.pid = pid;
  result.outcome = StartOutcome::Started;
  if (!ready) return result;

  // Without a slot (dozens of programs still running) the program is only
  // waited for by its ready test and the time limit.
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::duration<double>(timeoutSeconds > 0 ? timeoutSeconds : 0);
  for (;;) {
    if (ready(pid)) {
      result.outcome = StartOutcome::Ready;
      return result;
    }
    if (slot && reapIfEnded(*slot)) {
      result.outcome = StartOutcome::Ended;
      return result;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      result.outcome = StartOutcome::TimedOut;
      return result;
    }
    sleepMs(10);
  }
}

}  // namespace platform
