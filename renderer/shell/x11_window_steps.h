// The creation and destruction steps' platform calls that both X11 shells
// (the saver's own window and display mode's adopted one) make alike.
#pragma once

#include "renderer/shell/saver_creation.h"

class X11WindowSteps : public SaverWindowSteps {
 public:
  // The process's nice value, raised by a fixed step.
  void lowerPriority() override;
};
