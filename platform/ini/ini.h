// INI files read and written the way the Windows private-profile functions
// do, for what the launcher's settings file needs:
//
// - A missing file, section or key reads as empty text.
// - Section and key names match without regard to ASCII letter case (the
//   second byte of a Shift-JIS character is compared exactly).
// - Blanks (space, tab, Ctrl-Z) around names and values are dropped; one
//   matching pair of single or double quotes around a value is removed on
//   read (an unmatched quote stays). At most 255 bytes of a value are
//   returned.
// - The first of duplicate sections or keys wins; a later duplicate section
//   is never read, and writes go to the first.
// - Comment lines (";") and lines without "=" are kept and never match.
// - CRLF, LF and lone CR line ends are read; the file is written with CRLF.
// - A file that starts with a UTF-8 or UTF-16LE byte-order mark (as an editor
//   may leave it) is decoded: names compare as text, values come back as
//   code-page-932 bytes, and a write keeps the file's encoding and mark. A
//   UTF-16LE file with an odd number of bytes is read up to its last whole
//   character; the lone byte after it is dropped when the file is written.
//   Other files are bytes: names are the code-page-932 bytes given, values
//   are stored as given.
// - Writing replaces the key's line in place and keeps every other line,
//   appends a missing key at the end of its section and a missing section at
//   the end of the file, and creates the file.
//
// Unlike the profile functions, a write replaces the file as a whole: the new
// text goes to a temporary file beside it, which is then renamed over it with
// the old file's permissions, so a crash or a full disk never leaves half a
// settings file behind. Temporary files that an interrupted write left are
// removed by the next one.
//
// A file larger than kIniFileLimit counts as unreadable: it reads as empty,
// and is never replaced (a real settings file is a few hundred bytes).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace platform {

constexpr size_t kIniValueLimit = 255;
constexpr size_t kIniFileLimit = 1024 * 1024;

// The value of `key` in `section` of the file at `path`; empty when any of
// them is missing or the file cannot be read.
std::string ReadIni(const std::string& section, const std::string& key, const std::string& path);

// Stores `value` for `key` in `section` of the file at `path`. Returns false,
// leaving the file as it was, when:
// - it cannot be written: the folder is read-only; the file exists but cannot
//   be read, is too large, is not a regular file, or may not be written by
//   this user (no write permission, or a mode without any write bit); the
//   path is a symbolic link that leads nowhere;
// - or a name or the value cannot be stored so that it reads back: a line
//   break; "=" in a key, or a key starting with "[" or ";"; "]" in a
//   section; in a file with a byte-order mark, bytes that are not
//   code-page-932 text or would come back as other bytes.
// Callers that ignore failures may ignore the result.
bool WriteIni(const std::string& section, const std::string& key, const std::string& value,
              const std::string& path);

// Several keys of one section stored in one replacement of the file, in the
// order given: either all of them are in the file afterwards or none is.
using IniEntries = std::vector<std::pair<std::string, std::string>>;
bool WriteIniKeys(const std::string& section, const IniEntries& entries, const std::string& path);

// The same rules on file text in memory (used by the functions above).
std::string iniLookup(const std::string& fileText, const std::string& section,
                      const std::string& key);
// The new file text after storing; false when a name or value is refused.
bool iniStore(const std::string& fileText, const std::string& section, const std::string& key,
              const std::string& value, std::string& newText);
bool iniStoreAll(const std::string& fileText, const std::string& section,
                 const IniEntries& entries, std::string& newText);

// For tests of interrupted writes: called after each step of a replacement
// ("created", "written", "mode", "synced", "closed", "renamed") with the
// step's name. Null (the default) calls nothing.
using IniWriteStepHook = void (*)(const char* step);
void setIniWriteStepHook(IniWriteStepHook hook);

}  // namespace platform
