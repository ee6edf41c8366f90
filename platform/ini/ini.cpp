#include "platform/ini/ini.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

const std::string kUtf8Bom = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trim(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool isShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

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
  std::string text;  // without its line end
  LineKind kind = LineKind::Other;
  std::string name;   // section or key name, trimmed
  std::string value;  // key value, trimmed
};

Line classify(const std::string& text) {
  Line line;
  line.text = text;
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
  bool bom = false;
  std::vector<Line> lines;
};

Parsed parse(const std::string& fileText) {
  Parsed parsed;
  size_t pos = 0;
  if (fileText.compare(0, kUtf8Bom.size(), kUtf8Bom) == 0) {
    parsed.bom = true;
    pos = kUtf8Bom.size();
  }
  while (pos < fileText.size()) {
    size_t end = fileText.find_first_of("\r\n", pos);
    if (end == std::string::npos) {
      parsed.lines.push_back(classify(fileText.substr(pos)));
      break;
    }
    parsed.lines.push_back(classify(fileText.substr(pos, end - pos)));
    pos = end + ((fileText[end] == '\r' && end + 1 < fileText.size() && fileText[end + 1] == '\n') ? 2 : 1);
  }
  return parsed;
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

bool readWholeFile(const std::string& path, std::string& text, bool& missing) {
  missing = false;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    missing = errno == ENOENT;
    return false;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return false;
  }
  text.clear();
  char buffer[8192];
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got > 0) {
      text.append(buffer, static_cast<size_t>(got));
    } else if (got == 0) {
      break;
    } else if (errno != EINTR) {
      close(fd);
      return false;
    }
  }
  close(fd);
  return true;
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

// Writes `text` to a temporary file beside `target` and renames it over
// `target`; the old file keeps its permissions and, where allowed, its owner.
bool replaceFile(const std::string& target, const std::string& text) {
  std::string real = target;
  struct stat linkInfo {};
  if (lstat(target.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
    // Replace the file a symbolic link points at, not the link itself.
    char* resolved = realpath(target.c_str(), nullptr);
    if (resolved) {
      real = resolved;
      std::free(resolved);
    }
  }
  struct stat old {};
  bool exists = stat(real.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) return false;

  size_t slash = real.rfind('/');
  std::string folder = slash == std::string::npos ? "." : real.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? real : real.substr(slash + 1);
  std::string temp = folder + "." + base + ".XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  int fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return false;
  temp.assign(name.data());

  bool ok = writeAll(fd, text);
  if (ok && exists) {
    if (fchown(fd, old.st_uid, old.st_gid) != 0) {
      // Another owner cannot be kept without privileges; the mode still is.
    }
  }
  ok = ok && fchmod(fd, exists ? (old.st_mode & 07777) : modeForNewFile()) == 0;
  ok = ok && fsync(fd) == 0;
  ok = (close(fd) == 0) && ok;
  ok = ok && rename(temp.c_str(), real.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

bool storableName(const std::string& name, char forbidden) {
  return !trim(name).empty() && name.find_first_of("\r\n") == std::string::npos &&
         name.find(forbidden) == std::string::npos && name.find('\0') == std::string::npos;
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

bool iniStore(const std::string& fileText, const std::string& section, const std::string& key,
              const std::string& value, std::string& newText) {
  if (!storableName(section, ']') || !storableName(key, '=')) return false;
  if (value.find_first_of("\r\n") != std::string::npos) return false;
  std::string storedValue = value.substr(0, value.find('\0'));
  std::string wantedSection = trim(section), wantedKey = trim(key);

  Parsed parsed = parse(fileText);
  std::vector<Line>& lines = parsed.lines;
  size_t header = findSection(lines, wantedSection);
  if (header == lines.size()) {
    lines.push_back(classify("[" + wantedSection + "]"));
    lines.push_back(classify(wantedKey + "=" + storedValue));
  } else {
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
      lines[found] = classify(lines[found].name + "=" + storedValue);
    } else {
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastContent) + 1,
                   classify(wantedKey + "=" + storedValue));
    }
  }

  newText = parsed.bom ? kUtf8Bom : std::string();
  for (const Line& line : lines) newText += line.text + "\r\n";
  return true;
}

std::string ReadIni(const std::string& section, const std::string& key, const std::string& path) {
  std::string text;
  bool missing = false;
  if (!readWholeFile(path, text, missing)) return {};
  return iniLookup(text, section, key);
}

bool WriteIni(const std::string& section, const std::string& key, const std::string& value,
              const std::string& path) {
  std::string text;
  bool missing = false;
  // An existing file that cannot be read is left alone: writing one key
  // over it would throw away everything else it holds.
  if (!readWholeFile(path, text, missing)) {
    if (!missing) return false;
    text.clear();
  }
  std::string newText;
  if (!iniStore(text, section, key, value, newText)) return false;
  return replaceFile(path, newText);
}

}  // namespace platform
