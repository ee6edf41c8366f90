#include "platform/ini/ini.h"

#include "platform/ini/ini_internal.h"

#include <vector>

namespace platform {
namespace {

// ---- Encodings ---------------------------------------------------------------

// How the file's text is stored. Names and values are always handled as
// code-page-932 text; a file with a byte-order mark is decoded for that and
// encoded back when written.
enum class Encoding { Bytes, Utf8, Utf16Le };

const std::string kUtf8Bom = "\xEF\xBB\xBF";
const std::string kUtf16LeBom = "\xFF\xFE";

bool isShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

const char* encodingName(Encoding encoding) {
  return encoding == Encoding::Utf8 ? "UTF-8" : "UTF-16LE";
}

std::string toCp932(const std::string& raw, Encoding encoding) {
  return encoding == Encoding::Bytes ? raw : convertText(encodingName(encoding), "CP932", raw);
}

std::string fromCp932(const std::string& text, Encoding encoding) {
  return encoding == Encoding::Bytes ? text : convertText("CP932", encodingName(encoding), text);
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

  // Whether code-page-932 text is stored in this file so that it reads back
  // as the same bytes. Always so for a file of bytes. In a file with a mark,
  // bytes that are no code-page-932 character would be written as "?", and a
  // character with two codes (NEC and IBM forms of one kanji) comes back as
  // the other one.
  bool holds(const std::string& text) const {
    return encoding == Encoding::Bytes || toCp932(fromCp932(text, encoding), encoding) == text;
  }
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
  // A UTF-16 file cut short (a full disk, a broken copy) ends in half a code
  // unit. That byte is no character: the file is read as far as it is whole,
  // and a write leaves it out, so that every line after it stays aligned.
  const size_t end = fileText.size() - (fileText.size() - pos) % unit;
  // The code unit at `at` is CR or LF (a UTF-16 unit is little-endian).
  auto isEnd = [&](size_t at, char which) {
    return at + unit <= end && fileText[at] == which && (unit == 1 || fileText[at + 1] == '\0');
  };
  auto addLine = [&](size_t from, size_t to) {
    std::string raw = fileText.substr(from, to - from);
    parsed.lines.push_back(classify(raw, toCp932(raw, parsed.encoding)));
  };
  size_t lineStart = pos;
  while (pos < end) {
    if (isEnd(pos, '\r') || isEnd(pos, '\n')) {
      addLine(lineStart, pos);
      const bool crlf = isEnd(pos, '\r') && isEnd(pos + unit, '\n');
      pos += crlf ? 2 * unit : unit;
      lineStart = pos;
    } else {
      pos += unit;
    }
  }
  if (lineStart < end) addLine(lineStart, end);
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

// What of a value is stored: the text up to a zero byte, as a caller of the
// profile functions hands it over.
std::string storedValueOf(const std::string& value) { return value.substr(0, value.find('\0')); }

// Stores one key into `parsed` (names already checked).
void storeInto(Parsed& parsed, const std::string& section, const std::string& key,
               const std::string& value) {
  std::vector<Line>& lines = parsed.lines;
  const std::string storedValue = storedValueOf(value);
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
  // What the file's encoding cannot hold is refused as a whole, before
  // anything is stored: a name written as something else would never be
  // found again, and each later write would add its key once more.
  if (!parsed.holds(section)) return false;
  for (const auto& entry : entries) {
    if (!parsed.holds(entry.first) || !parsed.holds(storedValueOf(entry.second))) return false;
  }
  for (const auto& entry : entries) storeInto(parsed, section, entry.first, entry.second);
  newText = render(parsed);
  return true;
}

bool iniStore(const std::string& fileText, const std::string& section, const std::string& key,
              const std::string& value, std::string& newText) {
  return iniStoreAll(fileText, section, {{key, value}}, newText);
}

// ---- The file ------------------------------------------------------------------

namespace {
IniWriteStepHook g_stepHook = nullptr;
}  // namespace

void iniWriteStep(const char* name) {
  if (g_stepHook) g_stepHook(name);
}

void setIniWriteStepHook(IniWriteStepHook hook) { g_stepHook = hook; }

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

}  // namespace platform
