// The file lock that marks a running saver, and the look at it that takes
// nothing (where no window shows a saver that is up, the launcher asks it).
#include "platform/process/file_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

class FileLockFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/miravel-filelock.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
    path = platform::saverRunLockPath(folder.c_str());
  }
  void TearDown() override {
    unlink(path.c_str());
    rmdir(folder.c_str());
  }
  std::string folder, path;
};

TEST_F(FileLockFiles, TheLookSeesAHolderWithoutTakingTheLockOrMakingTheFile) {
  EXPECT_FALSE(platform::fileLockHeld(path));
  struct stat info {};
  EXPECT_NE(lstat(path.c_str(), &info), 0) << "looking made the file";

  int holder = -1;
  ASSERT_EQ(platform::lockFile(path, holder), platform::FileLock::Taken);
  EXPECT_TRUE(platform::fileLockHeld(path));
  EXPECT_TRUE(platform::fileLockHeld(path)) << "the first look kept something open";
  close(holder);

  EXPECT_FALSE(platform::fileLockHeld(path));
  int next = -1;
  EXPECT_EQ(platform::lockFile(path, next), platform::FileLock::Taken)
      << "the look left the lock taken";
  close(next);
}

TEST_F(FileLockFiles, NothingButTheUsersPlainFileCountsAsHeld) {
  EXPECT_FALSE(platform::fileLockHeld(""));
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  EXPECT_FALSE(platform::fileLockHeld(path)) << "a fifo holds no lock";
}

}  // namespace
