// What both X11 shells (the saver's own window and display mode's adopted
// one) do alike: the creation and destruction steps' platform calls, and the
// signals that end a run.
#pragma once

#include "renderer/shell/saver_creation.h"

class X11WindowSteps : public SaverWindowSteps {
 public:
  // The process's nice value, raised by a fixed step.
  void lowerPriority() override;
};

// SIGTERM and SIGINT (and SIGHUP with `hangupToo`, as a daemon's session may
// end) end the run like an accepted close: the loop sees endRequested(), the
// window's steps run backwards, exit code 0. No SA_RESTART, so a waiting
// poll() returns at once.
void installEndSignals(bool hangupToo);
bool endRequested();
