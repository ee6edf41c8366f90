// The X11 idle source: the MIT-SCREEN-SAVER extension's idle time.
#pragma once

#include <memory>

#include "idle/idle_source.h"
#include "idle/source_choice.h"

namespace idle {

class X11Idle {
 public:
  virtual ~X11Idle() = default;
  // Once a source is made from it, the display belongs to that source.
  virtual std::unique_ptr<IdleSource> makeSource(IdleEvents& events) = 0;
};

// Opens $DISPLAY and fills the X11 facts (display, extension, daemon).
// Null when no display could be opened.
std::unique_ptr<X11Idle> openX11Idle(SourceFacts& facts);

}  // namespace idle
