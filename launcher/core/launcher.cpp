#include "launcher/core/launcher.h"

#include <cstdio>
#include <cstdlib>

#include "launcher/core/command_line.h"
#include "launcher/core/display_choice.h"
#include "launcher/core/modes.h"
#include "launcher/settings_music/settings.h"
#include "platform/names/program_names.h"
#include "platform/runtime/runtime.h"

std::string modeLetter;
int32_t savedCursorCount = 0;

const char* const kRendererMissingMessage =
    "Miravel.dll が Miravel.scr と同じﾌｫﾙﾀﾞに見つかりません！";

namespace {

// A mode that cannot run says why and ends with 1. Only ever reached
// without an X display, so there is no connection to flush.
[[noreturn]] void refuse(const std::string& why) {
  std::fprintf(stderr, "Miravel.scr: %s\n", why.c_str());
  std::fflush(nullptr);
  std::_Exit(1);
}

}  // namespace

std::string RendererPath() { return platform::pathInFolder(platform::programFolder(), names::kRendererFile); }

void launcherMain() {
  // Started by a screen-saver daemon into its window: none of the rules of
  // the Windows-style command lines below apply.
  if (startDisplayModeIfAsked()) return;

  // A running saver or an open settings dialog: this copy has nothing to do.
  // Hidden windows count, since the saver's host is never shown.
  if (platform::topLevelWindowExists(names::kSaverHostCaption) ||
      platform::topLevelWindowExists("<Miravel>"))
    platform::endLauncher();

  const std::string& commandLine = platform::commandLine();
  modeLetter = modeLetterOf(commandLine);

  // Without X a saver run goes on where the renderer can draw natively
  // (Wayland); a mode that cannot run at all says so instead of ending as if
  // it had worked. The Wayland socket is only tried when X is missing.
  const bool x11 = platform::hasDisplay();
  const DisplayChoice display =
      chooseDisplay(modeLetter, commandLine.empty(), x11, !x11 && platform::waylandDisplayReachable());
  if (display.plan == DisplayPlan::Refuse) refuse(display.why);

  // The preview needs neither the settings nor the renderer.
  if (modeLetter == "P") {
    previewSetup(hostWindowNumberOf(commandLine));
    return;
  }

  // Settings and renderer come only from the launcher's own folder; without
  // it there is nothing this copy may safely read or start.
  if (platform::programFolder().empty()) platform::endLauncher();

  LoadSettings();

  if (!FileExists(RendererPath())) {
    platform::messageBox(kRendererMissingMessage);
    platform::endLauncher();
  }

  if (modeLetter == "C") {
    showSettingsDialog(hostWindowNumberOf(commandLine));
    platform::endLauncher();
  }

  // /a (password change) and every other letter: nothing to do.
  if (!commandLine.empty() && modeLetter != "S") platform::endLauncher();

  // Only /s hides the pointer; a run from an empty command line leaves it.
  if (modeLetter == "S") savedCursorCount = platform::showCursor(false);

  loadSaverHost();
}
