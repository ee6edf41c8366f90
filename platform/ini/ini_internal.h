// Between the INI rules (ini.cpp) and each platform's file code.
#pragma once

#include <string>

namespace platform {

// Converts `text` between "UTF-8", "UTF-16LE" and "CP932"; a character that
// is not valid in `from` or has no counterpart in `to` becomes one "?", as
// the system's conversion does.
std::string convertText(const char* from, const char* to, const std::string& text);

enum class ReadResult { Read, Missing, Unreadable };

// Reads the settings file whole, at most kIniFileLimit bytes of a regular
// file; anything larger or not a plain file is unreadable. Never blocks.
ReadResult readSettingsFile(const std::string& path, std::string& text);

// The file a write to `path` replaces in `real`; false when there is none
// that may be written (no path, or a link that leads nowhere).
bool writeTarget(const std::string& path, std::string& real);

// Whether the user may replace `real` (true while nothing is there yet).
bool mayWrite(const std::string& real);

// Replaces `real` with `text` in one step, through a temporary file beside it.
bool replaceFile(const std::string& real, const std::string& text);

// Tells the write-step hook (tests) that a step of replaceFile is done.
void iniWriteStep(const char* name);

}  // namespace platform
