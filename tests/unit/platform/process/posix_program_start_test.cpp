// Starting a program: the wait for it to come up, its end, its reaping, a
// path that cannot be started, and what the started program inherits.
#include "platform/process/posix_program_start.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using platform::StartOutcome;
using platform::startProgram;

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::string readAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The process state letter from /proc ("Z" for a zombie), empty once it is
// gone entirely.
std::string processState(pid_t pid) {
  std::string stat = readAll("/proc/" + std::to_string(pid) + "/stat");
  size_t close = stat.rfind(')');
  return close == std::string::npos || close + 2 >= stat.size() ? "" : stat.substr(close + 2, 1);
}

// Waits up to `limit` seconds for the process to be gone (reaped, not a zombie).
bool goneWithin(pid_t pid, double limit) {
  auto start = std::chrono::steady_clock::now();
  while (secondsSince(start) < limit) {
    if (processState(pid).empty()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

class ProgramStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/miravel-start.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    if (std::system(("rm -rf '" + dir + "'").c_str()) != 0)
      ADD_FAILURE() << "the temporary folder stays: " << dir;
  }

  std::string script(const std::string& name, const std::string& body, mode_t mode = 0755) {
    std::string path = dir + "/" + name;
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    chmod(path.c_str(), mode);
    return path;
  }

  std::string dir;
};

}  // namespace

TEST_F(ProgramStartTest, WhatCannotBeStartedFailsAtOnce) {
  const std::string cases[] = {
      dir + "/missing",
      script("not-executable", "exit 0", 0644),
      dir,  // a folder
  };
  for (const std::string& path : cases) {
    auto start = std::chrono::steady_clock::now();
    platform::ProgramStart result = startProgram(path, [] { return false; }, 5);
    EXPECT_EQ(result.outcome, StartOutcome::Failed) << path;
    EXPECT_EQ(result.pid, -1) << path;
    EXPECT_LT(secondsSince(start), 1.0) << path;
  }
}

TEST_F(ProgramStartTest, ReturnsOnceReadyNotBefore) {
  const std::string flag = dir + "/up";
  const std::string path = script("slow", "sleep 0.4; touch '" + flag + "'; sleep 5");
  auto start = std::chrono::steady_clock::now();
  platform::ProgramStart result = startProgram(path, [&] { return exists(flag); }, 5);
  const double waited = secondsSince(start);
  EXPECT_EQ(result.outcome, StartOutcome::Ready);
  EXPECT_GE(waited, 0.35);
  EXPECT_LT(waited, 3.0);
  ASSERT_GT(result.pid, 0);
  kill(result.pid, SIGKILL);
  EXPECT_TRUE(goneWithin(result.pid, 3)) << "left as a zombie: " << processState(result.pid);
}

TEST_F(ProgramStartTest, AProgramThatEndsEndsTheWaitAndIsReaped) {
  const std::string path = script("quick", "exit 3");
  auto start = std::chrono::steady_clock::now();
  platform::ProgramStart result = startProgram(path, [] { return false; }, 5);
  EXPECT_EQ(result.outcome, StartOutcome::Ended);
  EXPECT_LT(secondsSince(start), 2.0);
  ASSERT_GT(result.pid, 0);
  EXPECT_TRUE(goneWithin(result.pid, 1)) << "left as a zombie: " << processState(result.pid);
}

// The end descriptor: silent while the program runs, readable once it has
// ended (also when it had ended before the descriptor was asked for), and
// none for a program that is not one of ours or was reaped already.
TEST_F(ProgramStartTest, TheEndDescriptorTellsOfTheEndWithoutLooking) {
  const std::string path = script("sleeper", "exec sleep 30");
  platform::ProgramStart running = startProgram(path);
  ASSERT_GT(running.pid, 0);
  const int fd = platform::programEndDescriptor(running.pid);
  ASSERT_GE(fd, 0);
  pollfd waiting{fd, POLLIN, 0};
  EXPECT_EQ(poll(&waiting, 1, 200), 0) << "readable while the program runs";
  ASSERT_TRUE(platform::signalProgram(running.pid, SIGTERM));
  EXPECT_EQ(poll(&waiting, 1, 3000), 1) << "not readable after the end";
  EXPECT_TRUE(platform::programHasEnded(running.pid));
  close(fd);
  EXPECT_EQ(platform::programEndDescriptor(running.pid), -1) << "a descriptor for a reaped program";

  const platform::ProgramStart quick = startProgram(script("quick-end", "exit 0"));
  ASSERT_GT(quick.pid, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const int late = platform::programEndDescriptor(quick.pid);
  if (late >= 0) {  // still in its slot as a zombie, or reaped: either is an end
    pollfd ended{late, POLLIN, 0};
    EXPECT_EQ(poll(&ended, 1, 0), 1);
    close(late);
  }
  EXPECT_TRUE(platform::programHasEnded(quick.pid));
  EXPECT_EQ(platform::programEndDescriptor(getpid()), -1) << "a descriptor for a stranger";
}

TEST_F(ProgramStartTest, TheWaitIsBounded) {
  const std::string path = script("never-ready", "exec sleep 30");
  auto start = std::chrono::steady_clock::now();
  platform::ProgramStart result = startProgram(path, [] { return false; }, 0.5);
  const double waited = secondsSince(start);
  EXPECT_EQ(result.outcome, StartOutcome::TimedOut);
  EXPECT_GE(waited, 0.45);
  EXPECT_LT(waited, 2.5);
  ASSERT_GT(result.pid, 0);
  EXPECT_EQ(processState(result.pid), "S");  // still running, not waited for
  kill(result.pid, SIGTERM);
  EXPECT_TRUE(goneWithin(result.pid, 3)) << "left as a zombie: " << processState(result.pid);
}

TEST_F(ProgramStartTest, ProgramsEndingLaterAreReapedWithoutBeingAskedFor) {
  // Nobody waits here: the programs end while this thread sleeps.
  pid_t pids[3];
  for (int i = 0; i < 3; ++i) {
    platform::ProgramStart result = startProgram(script("later" + std::to_string(i), "sleep 0.2"));
    EXPECT_EQ(result.outcome, StartOutcome::Started);
    pids[i] = result.pid;
  }
  for (pid_t pid : pids) {
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(goneWithin(pid, 3)) << "left as a zombie: " << processState(pid);
  }
}

TEST_F(ProgramStartTest, NothingOnTheCommandLineAndDefaultSignals) {
  const std::string report = dir + "/report";
  // SIGINT and SIGTERM ignored here, SIGUSR1 blocked: none of it may reach
  // the started program.
  struct sigaction ignore {}, oldInt, oldTerm;
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGINT, &ignore, &oldInt);
  sigaction(SIGTERM, &ignore, &oldTerm);
  sigset_t usr1, oldMask;
  sigemptyset(&usr1);
  sigaddset(&usr1, SIGUSR1);
  pthread_sigmask(SIG_BLOCK, &usr1, &oldMask);

  // The masks are read with shell built-ins only, before the shell starts
  // any child: while it starts one, the shell blocks every signal for a
  // moment itself, and a child reading the shell's status could see that.
  const std::string path = script(
      "show-start",
      "{ echo \"$#\"; echo \"$0\"; while read -r line; do case $line in SigBlk:*|SigIgn:*) "
      "echo \"$line\";; esac; done < /proc/$$/status; } > '" +
          report + ".part'; mv '" + report + ".part' '" + report + "'");
  platform::ProgramStart result = startProgram(path, [&] { return exists(report); }, 5);

  pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
  sigaction(SIGINT, &oldInt, nullptr);
  sigaction(SIGTERM, &oldTerm, nullptr);

  ASSERT_EQ(result.outcome, StartOutcome::Ready);
  std::istringstream lines(readAll(report));
  std::string count, name, blocked, ignored;
  std::getline(lines, count);
  std::getline(lines, name);
  std::getline(lines, blocked);
  std::getline(lines, ignored);
  EXPECT_EQ(count, "0");
  EXPECT_EQ(name, path);
  // Signals 1-31: the C library sets the start of its own two internal
  // real-time signals itself, and every program's C library takes them back.
  auto classic = [](const std::string& line) {
    size_t tab = line.find('\t');
    return tab == std::string::npos ? ~0ull : std::stoull(line.substr(tab + 1), nullptr, 16) & 0x7fffffffull;
  };
  EXPECT_EQ(classic(blocked), 0u) << blocked;
  EXPECT_EQ(classic(ignored), 0u) << ignored;
}

// Display mode passes its options on: each argument arrives as one, blanks
// and dashes untouched, after the program's own path as argv[0].
TEST_F(ProgramStartTest, ArgumentsArriveOneByOneAfterThePath) {
  const std::string out = dir + "/seen";
  const std::string path =
      script("args", "printf '%s|' \"$0\" \"$#\" \"$@\" > '" + out + ".tmp'; mv '" + out + ".tmp' '" + out + "'");
  platform::ProgramStart result =
      startProgram(path, {"--root", "--window-id", "0x2a", "two words"}, [&] { return exists(out); }, 5);
  ASSERT_EQ(result.outcome, StartOutcome::Ready);
  EXPECT_EQ(readAll(out), path + "|4|--root|--window-id|0x2a|two words|");
  EXPECT_TRUE(goneWithin(result.pid, 3));
}

TEST_F(ProgramStartTest, TheReadyTestKnowsThePidAndTheEndOfThatProgramIsSeen) {
  const std::string path = script("runs", "exec sleep 30");
  pid_t seen = -1;
  platform::ProgramStart result = startProgram(
      path, std::function<bool(pid_t)>([&seen](pid_t pid) {
        seen = pid;
        return true;
      }),
      5);
  EXPECT_EQ(result.outcome, StartOutcome::Ready);
  ASSERT_GT(result.pid, 0);
  EXPECT_EQ(seen, result.pid);
  EXPECT_FALSE(platform::programHasEnded(result.pid));
  kill(result.pid, SIGTERM);
  auto start = std::chrono::steady_clock::now();
  while (!platform::programHasEnded(result.pid) && secondsSince(start) < 3)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(platform::programHasEnded(result.pid));
  EXPECT_TRUE(goneWithin(result.pid, 1)) << "left as a zombie: " << processState(result.pid);
  // Never started here, or no program at all: nothing to wait for.
  EXPECT_TRUE(platform::programHasEnded(-1));
  EXPECT_TRUE(platform::programHasEnded(getpid()));
}

TEST_F(ProgramStartTest, NoSignalReachesAProgramOnceItsEndIsRecorded) {
  platform::ProgramStart result = startProgram(script("stops", "exec sleep 30"));
  ASSERT_GT(result.pid, 0);
  EXPECT_TRUE(platform::signalProgram(result.pid, SIGSTOP));
  auto start = std::chrono::steady_clock::now();
  while (processState(result.pid) != "T" && secondsSince(start) < 3)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(processState(result.pid), "T");
  EXPECT_TRUE(platform::signalProgram(result.pid, SIGKILL));
  start = std::chrono::steady_clock::now();
  while (!platform::programHasEnded(result.pid) && secondsSince(start) < 3)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(platform::programHasEnded(result.pid));
  // Reaped: the pid is free for anyone, so nothing is sent to it any more.
  EXPECT_FALSE(platform::signalProgram(result.pid, SIGTERM));
  // Never started here: not even this process gets a signal.
  EXPECT_FALSE(platform::signalProgram(getpid(), 0));
  EXPECT_FALSE(platform::signalProgram(-1, 0));
}

// The reaper runs in whichever thread takes SIGCHLD; here that is always
// another thread than the one signalling. Programs end while signals go to
// them: each end is still recorded and reaped, and no signal is sent once it
// is (the signal test and the reaping never pass each other).
TEST_F(ProgramStartTest, SignalsFromOneThreadAndReapingInAnotherNeverCross) {
  // This thread blocks SIGCHLD; a thread that blocks nothing, as a library's
  // thread does, gets it. Both are undone however the test ends.
  struct OtherThreadTakesChildSignals {
    OtherThreadTakesChildSignals() {
      sigset_t childSignal;
      sigemptyset(&childSignal);
      sigaddset(&childSignal, SIGCHLD);
      pthread_sigmask(SIG_BLOCK, &childSignal, &previous);
      library = std::thread([this] {
        sigset_t none;
        sigemptyset(&none);
        pthread_sigmask(SIG_SETMASK, &none, nullptr);
        while (!done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      });
    }
    ~OtherThreadTakesChildSignals() {
      done = true;
      library.join();
      pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    }
    sigset_t previous;
    std::atomic<bool> done{false};
    std::thread library;
  } threads;
  const std::string quick = script("quick", "exit 0");
  for (int round = 0; round < 20; ++round) {
    std::vector<pid_t> pids;
    for (int i = 0; i < 8; ++i) {
      const platform::ProgramStart started = startProgram(quick);
      ASSERT_GT(started.pid, 0);
      pids.push_back(started.pid);
    }
    // Nothing here asks for the ends: the reaper records them (in the other
    // thread, or at the start for a program that ended before it was on the
    // list, whose SIGCHLD the other thread got first). Until then every
    // signal goes out.
    const auto start = std::chrono::steady_clock::now();
    size_t reaped = 0;
    std::vector<bool> seenReaped(pids.size(), false);
    while (reaped < pids.size() && secondsSince(start) < 10) {
      for (size_t i = 0; i < pids.size(); ++i) {
        const bool sent = platform::signalProgram(pids[i], 0);
        if (seenReaped[i]) {
          ASSERT_FALSE(sent) << "a signal after the end of " << pids[i];
        } else if (!sent) {
          seenReaped[i] = true;
          ++reaped;
        }
      }
    }
    ASSERT_EQ(reaped, pids.size()) << "ends not recorded in round " << round;
    for (pid_t pid : pids) {
      EXPECT_TRUE(goneWithin(pid, 3)) << "left as " << processState(pid);
      EXPECT_TRUE(platform::programHasEnded(pid));
    }
  }
}

TEST_F(ProgramStartTest, InheritedChildrenAreReapedButLaterOnesAreLeftToTheirOwner) {
  // Children this module did not start, as a process has them after exec:
  // one ended already (a zombie), one that ends later.
  const pid_t ended = fork();
  ASSERT_GE(ended, 0);
  if (ended == 0) _exit(0);
  const pid_t later = fork();
  ASSERT_GE(later, 0);
  if (later == 0) {
    usleep(300000);
    _exit(0);
  }
  auto start = std::chrono::steady_clock::now();
  while (processState(ended) != "Z" && secondsSince(start) < 3)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_EQ(processState(ended), "Z");

  platform::adoptInheritedChildren();
  EXPECT_TRUE(goneWithin(ended, 1)) << "still " << processState(ended);
  EXPECT_TRUE(goneWithin(later, 3)) << "still " << processState(later);

  // A child made afterwards by other code (a library) is its to wait for.
  const pid_t libraryChild = fork();
  ASSERT_GE(libraryChild, 0);
  if (libraryChild == 0) _exit(7);
  int status = 0;
  EXPECT_EQ(waitpid(libraryChild, &status, 0), libraryChild);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 7);

  // Our own programs' ends are still recorded.
  platform::ProgramStart ours = startProgram(script("short", "sleep 0.2"));
  ASSERT_GT(ours.pid, 0);
  EXPECT_TRUE(goneWithin(ours.pid, 3)) << "still " << processState(ours.pid);
  EXPECT_TRUE(platform::programHasEnded(ours.pid));
  EXPECT_FALSE(platform::signalProgram(ours.pid, 0));
}
