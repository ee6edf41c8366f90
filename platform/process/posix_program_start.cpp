// Program start over posix_spawn, with the started programs reaped from a
// SIGCHLD handler.
#include "platform/process/posix_program_start.h"

#include <errno.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <dirent.h>
#include <sys/syscall.h>
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

// Programs started and not yet reaped. A slot holds 0 when free, the pid of
// a running program, or the pid made negative while one caller works on that
// program. Shared with the signal handler, so plain lock-free atomics and
// nothing else.
//
// Reaping and signalling both take the slot first. The SIGCHLD handler runs
// in whichever thread the kernel picks, often a library's thread that blocks
// nothing; without the slot taken it could reap a program between another
// thread's look at the slot and its kill, and the kill would reach whoever
// got the pid next. A taken slot is held only for one waitpid or kill, and
// every holder keeps SIGCHLD blocked in its own thread meanwhile, so a
// handler waiting for a slot never waits for the thread it interrupted.
constexpr int kSlots = 32;
std::atomic<pid_t> g_children[kSlots];
static_assert(std::atomic<pid_t>::is_always_lock_free, "the SIGCHLD handler needs lock-free slots");

struct sigaction g_previousAction;
bool g_handlerInstalled = false;

// SIGCHLD blocked in this thread for the object's lifetime.
class ChildSignalHeld {
 public:
  ChildSignalHeld() {
    sigset_t childSignal;
    sigemptyset(&childSignal);
    sigaddset(&childSignal, SIGCHLD);
    pthread_sigmask(SIG_BLOCK, &childSignal, &previous_);
  }
  ~ChildSignalHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  ChildSignalHeld(const ChildSignalHeld&) = delete;
  ChildSignalHeld& operator=(const ChildSignalHeld&) = delete;

 private:
  sigset_t previous_;
};

// Takes the slot while it holds `pid`, waiting for another holder to let go;
// false once it holds anything else. Async-signal-safe.
bool take(std::atomic<pid_t>& slot, pid_t pid) {
  for (;;) {
    pid_t seen = pid;
    if (slot.compare_exchange_strong(seen, -pid)) return true;
    if (seen != -pid) return false;
    sched_yield();
  }
}

// Reaps the program of a taken slot if it has ended (also when someone
// outside this module reaped it first), and lets the slot go: free after an
// end, the program's again otherwise. Async-signal-safe.
bool reapTaken(std::atomic<pid_t>& slot, pid_t pid) {
  int status = 0;
  const pid_t result = waitpid(pid, &status, WNOHANG);
  const bool ended = result == pid || (result < 0 && errno == ECHILD);
  slot.store(ended ? 0 : pid);
  return ended;
}

// Reaps the slot's program if it has ended; true when it has, or the slot
// holds no program. Callers outside the handler hold SIGCHLD blocked.
bool reapIfEnded(std::atomic<pid_t>& slot) {
  pid_t pid = slot.load();
  if (pid == 0) return true;
  if (pid < 0) pid = -pid;
  return !take(slot, pid) || reapTaken(slot, pid);
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
  // SIGCHLD itself stays blocked while the handler runs (no SA_NODEFER), so
  // a handler never interrupts one that holds a slot.
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_SIGINFO | SA_NOCLDSTOP | SA_RESTART;
  if (sigaction(SIGCHLD, &action, &g_previousAction) == 0) g_handlerInstalled = true;
}

// Puts `pid` in a free slot; false when none is left. Callers hold SIGCHLD
// blocked, so the program is in its slot before its end can be handled in
// this thread. Another thread may have handled it already, finding no slot
// to reap: so a program that has ended by now is reaped here.
bool addChild(pid_t pid) {
  for (std::atomic<pid_t>& slot : g_children) {
    pid_t free = 0;
    if (!slot.compare_exchange_strong(free, pid)) continue;
    reapIfEnded(slot);
    return true;
  }
  return false;
}

bool isChild(pid_t pid) {
  for (std::atomic<pid_t>& slot : g_children) {
    const pid_t held = slot.load();
    if (held == pid || held == -pid) return true;
  }
  return false;
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
  ChildSignalHeld held;
  for (std::atomic<pid_t>& slot : g_children) {
    if (take(slot, pid)) return reapTaken(slot, pid);
  }
  // Started without a free slot, or reaped already (then waitpid has no
  // child of that pid to tell of, which counts as ended too).
  int status = 0;
  return waitpid(pid, &status, WNOHANG) != 0;
}

bool signalProgram(pid_t pid, int signal) {
  if (pid <= 0) return false;
  ChildSignalHeld held;
  for (std::atomic<pid_t>& slot : g_children) {
    if (!take(slot, pid)) continue;
    // Taken, the program cannot be reaped by anyone here: if it has ended it
    // stays a zombie, whose pid is not given to another process.
    const bool sent = kill(pid, signal) == 0;
    slot.store(pid);
    return sent;
  }
  return false;
}

int programEndDescriptor(pid_t pid) {
  if (pid <= 0) return -1;
  ChildSignalHeld held;
  for (std::atomic<pid_t>& slot : g_children) {
    if (!take(slot, pid)) continue;
    // Taken, the program cannot be reaped meanwhile, so the pid is still
    // its own (a zombie at worst, whose descriptor is readable at once).
    const long fd = syscall(SYS_pidfd_open, pid, 0);
    slot.store(pid);
    return fd < 0 ? -1 : static_cast<int>(fd);
  }
  return -1;
}

void adoptInheritedChildren() {
  installReaper();
  ChildSignalHeld held;
  const pid_t self = getpid();
  if (DIR* proc = opendir("/proc")) {
    while (dirent* entry = readdir(proc)) {
      const pid_t pid = static_cast<pid_t>(std::atol(entry->d_name));
      if (pid <= 0 || parentOf(pid) != self || isChild(pid)) continue;
      addChild(pid);
    }
    closedir(proc);
  }
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

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  int error = 0;
  bool inSlot = false;
  {
    // The program must be in a slot before its SIGCHLD can be handled here.
    ChildSignalHeld held;
    error = posix_spawn(&pid, path.c_str(), nullptr, &attributes, argv.data(), environ);
    if (error == 0) inSlot = addChild(pid);
  }
  posix_spawnattr_destroy(&attributes);
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
    if (inSlot && programHasEnded(pid)) {
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
