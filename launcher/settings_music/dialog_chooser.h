// The open-file dialog of the settings dialog's "..." button: FLTK's own file
// chooser, asking for an MP3 or WAV file.
#pragma once

#include <string>

namespace dialog {

constexpr const char* kChooserTitle = "ﾌｧｲﾙを開く";
constexpr const char* kFilterDescription = "BGMﾌｧｲﾙ (MP3 WAV)";
// Windows-style patterns; letter case does not matter in them.
constexpr const char* kFilterPatterns = "*.MP3;*.WAV";

// One filter entry in the form FLTK's chooser takes ("name\tpattern").
// - Each pattern of the ";"-separated list matches whatever the letter case
//   ("*.MP3" becomes "*.[Mm][Pp]3"), as names do on Windows; several
//   patterns become one "{a,b}" alternative.
// - FLTK's chooser finds an entry's pattern after the first "(" of what it
//   shows, so the parentheses of the name are shown as full-width ones.
std::string chooserFilter(const std::string& description, const std::string& patterns);

// Where the chooser starts: the folder of the current music file, or the
// home folder when there is none (the launcher's working folder means
// nothing to the user).
std::string startFolder(const std::string& currentFile);

// Shows the chooser modally over the launcher's windows, starting in
// startFolder(startPath), with an empty file name. A name typed in is accepted even
// when no such file exists. True and the full path in `path` when the user
// confirmed a file; false on cancel or any failure (`path` untouched).
bool chooseMusicFile(const std::string& startPath, std::string& path);

}  // namespace dialog
