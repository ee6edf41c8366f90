// INI files read and written the way the Windows private-profile functions
// do, for what the launcher's settings file needs:
//
// - A missing file, section or key reads as empty text.
// - Section and key names match without regard to ASCII letter case (the
//   second byte of a Shift-JIS character is compared exactly).
// - Blanks around names and values are dropped; one matching pair of single
//   or double quotes around a value is removed on read (an unmatched quote
//   stays). At most 255 bytes of a value are returned.
// - The first of duplicate sections or keys wins; a later duplicate section
//   is never read, and writes go to the first.
// - Comment lines (";") and lines without "=" are kept and never match.
// - CRLF, LF and lone CR line ends are read; the file is written with CRLF.
// - Writing replaces the key's line in place and keeps every other line,
//   appends a missing key at the end of its section and a missing section at
//   the end of the file, and creates the file.
//
// Unlike the profile functions, a write replaces the file as a whole: the new
// text goes to a temporary file beside it, which is then renamed over it with
// the old file's permissions, so a crash or a full disk never leaves half a
// settings file behind.
//
// Texts are bytes: the launcher's names are code-page-932 bytes, values are
// stored as given.
#pragma once

#include <string>

namespace platform {

constexpr size_t kIniValueLimit = 255;

// The value of `key` in `section` of the file at `path`; empty when any of
// them is missing or the file cannot be read.
std::string ReadIni(const std::string& section, const std::string& key, const std::string& path);

// Stores `value` for `key` in `section` of the file at `path`. Returns false,
// leaving the file as it was, when it cannot be written (for example a
// read-only folder, or an existing file that cannot be read), or when a name
// or the value cannot be stored on one line (a line break; "=" in a key;
// "]" in a section). Callers that ignore failures may ignore the result.
bool WriteIni(const std::string& section, const std::string& key, const std::string& value,
              const std::string& path);

// The same rules on file text in memory (used by the two above).
std::string iniLookup(const std::string& fileText, const std::string& section,
                      const std::string& key);
// The new file text after storing; false when a name or value is refused.
bool iniStore(const std::string& fileText, const std::string& section, const std::string& key,
              const std::string& value, std::string& newText);

}  // namespace platform
