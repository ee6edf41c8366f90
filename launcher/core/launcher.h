// The launcher's start routine and the values it shares with its modes.
#pragma once

#include <cstdint>
#include <string>

// The mode letter of this run ("S", "C", "P", another character, or empty).
extern std::string modeLetter;
// What hiding the pointer returned at the start of a run in mode "S" (the
// pointer display count, normally -1); read again when the run ends.
extern int32_t savedCursorCount;

// The renderer program: "Miravel.dll" in the launcher's folder.
std::string RendererPath();

// The message shown when the renderer is not beside the launcher.
extern const char* const kRendererMissingMessage;

// The start routine: single-instance check, mode, settings, renderer check,
// then the preview, the settings dialog or a saver run. It either ends the
// launcher or returns with a form loaded.
void launcherMain();
