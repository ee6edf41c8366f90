// The readiness pipe between launcher and renderer: the launcher's end and
// the renderer's, in one process, as a started renderer would use them.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "platform/process/ready_pipe.h"

namespace {

using platform::ReadyShell;

TEST(ReadyPipe, TheDescriptorMustBeAPlainNumberAboveTheStandardStreams) {
  EXPECT_EQ(platform::parseReadyFd(nullptr), -1);
  EXPECT_EQ(platform::parseReadyFd(""), -1);
  EXPECT_EQ(platform::parseReadyFd("0"), -1);
  EXPECT_EQ(platform::parseReadyFd("2"), -1);
  EXPECT_EQ(platform::parseReadyFd("3"), 3);
  EXPECT_EQ(platform::parseReadyFd("017"), 17);
  EXPECT_EQ(platform::parseReadyFd("-5"), -1);
  EXPECT_EQ(platform::parseReadyFd("5 "), -1);
  EXPECT_EQ(platform::parseReadyFd("0x10"), -1);
  EXPECT_EQ(platform::parseReadyFd("99999999999999999999"), -1);
}

TEST(ReadyPipe, OnlyAWholeKnownLineSaysWhichShellIsUp) {
  EXPECT_EQ(platform::parseReadyMessage(""), ReadyShell::NotYet);
  EXPECT_EQ(platform::parseReadyMessage("wayl"), ReadyShell::NotYet);
  EXPECT_EQ(platform::parseReadyMessage("wayland"), ReadyShell::NotYet);
  EXPECT_EQ(platform::parseReadyMessage("wayland\n"), ReadyShell::Wayland);
  EXPECT_EQ(platform::parseReadyMessage("x11\n"), ReadyShell::X11);
  EXPECT_EQ(platform::parseReadyMessage("x11\nwayland\n"), ReadyShell::X11);
  EXPECT_EQ(platform::parseReadyMessage("mir\n"), ReadyShell::NotYet);
  EXPECT_EQ(platform::parseReadyMessage("\nwayland\n"), ReadyShell::NotYet);
}

// The renderer's side reads the variable the launcher's side exported.
TEST(ReadyPipe, TheRendererSaysOnceAndTheLauncherHearsIt) {
  platform::ReadyPipe pipe;
  ASSERT_TRUE(pipe.exportToChildren());
  const char* named = getenv(platform::kReadyFdVariable);
  ASSERT_NE(named, nullptr);
  const int fd = platform::parseReadyFd(named);
  ASSERT_GE(fd, 3);
  EXPECT_EQ(fcntl(fd, F_GETFD) & FD_CLOEXEC, 0) << "the renderer's end must survive exec";

  // What a renderer does at start: dup'ing stands for the inherited copy.
  const int inherited = dup(fd);
  ASSERT_GE(inherited, 3);
  setenv(platform::kReadyFdVariable, std::to_string(inherited).c_str(), 1);
  platform::takeReadyPipeFromEnvironment();
  EXPECT_EQ(getenv(platform::kReadyFdVariable), nullptr);
  EXPECT_NE(fcntl(inherited, F_GETFD) & FD_CLOEXEC, 0);
  pipe.stopExporting();

  EXPECT_EQ(pipe.poll(), ReadyShell::NotYet);
  EXPECT_FALSE(pipe.closedEarly());
  platform::reportRendererReady(ReadyShell::Wayland);
  platform::reportRendererReady(ReadyShell::X11);  // once only: nothing more
  EXPECT_EQ(pipe.poll(), ReadyShell::Wayland);
  EXPECT_EQ(pipe.poll(), ReadyShell::Wayland);
  EXPECT_FALSE(pipe.closedEarly());
  EXPECT_EQ(fcntl(inherited, F_GETFD), -1) << "the renderer's end is closed after its line";
}

TEST(ReadyPipe, ARendererThatEndsWithoutALineClosesItEarly) {
  platform::ReadyPipe pipe;
  ASSERT_TRUE(pipe.exportToChildren());
  const int fd = platform::parseReadyFd(getenv(platform::kReadyFdVariable));
  const int inherited = dup(fd);
  pipe.stopExporting();
  ASSERT_EQ(write(inherited, "wayl", 4), 4);
  close(inherited);
  EXPECT_EQ(pipe.poll(), ReadyShell::NotYet);
  EXPECT_TRUE(pipe.closedEarly());
}

// A launcher started with stdin and stderr closed: the pipe would get 0 and
// 2, which the renderer refuses, and the run would never hear it is up.
TEST(ReadyPipe, ALauncherWithoutItsStandardStreamsStillHandsOnAUsableEnd) {
  const int savedIn = fcntl(0, F_DUPFD_CLOEXEC, 3);
  const int savedErr = fcntl(2, F_DUPFD_CLOEXEC, 3);
  ASSERT_GE(savedIn, 3);
  ASSERT_GE(savedErr, 3);
  close(0);
  close(2);
  bool exported = false;
  int named = -1;
  bool lowStillFree = false;
  ReadyShell heard = ReadyShell::NotYet;
  {
    platform::ReadyPipe pipe;
    exported = pipe.exportToChildren();
    named = platform::parseReadyFd(getenv(platform::kReadyFdVariable));
    lowStillFree = fcntl(0, F_GETFD) == -1 && fcntl(2, F_GETFD) == -1;
    if (named >= 3) {
      const int inherited = fcntl(named, F_DUPFD, 3);
      setenv(platform::kReadyFdVariable, std::to_string(inherited).c_str(), 1);
      platform::takeReadyPipeFromEnvironment();
      pipe.stopExporting();
      platform::reportRendererReady(ReadyShell::Wayland);
      heard = pipe.poll();
    }
    pipe.stopExporting();
  }
  // The streams come back before anything is reported.
  dup2(savedIn, 0);
  dup2(savedErr, 2);
  close(savedIn);
  close(savedErr);
  EXPECT_TRUE(exported);
  EXPECT_GE(named, 3);
  EXPECT_TRUE(lowStillFree) << "the pipe's ends stay off the standard streams' numbers";
  EXPECT_EQ(heard, ReadyShell::Wayland);
}

TEST(ReadyPipe, ANumberThatNamesNoPipeIsNeverWrittenTo) {
  char name[] = "/tmp/miravel-readyfile.XXXXXX";
  const int file = mkstemp(name);
  ASSERT_GE(file, 3);
  setenv(platform::kReadyFdVariable, std::to_string(file).c_str(), 1);
  platform::takeReadyPipeFromEnvironment();
  EXPECT_EQ(getenv(platform::kReadyFdVariable), nullptr);
  platform::reportRendererReady(ReadyShell::Wayland);
  EXPECT_EQ(lseek(file, 0, SEEK_END), 0);
  EXPECT_NE(fcntl(file, F_GETFD), -1) << "a file that is not ours stays open";
  close(file);
  unlink(name);
}

}  // namespace
