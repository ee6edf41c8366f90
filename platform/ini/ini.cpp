#include "platform/ini/ini.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

IniWriteStepHook g_stepHook = nullptr;

void step(const char* name) {
  if (g_stepHook) g_stepHook(name);
}

// ---- Encodings ---------------------------------------------------------------

// How the file's text is stored. Names and values are always handled as
// code-page-932 text; a file with a byte-order mark is decoded for that and
// encoded back when written.
enum class Encoding { Bytes, Utf8, Utf16Le };

const std::string kUtf8Bom = "\xEF\xBB\xBF";
const std::string kUtf16LeBom = "\xFF\xFE";

bool isShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// The length of the character starting at `text[at]` that could not be
// converted, so that it is replaced by one "?" as a whole.
size_t badCharacterLength(const char* from, const char* text, size_t left) {
  const unsigned char c = static_cast<unsigned char>(text[0]);
  const std::string encoding = from;
  size_t length = 1;
  if (encoding == "UTF-8") {
    length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    // Only as far as the sequence really goes.
    size_t valid = 1;
    while (valid < length && valid < left && (static_cast<unsigned char>(text[valid]) & 0xC0) == 0x80)
      ++valid;
    length = valid;
  } else if (encoding == "UTF-16LE") {
    length = 2;
    if (left >= 4 && (static_cast<unsigned char>(text[1]) & 0xFC) == 0xD8 &&
        (static_cast<unsigned char>(text[3]) & 0xFC) == 0xDC)
      length = 4;
  } else if (isShiftJisLead(c)) {
    length = 2;
  }
  return length < left ? length : left;
}

// Converts with iconv; a character that is not valid in `from` or has no
// counterpart in `to` becomes "?", as the system's conversion does.
std::string convert(const char* from, const char* to, const std::string& text) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  const std::string question = std::string(to) == "UTF-16LE" ? std::string("?\0", 2) : "?";
  std::string out;
  std::vector<char> buffer(text.size() * 4 + 16);
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer.data(), buffer.size() - outLeft);
    if (result != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL (a cut-off character at the end).
    size_t skip = badCharacterLength(from, in, inLeft);
    in += skip;
    inLeft -= skip;
    out += question;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return out;
}

const char* iconvName(Encoding encoding) {
  return encoding == Encoding::Utf8 ? "UTF-8" : "UTF-16LE";
}

std::string toCp932(const std::string& raw, Encoding encoding) {
  return encoding == Encoding::Bytes ? raw : convert(iconvName(encoding), "CP932", raw);
}

std::string fromCp932(const std::string& text, Encoding encoding) {
  return encoding == Encoding::Bytes ? text : convert("CP932", iconvName(encoding), text);
}

// ---- Lines -------------------------------------------------------------------

// Ctrl-Z, the old end-of-file mark, counts as a blank as for the profile
// functions.
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\x1A'; }

std::string trim(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

unsigned char asciiLower(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// ASCII letters match in either case. The byte after a Shift-JIS lead byte
// may look like an ASCII letter ("ア" is 83 41, "ヂ" is 83 61), so the pair is
// compared exactly.
bool namesEqual(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = a[i], y = b[i];
    if (isShiftJisLead(x) && i + 1 < a.size()) {
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (asciiLower(x) != asciiLower(y)) return false;
  }
  return true;
}

enum class LineKind { Blank, Comment, Section, Key, Other };

struct Line {
  std::string raw;  // as stored in the file's encoding, without its line end
  LineKind kind = LineKind::Other;
  std::string name;   // section or key name, trimmed, code page 932
  std::string value;  // key value, trimmed, code page 932
};

Line classify(const std::string& raw, const std::string& text) {
  Line line;
  line.raw = raw;
  std::string body = trim(text);
  if (body.empty()) {
    line.kind = LineKind::Blank;
  } else if (body[0] == ';') {
    line.kind = LineKind::Comment;
  } else if (body[0] == '[') {
    size_t close = body.find(']');
    if (close == std::string::npos) {
      line.kind = LineKind::Other;  // a broken header starts no section
    } else {
      line.kind = LineKind::Section;
      line.name = trim(body.substr(1, close - 1));
    }
  } else {
    size_t equals = body.find('=');
    if (equals == std::string::npos) {
      line.kind = LineKind::Other;
    } else {
      line.kind = LineKind::Key;
      line.name = trim(body.substr(0, equals));
      line.value = trim(body.substr(equals + 1));
    }
  }
  return line;
}

struct Parsed {
  Encoding encoding = Encoding::Bytes;
  std::vector<Line> lines;

  // A line made by the writer, from code-page-932 text.
  Line make(const std::string& text) const { return classify(fromCp932(text, encoding), text); }
};

Parsed parse(const std::string& fileText) {
  Parsed parsed;
  size_t pos = 0;
  size_t unit = 1;
  if (fileText.compare(0, kUtf8Bom.size(), kUtf8Bom) == 0) {
    parsed.encoding = Encoding::Utf8;
    pos = kUtf8Bom.size();
  } else if (fileText.compare(0, kUtf16LeBom.size(), kUtf16LeBom) == 0) {
    parsed.encoding = Encoding::Utf16Le;
    pos = kUtf16LeBom.size();
    unit = 2;
  }
  // The code unit at `at` is CR or LF (a UTF-16 unit is little-endian).
  auto isEnd = [&](size_t at, char which) {
    return at + unit <= fileText.size() && fileText[at] == which &&
           (unit == 1 || fileText[at + 1] == '\0');
  };
  auto addLine = [&](size_t from, size_t to) {
    std::string raw = fileText.substr(from, to - from);
    parsed.lines.push_back(classify(raw, toCp932(raw, parsed.encoding)));
  };
  size_t lineStart = pos;
  while (pos < fileText.size()) {
    if (isEnd(pos, '\r') || isEnd(pos, '\n')) {
      addLine(lineStart, pos);
      const bool crlf = isEnd(pos, '\r') && isEnd(pos + unit, '\n');
      pos += crlf ? 2 * unit : unit;
      lineStart = pos;
    } else {
      pos += unit;
    }
  }
  if (lineStart < fileText.size()) addLine(lineStart, fileText.size());
  return parsed;
}

std::string render(const Parsed& parsed) {
  std::string text;
  std::string lineEnd = "\r\n";
  if (parsed.encoding == Encoding::Utf8) text = kUtf8Bom;
  if (parsed.encoding == Encoding::Utf16Le) {
    text = kUtf16LeBom;
    lineEnd = std::string("\r\0\n\0", 4);
  }
  for (const Line& line : parsed.lines) text += line.raw + lineEnd;
  return text;
}

// Index of the first header of `section`, or lines.size().
size_t findSection(const std::vector<Line>& lines, const std::string& section) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].kind == LineKind::Section && namesEqual(lines[i].name, section)) return i;
  return lines.size();
}

// One past the last line of the section whose header is at `header`.
size_t sectionEnd(const std::vector<Line>& lines, size_t header) {
  size_t i = header + 1;
  while (i < lines.size() && lines[i].kind != LineKind::Section) ++i;
  return i;
}

std::string unquote(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// A name that reads back as the same name on its own line: not empty, on one
// line, and without the characters that would make the line something else.
bool storableSection(const std::string& name) {
  return !trim(name).empty() && name.find_first_of("\r\n]") == std::string::npos &&
         name.find('\0') == std::string::npos;
}

bool storableKey(const std::string& name) {
  const std::string trimmed = trim(name);
  return !trimmed.empty() && trimmed[0] != '[' && trimmed[0] != ';' &&
         name.find_first_of("\r\n=") == std::string::npos && name.find('\0') == std::string::npos;
}

// Stores one key into `parsed` (names already checked).
void storeInto(Parsed& parsed, const std::string& section, const std::string& key,
               const std::string& value) {
  std::vector<Line>& lines = parsed.lines;
  const std::string storedValue = value.substr(0, value.find('\0'));
  const std::string wantedSection = trim(section), wantedKey = trim(key);
  size_t header = findSection(lines, wantedSection);
  if (header == lines.size()) {
    lines.push_back(parsed.make("[" + wantedSection + "]"));
    lines.push_back(parsed.make(wantedKey + "=" + storedValue));
    return;
  }
  size_t end = sectionEnd(lines, header);
  size_t found = end;
  size_t lastContent = header;
  for (size_t i = header + 1; i < end; ++i) {
    if (lines[i].kind == LineKind::Key && namesEqual(lines[i].name, wantedKey)) {
      found = i;
      break;
    }
    if (lines[i].kind != LineKind::Blank && lines[i].kind != LineKind::Comment) lastContent = i;
  }
  if (found != end) {
    // The name keeps the spelling the file has.
    lines[found] = parsed.make(lines[found].name + "=" + storedValue);
  } else {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastContent) + 1,
                 parsed.make(wantedKey + "=" + storedValue));
  }
}

// ---- Files -------------------------------------------------------------------

enum class ReadResult { Read, Missing, Unreadable };

// Reads at most kIniFileLimit bytes; a larger file (or one that grows past
// the limit while being read) is unreadable. Never blocks on a named pipe.
ReadResult readSettingsFile(const std::string& path, std::string& text) {
  text.clear();
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno == ENOENT ? ReadResult::Missing : ReadResult::Unreadable;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<unsigned long long>(info.st_size) > kIniFileLimit) {
    close(fd);
    return ReadResult::Unreadable;
  }
  char buffer[8192];
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got > 0) {
      text.append(buffer, static_cast<size_t>(got));
      if (text.size() > kIniFileLimit) break;
    } else if (got == 0) {
      close(fd);
      return ReadResult::Read;
    } else if (errno != EINTR) {
      break;
    }
  }
  close(fd);
  text.clear();
  return ReadResult::Unreadable;
}

bool writeAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote > 0) {
      done += static_cast<size_t>(wrote);
    } else if (wrote < 0 && errno == EINTR) {
      continue;
    } else {
      return false;
    }
  }
  return true;
}

mode_t modeForNewFile() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Where a write really goes: the path itself, or the file a symbolic link
// leads to. False for a link that leads nowhere: replacing it with a file
// would lose the link.
bool writeTarget(const std::string& path, std::string& real) {
  real = path;
  struct stat linkInfo {};
  if (lstat(path.c_str(), &linkInfo) != 0 || !S_ISLNK(linkInfo.st_mode)) return true;
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return false;
  real = resolved;
  std::free(resolved);
  return true;
}

bool isTemporaryName(const std::string& name, const std::string& prefix) {
  if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) return false;
  for (size_t i = prefix.size(); i < name.size(); ++i) {
    const char c = name[i];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

// Temporary files that a write interrupted before its rename left behind.
void removeLeftovers(const std::string& folder, const std::string& prefix) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  std::vector<std::string> leftovers;
  while (dirent* entry = readdir(dir)) {
    if (isTemporaryName(entry->d_name, prefix)) leftovers.push_back(folder + entry->d_name);
  }
  closedir(dir);
  for (const std::string& path : leftovers) {
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) unlink(path.c_str());
  }
}

// Writes `text` to a temporary file beside `real` and renames it over
// `real`; the old file keeps its permissions and, where allowed, its owner.
bool replaceFile(const std::string& real, const std::string& text) {
  struct stat old {};
  bool exists = stat(real.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) return false;

  size_t slash = real.rfind('/');
  std::string folder = slash == std::string::npos ? "./" : real.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? real : real.substr(slash + 1);
  const std::string prefix = "." + base + ".";
  removeLeftovers(folder, prefix);
  std::string temp = folder + prefix + "XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  int fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return false;
  temp.assign(name.data());
  step("created");

  bool ok = writeAll(fd, text);
  if (ok) step("written");
  if (ok && exists) {
    if (fchown(fd, old.st_uid, old.st_gid) != 0) {
      // Another owner cannot be kept without privileges; the mode still is.
    }
  }
  ok = ok && fchmod(fd, exists ? (old.st_mode & 07777) : modeForNewFile()) == 0;
  if (ok) step("mode");
  ok = ok && fsync(fd) == 0;
  if (ok) step("synced");
  ok = (close(fd) == 0) && ok;
  if (ok) step("closed");
  ok = ok && rename(temp.c_str(), real.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  step("renamed");
  int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

// A file this user may change: write permission and at least one write bit
// (a file without any is read-only for everyone, root included).
bool mayWrite(const std::string& real) {
  struct stat info {};
  if (stat(real.c_str(), &info) != 0) return true;  // nothing there yet
  return S_ISREG(info.st_mode) && (info.st_mode & 0222) != 0 &&
         faccessat(AT_FDCWD, real.c_str(), W_OK, AT_EACCESS) == 0;
}

}  // namespace

std::string iniLookup(const std::string& fileText, const std::string& section,
                      const std::string& key) {
  Parsed parsed = parse(fileText);
  const std::vector<Line>& lines = parsed.lines;
  std::string wantedSection = trim(section), wantedKey = trim(key);
  size_t header = findSection(lines, wantedSection);
  if (header == lines.size()) return {};
  size_t end = sectionEnd(lines, header);
  for (size_t i = header + 1; i < end; ++i) {
    if (lines[i].kind != LineKind::Key || !namesEqual(lines[i].name, wantedKey)) continue;
    std::string value = unquote(lines[i].value);
    // A caller sees text up to the first zero byte, and at most 255 bytes.
    value = value.substr(0, value.find('\0'));
    if (value.size() > kIniValueLimit) value.resize(kIniValueLimit);
    return value;
  }
  return {};
}

bool iniStoreAll(const std::string& fileText, const std::string& section,
                 const IniEntries& entries, std::string& newText) {
  if (!storableSection(section)) return false;
  for (const auto& entry : entries) {
    if (!storableKey(entry.first) || entry.second.find_first_of("\r\n") != std::string::npos)
      return false;
  }
  Parsed parsed = parse(fileText);
  for (const auto& entry : entries) storeInto(parsed, section, entry.first, entry.second);
  newText = render(parsed);
  return true;
}

bool iniStore(const std::string& fileText, const std::string& section, const std::string& key,
              const std::string& value, std::string& newText) {
  return iniStoreAll(fileText, section, {{key, value}}, newText);
}

std::string ReadIni(const std::string& section, const std::string& key, const std::string& path) {
  std::string text;
  if (readSettingsFile(path, text) != ReadResult::Read) return {};
  return iniLookup(text, section, key);
}

bool WriteIniKeys(const std::string& section, const IniEntries& entries, const std::string& path) {
  std::string real;
  if (!writeTarget(path, real) || !mayWrite(real)) return false;
  std::string text;
  // An existing file that cannot be read is left alone: writing keys over it
  // would throw away everything else it holds.
  if (readSettingsFile(real, text) == ReadResult::Unreadable) return false;
  std::string newText;
  if (!iniStoreAll(text, section, entries, newText)) return false;
  return replaceFile(real, newText);
}

bool WriteIni(const std::string& section, const std::string& key, const std::string& value,
              const std::string& path) {
  return WriteIniKeys(section, {{key, value}}, path);
}

void setIniWriteStepHook(IniWriteStepHook hook) { g_stepHook = hook; }

}  // namespace platform
