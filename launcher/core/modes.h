// The launcher's modes beyond its start routine, each defined once per
// platform:
//   startDisplayModeIfAsked  launcher/core/display_mode_host.cpp, win32_modes.cpp
//   previewSetup             launcher/core/x11_preview.cpp, win32_preview.cpp
//   loadSaverHost            launcher/core/runtime_saver_platform.cpp
//   showSettingsDialog       launcher/settings_music/settings_dialog.cpp,
//                            win32_settings_dialog.cpp
//
// launcherMain returns after previewSetup, loadSaverHost and a display mode
// it started: the launcher then lives while a platform::Form is loaded (see
// platform/runtime/runtime.h) and ends when the last one is unloaded, so
// these must leave a form loaded or end the launcher themselves.
// showSettingsDialog shows its window modally and returns when it closes;
// launcherMain then ends the launcher.
#pragma once

#include <cstdint>

// Display mode (Linux only: started by a screen-saver daemon into its
// window): when the command line asks for it, loads its host and returns
// true; otherwise false, and the Windows-style command line applies. Always
// false on Windows.
bool startDisplayModeIfAsked();

// Puts the still preview into the window `hostWindow` (an X window id or an
// HWND's number; 0 when none was given) as a child, and leaves it loaded.
void previewSetup(int64_t hostWindow);

// Loads the hidden saver host "Kelvara_S" (caption "Kelvara_Main"), which
// starts the renderer and the music and watches the renderer's window.
void loadSaverHost();

// Shows the settings dialog "<Miravel>" modally; returns when it has closed.
// `ownerWindow` is the window the command line named ("/c:HWND"; 0 when
// none): on Windows the dialog is owned by it and modal to it, as the Screen
// Saver Settings expect; the FLTK dialog has no use for it. One function per
// platform (settings_dialog.cpp on FLTK, win32_settings_dialog.cpp on
// Windows).
void showSettingsDialog(int64_t ownerWindow);
