#include <gtest/gtest.h>

#include "renderer/shell/run_lock.h"
#include "renderer/shell/shell_choice.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

TEST(ShellChoice, WaylandWhereADisplayIsNamedUnlessX11IsForced) {
  struct Case {
    const char* platform;
    const char* wayland;
    RendererShell shell;
  } cases[] = {
      {nullptr, nullptr, RendererShell::X11},
      {nullptr, "", RendererShell::X11},
      {nullptr, "wayland-1", RendererShell::Wayland},
      {"x11", "wayland-1", RendererShell::X11},
      {"X11", "wayland-1", RendererShell::X11},
      {"wayland", nullptr, RendererShell::Wayland},
      {"", "wayland-0", RendererShell::Wayland},
      {"junk", nullptr, RendererShell::X11},
  };
  for (const Case& c : cases)
    EXPECT_EQ(preferredShell(c.platform, c.wayland), c.shell)
        << (c.platform ? c.platform : "(unset)") << " / " << (c.wayland ? c.wayland : "(unset)");
}

TEST(RunLock, PathOnlyInAnAbsoluteRuntimeFolder) {
  EXPECT_EQ(runLockPath(nullptr), "");
  EXPECT_EQ(runLockPath(""), "");
  EXPECT_EQ(runLockPath("run/user/1000"), "");
  EXPECT_EQ(runLockPath("/run/user/1000"), "/run/user/1000/miravel-renderer.lock");
  EXPECT_EQ(runLockPath("/run/user/1000//"), "/run/user/1000/miravel-renderer.lock");
  EXPECT_EQ(runLockPath("/"), "/miravel-renderer.lock");
}

class RunLockFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/miravel-runlock.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
    path = runLockPath(folder.c_str());
  }
  void TearDown() override {
    unlink(path.c_str());
    unlink((folder + "/elsewhere").c_str());
    rmdir(folder.c_str());
  }
  std::string folder, path;
};

TEST_F(RunLockFiles, ASecondRendererFindsItHeldUntilTheFirstGoes) {
  {
    RunLock first;
    ASSERT_EQ(first.take(path), RunLock::Result::Taken);
    RunLock second;
    EXPECT_EQ(second.take(path), RunLock::Result::HeldByAnother);
  }
  RunLock later;
  EXPECT_EQ(later.take(path), RunLock::Result::Taken);
}

TEST_F(RunLockFiles, NoLockRatherThanOneThroughALinkOrInAnotherKindOfFile) {
  RunLock none;
  EXPECT_EQ(none.take(""), RunLock::Result::NoLock);

  const std::string target = folder + "/elsewhere";
  ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);
  RunLock linked;
  EXPECT_EQ(linked.take(path), RunLock::Result::NoLock);
  struct stat info {};
  EXPECT_NE(lstat(target.c_str(), &info), 0) << "the link's target was created";
  unlink(path.c_str());

  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  RunLock fifo;
  EXPECT_EQ(fifo.take(path), RunLock::Result::NoLock);
}

}  // namespace
