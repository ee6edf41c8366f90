// What every POSIX shell (X11, Wayland) does alike: the process's priority,
// the signals that end a run, the monotonic clock and the wait on a
// connection's descriptor.
#pragma once

#include <cstdint>

// The process's nice value, raised by a fixed step.
void lowerProcessPriority();

// SIGTERM and SIGINT (and SIGHUP with `hangupToo`, as a daemon's session may
// end) end the run like an accepted close: the loop sees endRequested(), the
// window's steps run backwards, exit code 0. No SA_RESTART, so a waiting
// poll() returns at once.
void installEndSignals(bool hangupToo);
bool endRequested();

std::int64_t monotonicMicros();
// Waits up to `micros` for `fd` to have something to read; a signal ends the
// wait early, and 0 only yields the processor.
void waitForReadable(int fd, std::int64_t micros);
