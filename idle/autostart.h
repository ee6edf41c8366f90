// Starting miravel-idle at login through XDG autostart (GNOME, KDE, Xfce,
// LXQt and others read ~/.config/autostart): the entry's text and the
// idempotent install and removal of that one file.
#pragma once

#include <string>
#include <vector>

namespace idle {

inline constexpr char kAutostartFileName[] = "miravel-idle.desktop";

// The folder: $XDG_CONFIG_HOME/autostart when that is an absolute path (the
// base-directory rules ignore a relative one), else $HOME/.config/autostart.
// Empty when neither can be had.
std::string autostartFolder(const char* xdgConfigHome, const char* home);

// One argument of an Exec line: as it is when it needs no quotes, else in
// double quotes with ", `, $ and \ escaped; % doubled either way. Empty when
// the argument cannot be written into a desktop entry at all (a line break
// or another control character).
std::string execArgument(const std::string& argument);

// The entry that runs `command` (the program's absolute path, then its
// options) at login. Empty when some argument cannot be written.
std::string autostartEntry(const std::vector<std::string>& command);

enum class FileChange { Written, AlreadyThere, Removed, WasNotThere, Failed };

// Writes `text` as the entry in `folder`, making the folder (and its
// missing parents) when needed. AlreadyThere when the file already holds
// exactly this text: it is not touched. The file is replaced in one step
// through a temporary file beside it, so an entry is never half written.
// On failure `error` says what went wrong.
FileChange installAutostart(const std::string& folder, const std::string& text,
                            std::string& error);

// Deletes the entry from `folder`, and nothing else.
FileChange removeAutostart(const std::string& folder, std::string& error);

}  // namespace idle
