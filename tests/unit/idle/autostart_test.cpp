// The autostart entry: where it goes, how its command is written, and its
// install and removal, each idempotent and touching nothing else.
#include "idle/autostart.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

using namespace idle;

namespace {

std::string readAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::set<std::string> listing(const std::string& folder) {
  std::set<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.insert(name);
    }
    closedir(dir);
  }
  return names;
}

class AutostartFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/miravel-autostart-test.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override {
    if (std::system(("rm -rf '" + root_ + "'").c_str()) != 0) ADD_FAILURE() << "left " << root_;
  }
  std::string root_;
};

}  // namespace

TEST(AutostartFolder, ConfigHomeWhenAbsoluteElseHome) {
  EXPECT_EQ(autostartFolder("/x/conf", "/home/u"), "/x/conf/autostart");
  EXPECT_EQ(autostartFolder("/x/conf/", "/home/u"), "/x/conf/autostart");
  EXPECT_EQ(autostartFolder(nullptr, "/home/u"), "/home/u/.config/autostart");
  EXPECT_EQ(autostartFolder("", "/home/u/"), "/home/u/.config/autostart");
  EXPECT_EQ(autostartFolder("relative/conf", "/home/u"), "/home/u/.config/autostart");
  EXPECT_EQ(autostartFolder(nullptr, nullptr), "");
  EXPECT_EQ(autostartFolder(nullptr, "not/absolute"), "");
}

TEST(AutostartEntry, TheCommandIsQuotedAsDesktopEntriesWantIt) {
  EXPECT_EQ(execArgument("/usr/bin/miravel-idle"), "/usr/bin/miravel-idle");
  EXPECT_EQ(execArgument("/opt/my saver/Miravel.scr"), "\"/opt/my saver/Miravel.scr\"");
  // Inside quotes ", `, $ and \ are escaped, and the backslash of the Exec
  // value is itself written twice in the file.
  EXPECT_EQ(execArgument("/a\"b"), "\"/a\\\\\"b\"");
  EXPECT_EQ(execArgument("/a$b"), "\"/a\\\\$b\"");
  EXPECT_EQ(execArgument("/a\\b"), "\"/a\\\\\\\\b\"");
  EXPECT_EQ(execArgument("/100%"), "/100%%");
  EXPECT_EQ(execArgument(""), "\"\"");
  EXPECT_EQ(execArgument("/a\nb"), "");
  EXPECT_EQ(execArgument("/a\tb"), "");

  const std::string entry =
      autostartEntry({"/usr/bin/miravel-idle", "--after", "5m", "--saver", "/opt/a b/Miravel.scr"});
  EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
  EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos);
  EXPECT_NE(entry.find("\nExec=/usr/bin/miravel-idle --after 5m --saver \"/opt/a b/Miravel.scr\"\n"),
            std::string::npos)
      << entry;
  EXPECT_EQ(autostartEntry({"/usr/bin/miravel-idle", "--saver", "/bad\npath"}), "");
  EXPECT_EQ(autostartEntry({}), "");
}

TEST_F(AutostartFiles, InstallMakesTheFolderAndWritesOnce) {
  const std::string folder = root_ + "/conf/autostart";
  const std::string entry = autostartEntry({"/usr/bin/miravel-idle"});
  std::string error;
  ASSERT_EQ(installAutostart(folder, entry, error), FileChange::Written) << error;
  const std::string path = folder + "/miravel-idle.desktop";
  EXPECT_EQ(readAll(path), entry);
  EXPECT_EQ(listing(folder), std::set<std::string>{"miravel-idle.desktop"});
  struct stat first {};
  ASSERT_EQ(stat(path.c_str(), &first), 0);
  EXPECT_EQ(first.st_mode & 0777, 0644u);

  // The same again leaves the very file alone.
  EXPECT_EQ(installAutostart(folder, entry, error), FileChange::AlreadyThere);
  struct stat second {};
  ASSERT_EQ(stat(path.c_str(), &second), 0);
  EXPECT_EQ(second.st_ino, first.st_ino);

  // Other options replace it whole, with no temporary file left beside it.
  const std::string other = autostartEntry({"/usr/bin/miravel-idle", "--after", "2m"});
  EXPECT_EQ(installAutostart(folder, other, error), FileChange::Written);
  EXPECT_EQ(readAll(path), other);
  EXPECT_EQ(listing(folder), std::set<std::string>{"miravel-idle.desktop"});
}

TEST_F(AutostartFiles, RemoveDeletesOnlyTheEntry) {
  const std::string folder = root_ + "/autostart";
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  std::ofstream(folder + "/other.desktop") << "[Desktop Entry]\n";
  std::ofstream(folder + "/miravel-idle.desktop.bak") << "mine\n";
  std::string error;
  ASSERT_EQ(installAutostart(folder, autostartEntry({"/usr/bin/miravel-idle"}), error),
            FileChange::Written);
  EXPECT_EQ(removeAutostart(folder, error), FileChange::Removed);
  EXPECT_EQ((listing(folder)),
            (std::set<std::string>{"other.desktop", "miravel-idle.desktop.bak"}));
  EXPECT_EQ(removeAutostart(folder, error), FileChange::WasNotThere);
  // A folder that does not exist is not made by a removal.
  EXPECT_EQ(removeAutostart(root_ + "/none/autostart", error), FileChange::WasNotThere);
  EXPECT_EQ(listing(root_), std::set<std::string>{"autostart"});
}

TEST_F(AutostartFiles, FailuresAreReportedAndLeaveNothingBehind) {
  std::string error;
  EXPECT_EQ(installAutostart("", "x", error), FileChange::Failed);
  EXPECT_FALSE(error.empty());
  // A plain file where the folder should be.
  std::ofstream(root_ + "/conf") << "not a folder";
  error.clear();
  EXPECT_EQ(installAutostart(root_ + "/conf/autostart", "x", error), FileChange::Failed);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(readAll(root_ + "/conf"), "not a folder");
  // A folder where the entry should be is not removed.
  ASSERT_EQ(mkdir((root_ + "/a").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((root_ + "/a/miravel-idle.desktop").c_str(), 0755), 0);
  EXPECT_EQ(removeAutostart(root_ + "/a", error), FileChange::Failed);
  EXPECT_EQ(listing(root_ + "/a"), std::set<std::string>{"miravel-idle.desktop"});
}
