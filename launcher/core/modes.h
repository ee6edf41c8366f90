// The launcher's three modes beyond its start routine. Each lives in its own
// file and is replaced there when its work lands:
//   previewSetup        launcher/core/preview.cpp
//   loadSaverHost       launcher/core/saver_host.cpp
//   showSettingsDialog  launcher/settings_music/settings_dialog.cpp
//
// launcherMain returns after previewSetup and loadSaverHost: the launcher
// then lives while a platform::Form is loaded (see platform/runtime/runtime.h)
// and ends when the last one is unloaded, so these must leave a form loaded
// or end the launcher themselves. showSettingsDialog shows its window modally
// and returns when it closes; launcherMain then ends the launcher.
#pragma once

// Puts the still preview into the window `hostWindow` (an X window id; 0 when
// none was given) as a child, and leaves it loaded.
void previewSetup(long hostWindow);

// Loads the hidden saver host "Kelvara_S" (caption "Kelvara_Main"), which
// starts the renderer and the music and watches the renderer's window.
void loadSaverHost();

// Shows the settings dialog "<Miravel>" modally; returns when it has closed.
void showSettingsDialog();
