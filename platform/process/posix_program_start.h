// Starting another program by path without waiting for it to end, as the
// launcher starts its renderer.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace platform {

enum class StartOutcome {
  Failed,    // the program could not be started (missing, not executable)
  Started,   // started; nothing to wait for
  Ready,     // started, and `ready` held before the time was up
  Ended,     // started, and it ended before `ready` held
  TimedOut,  // started, still running, `ready` never held in time
};

struct ProgramStart {
  StartOutcome outcome = StartOutcome::Failed;
  pid_t pid = -1;  // -1 when it could not be started
};

// Starts the program at `path` with nothing on its command line (argv[0] is
// the path itself), the caller's environment and folder, every signal at its
// default disposition and none blocked, whatever the caller inherited.
//
// With a `ready` test it then returns as soon as `ready()` holds, the program
// has ended, or `timeoutSeconds` have passed, looking every 10 ms. A starting
// program gets the chance to come up before the caller goes on, and a program
// that fails at once costs no waiting.
//
// Started programs are reaped as they end (from a SIGCHLD handler installed
// on first use, which passes the signal on to a handler installed before
// it), so none lingers as a zombie; their exit status is not kept.
ProgramStart startProgram(const std::string& path, const std::function<bool()>& ready = {},
                          double timeoutSeconds = 0);
// The same, with a ready test that is given the started program's pid (to
// look for that program's own window).
ProgramStart startProgram(const std::string& path, const std::function<bool(pid_t)>& ready,
                          double timeoutSeconds);

// True once a program this module started has ended (it is reaped then, if
// the SIGCHLD handler has not done so already); also for a pid it never
// started or already reaped, and for pid -1.
bool programHasEnded(pid_t pid);

// Sends `signal` to a program this module started, but only while it has not
// been reaped: once the reaper has recorded its end, its pid may already
// belong to another process, and nothing is sent. True when it was sent.
// The reaper waits while a signal is on its way, in whatever thread it runs,
// so the pid looked at is still the program's when the signal goes.
bool signalProgram(pid_t pid, int signal);

// A descriptor that becomes readable once the program `pid`, which this
// module started, has ended: the end can wait in an event loop's poll
// instead of a loop that looks. Close-on-exec; the caller closes it, and
// calls programHasEnded(pid) when it is readable so the program is reaped.
// -1 when the program was reaped already (it has ended), is not one of ours,
// or the kernel offers no such descriptor (Linux before 5.3).
int programEndDescriptor(pid_t pid);

// Takes the children this process already has on to the reaper's list, as if
// started here: a process that became this program by exec may have
// children of its own (a daemon's helper), which would otherwise stay
// zombies once they end. Those that have ended are reaped at once. Call it
// early, before any library starts children it waits for itself: those are
// left alone.
void adoptInheritedChildren();

// The same with `arguments` after argv[0].
ProgramStart startProgram(const std::string& path, const std::vector<std::string>& arguments,
                          const std::function<bool()>& ready = {}, double timeoutSeconds = 0);
ProgramStart startProgram(const std::string& path, const std::vector<std::string>& arguments,
                          const std::function<bool(pid_t)>& ready, double timeoutSeconds);

}  // namespace platform
