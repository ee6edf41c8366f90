// Where the settings file is, and file tests, on Linux.
#include "launcher/settings_music/settings.h"
#include "platform/runtime/runtime.h"

#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

void makeSettingsFolders(const std::string& path) {
  // Made one by one, private to the user as a configuration folder should be.
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    mkdir(path.substr(0, slash).c_str(), 0700);
  }
}

SettingsLocation settingsLocation() {
  SettingsPlaceFacts facts;
  facts.launcherFolder = platform::programFolder();
  facts.launcherFolderWritable =
      !facts.launcherFolder.empty() &&
      faccessat(AT_FDCWD, facts.launcherFolder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
  facts.xdgConfigHome = environment("XDG_CONFIG_HOME");
  facts.home = environment("HOME");
  if (facts.home.empty()) {
    if (const passwd* user = getpwuid(geteuid())) facts.home = user->pw_dir ? user->pw_dir : "";
  }
  const std::string userFile = userSettingsPath(facts);
  struct stat info {};
  facts.userFileExists = !userFile.empty() && lstat(userFile.c_str(), &info) == 0;
  return chooseSettingsLocation(facts);
}

bool FileExists(const std::string& path) {
  std::string tested = path;
  if (!tested.empty() && tested.back() == '/') tested.pop_back();
  if (tested.empty()) return false;
  // Non-blocking, so that a named pipe cannot hang the launcher.
  int fd = open(tested.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
  close(fd);
  return ok;
}
