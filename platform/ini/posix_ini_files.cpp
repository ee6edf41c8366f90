// The settings file on disk, on Linux: reading with a size limit, the atomic
// replace through a temporary file and rename, and the text conversions of
// files with a byte-order mark (iconv).
#include "platform/ini/ini.h"
#include "platform/ini/ini_internal.h"

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

}  // namespace

// Converts with iconv; a character that is not valid in `from` or has no
// counterpart in `to` becomes "?", as the system's conversion does.
std::string convertText(const char* from, const char* to, const std::string& text) {
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

namespace {

// ---- Files -------------------------------------------------------------------

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

}  // namespace

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
  iniWriteStep("created");

  bool ok = writeAll(fd, text);
  if (ok) iniWriteStep("written");
  if (ok && exists) {
    if (fchown(fd, old.st_uid, old.st_gid) != 0) {
      // Another owner cannot be kept without privileges; the mode still is.
    }
  }
  ok = ok && fchmod(fd, exists ? (old.st_mode & 07777) : modeForNewFile()) == 0;
  if (ok) iniWriteStep("mode");
  ok = ok && fsync(fd) == 0;
  if (ok) iniWriteStep("synced");
  ok = (close(fd) == 0) && ok;
  if (ok) iniWriteStep("closed");
  ok = ok && rename(temp.c_str(), real.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  iniWriteStep("renamed");
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


}  // namespace platform
