#include "launcher/core/display_choice.h"

DisplayChoice chooseDisplay(const std::string& modeLetter, bool commandLineEmpty, bool x11,
                            bool wayland) {
  DisplayChoice choice;
  if (x11) return choice;
  if (commandLineEmpty || modeLetter == "S") {
    if (wayland) {
      choice.plan = DisplayPlan::WithoutX;
    } else {
      choice.plan = DisplayPlan::Refuse;
      choice.why =
          "no display to show the screen saver on: neither an X display (DISPLAY) nor a "
          "Wayland one (WAYLAND_DISPLAY) could be reached";
    }
  } else if (modeLetter == "C") {
    choice.plan = DisplayPlan::Refuse;
    choice.why = wayland ? "the settings dialog needs an X display (DISPLAY), and this Wayland "
                           "session offers none (is XWayland off?)"
                         : "the settings dialog needs an X display (DISPLAY), and none could "
                           "be opened";
  } else if (modeLetter == "P") {
    choice.plan = DisplayPlan::Refuse;
    choice.why = "the preview needs an X display (DISPLAY), and none could be opened";
  }
  // Any other letter (/a) does nothing on any display: it ends as always.
  return choice;
}
