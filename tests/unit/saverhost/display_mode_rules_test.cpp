// The launcher's display-mode rules: one music lock per X display, and the
// limit on starting a renderer that keeps ending.
#include "launcher/core/display_mode_rules.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

TEST(MusicLockPath, OneLockPerXDisplayWhateverTheScreen) {
  EXPECT_EQ(musicLockPath("/run/user/1000", ":5.1", 1000), "/run/user/1000/miravel-music-:5.lock");
  EXPECT_EQ(musicLockPath("/run/user/1000", ":5.0", 1000), musicLockPath("/run/user/1000", ":5", 1000));
  EXPECT_NE(musicLockPath("/run/user/1000", ":5", 1000), musicLockPath("/run/user/1000", ":6", 1000));
  EXPECT_EQ(musicLockPath("/r", "localhost:10.0", 1), "/r/miravel-music-localhost:10.lock");
  // A host name with dots keeps them; only the screen after the display goes.
  EXPECT_EQ(musicLockPath("/r", "box.example.org:2.1", 1), "/r/miravel-music-box.example.org:2.lock");
}

TEST(MusicLockPath, NoRuntimeFolderFallsBackToTmpPerUserAndOddNamesAreMadeSafe) {
  EXPECT_EQ(musicLockPath(nullptr, ":3", 1001), "/tmp/miravel-music-1001-:3.lock");
  EXPECT_EQ(musicLockPath("", ":3", 1001), "/tmp/miravel-music-1001-:3.lock");
  EXPECT_EQ(musicLockPath("relative/dir", ":3", 1001), "/tmp/miravel-music-1001-:3.lock");
  EXPECT_EQ(musicLockPath("/r", nullptr, 1), "/r/miravel-music-:0.lock");
  EXPECT_EQ(musicLockPath("/r", "", 1), "/r/miravel-music-:0.lock");
  // A slash (unix/:0) or other strange characters never reach the path.
  EXPECT_EQ(musicLockPath("/r", "unix/../:0", 1), "/r/miravel-music-unix_.._:0.lock");
}

TEST(FileLock, OnlyOneHolderAtATimeAndNotPassedToStartedPrograms) {
  char folder[] = "/tmp/miravel-lock-test.XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string path = std::string(folder) + "/music.lock";

  const int first = takeFileLock(path);
  ASSERT_GE(first, 0);
  EXPECT_EQ(takeFileLock(path), -1);  // a second launcher of the same display
  EXPECT_TRUE(fcntl(first, F_GETFD) & FD_CLOEXEC);
  close(first);  // the holder ended
  const int again = takeFileLock(path);
  EXPECT_GE(again, 0);
  close(again);

  EXPECT_EQ(takeFileLock(std::string(folder) + "/missing/music.lock"), -1);
  unlink(path.c_str());
  rmdir(folder);
}

TEST(RestartLimit, AtMostOneStartPerGap) {
  RestartLimit limit(5);
  EXPECT_TRUE(limit.mayStart(100));
  limit.started(100);
  EXPECT_FALSE(limit.mayStart(100));
  EXPECT_FALSE(limit.mayStart(104.9));
  EXPECT_TRUE(limit.mayStart(105));
  limit.started(105);
  EXPECT_FALSE(limit.mayStart(107));
  // A clock that went backwards never blocks starts for good.
  EXPECT_TRUE(limit.mayStart(50));
}
