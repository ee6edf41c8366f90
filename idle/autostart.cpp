#include "idle/autostart.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace idle {

std::string autostartFolder(const char* xdgConfigHome, const char* home) {
  std::string base;
  if (xdgConfigHome && xdgConfigHome[0] == '/') {
    base = xdgConfigHome;
  } else if (home && home[0] == '/') {
    base = home;
    if (base.back() != '/') base += '/';
    base += ".config";
  } else {
    return {};
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base + "/autostart";
}

std::string execArgument(const std::string& argument) {
  bool needsQuotes = argument.empty();
  for (const unsigned char c : argument) {
    if (c < 0x20 || c == 0x7f) return {};
    if (std::strchr(" \t\"'\\><~|&;$*?#()`", c)) needsQuotes = true;
  }
  std::string out;
  if (needsQuotes) out += '"';
  for (const char c : argument) {
    if (needsQuotes && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
    if (c == '%') out += '%';
    out += c;
  }
  if (needsQuotes) out += '"';
  // The Exec value is itself a string value of the desktop entry, where a
  // backslash is written twice.
  std::string escaped;
  for (const char c : out) {
    if (c == '\\') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string autostartEntry(const std::vector<std::string>& command) {
  std::string exec;
  for (const std::string& argument : command) {
    const std::string written = execArgument(argument);
    if (written.empty()) return {};
    if (!exec.empty()) exec += ' ';
    exec += written;
  }
  if (exec.empty()) return {};
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Miravel on idle\n"
         "Comment=Shows the Miravel screen saver when the session is idle\n"
         "Exec=" + exec + "\n"
         "Icon=miravel\n"
         "Terminal=false\n"
         "NoDisplay=true\n"
         "X-GNOME-Autostart-enabled=true\n";
}

namespace {

std::string entryPath(const std::string& folder) { return folder + "/" + kAutostartFileName; }

// mkdir -p, 0700 for what it makes: the folders of a user's settings.
bool makeFolders(const std::string& folder, std::string& error) {
  for (std::size_t slash = 1; slash <= folder.size(); ++slash) {
    if (slash != folder.size() && folder[slash] != '/') continue;
    const std::string part = folder.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      error = "cannot make " + part + ": " + std::strerror(errno);
      return false;
    }
  }
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    error = folder + " is not a folder";
    return false;
  }
  return true;
}

// The file's text when it is a plain file no larger than `limit`.
bool readSmallFile(const std::string& path, std::size_t limit, std::string& text) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
            static_cast<std::size_t>(info.st_size) <= limit;
  text.clear();
  char buffer[4096];
  while (ok) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    text.append(buffer, static_cast<std::size_t>(got));
    if (text.size() > limit) ok = false;
  }
  close(fd);
  return ok;
}

bool writeAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

}  // namespace

FileChange installAutostart(const std::string& folder, const std::string& text,
                            std::string& error) {
  if (folder.empty() || text.empty()) {
    error = "no autostart folder (neither XDG_CONFIG_HOME nor HOME is set)";
    return FileChange::Failed;
  }
  const std::string path = entryPath(folder);
  std::string present;
  if (readSmallFile(path, text.size() + 1, present) && present == text) {
    return FileChange::AlreadyThere;
  }
  if (!makeFolders(folder, error)) return FileChange::Failed;
  std::string temporary = path + ".XXXXXX";
  const int fd = mkostemp(&temporary[0], O_CLOEXEC);
  if (fd < 0) {
    error = "cannot write in " + folder + ": " + std::strerror(errno);
    return FileChange::Failed;
  }
  const bool written = fchmod(fd, 0644) == 0 && writeAll(fd, text) && fsync(fd) == 0;
  const int savedErrno = errno;
  const bool closed = close(fd) == 0;
  if (!written || !closed || rename(temporary.c_str(), path.c_str()) != 0) {
    error = "cannot write " + path + ": " + std::strerror(written && closed ? errno : savedErrno);
    unlink(temporary.c_str());
    return FileChange::Failed;
  }
  return FileChange::Written;
}

FileChange removeAutostart(const std::string& folder, std::string& error) {
  if (folder.empty()) {
    error = "no autostart folder (neither XDG_CONFIG_HOME nor HOME is set)";
    return FileChange::Failed;
  }
  const std::string path = entryPath(folder);
  if (unlink(path.c_str()) == 0) return FileChange::Removed;
  if (errno == ENOENT || errno == ENOTDIR) return FileChange::WasNotThere;
  error = "cannot remove " + path + ": " + std::strerror(errno);
  return FileChange::Failed;
}

}  // namespace idle
