// The delay's grammar, the options, and the choices made from plain facts
// (which saver, which bus, which lock).
#include "idle/command_line.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace idle;

namespace {

std::optional<std::uint64_t> duration(const std::string& text) {
  std::string error;
  const auto result = parseDuration(text, error);
  EXPECT_EQ(result.has_value(), error.empty()) << text;
  return result;
}

std::optional<Options> parse(std::vector<std::string> arguments, std::string* errorOut = nullptr) {
  std::string error;
  auto result = parseCommandLine(arguments, error);
  if (errorOut) *errorOut = error;
  EXPECT_EQ(result.has_value(), error.empty());
  return result;
}

}  // namespace

TEST(Duration, SecondsMinutesAndBareMinutes) {
  EXPECT_EQ(duration("90s"), 90000u);
  EXPECT_EQ(duration("10m"), 600000u);
  EXPECT_EQ(duration("10"), 600000u);
  EXPECT_EQ(duration("1s"), 1000u);
  EXPECT_EQ(duration("007s"), 7000u);
  // The longest taken: one day, in either unit.
  EXPECT_EQ(duration("1440m"), kLongestDelayMs);
  EXPECT_EQ(duration("86400s"), kLongestDelayMs);
}

TEST(Duration, WhatIsNoDelayIsRefusedWithAReason) {
  for (const char* bad : {"", "0", "0s", "00m", "-5m", "+5m", "1.5m", "10 m", " 10m", "10m ",
                          "10h", "10M", "s", "m", "ten", "10ms", "1e3s", "0x10s", "10ss"}) {
    std::string error;
    EXPECT_FALSE(parseDuration(bad, error)) << "'" << bad << "'";
    EXPECT_FALSE(error.empty()) << "'" << bad << "'";
  }
}

TEST(Duration, HugeNumbersAreRefusedNotWrapped) {
  // One past a day, and numbers whose value in ms would wrap 64 bits.
  for (const char* huge : {"1441m", "86401s", "1441", "18446744073709551616s",
                           "99999999999999999999999999999m", "307445734561825861m"}) {
    std::string error;
    EXPECT_FALSE(parseDuration(huge, error)) << huge;
    EXPECT_NE(error.find("longer than a day"), std::string::npos) << huge << ": " << error;
  }
}

TEST(CommandLine, DefaultsAndEachOption) {
  const auto none = parse({});
  ASSERT_TRUE(none);
  EXPECT_EQ(none->action, Action::Run);
  EXPECT_EQ(none->delayMs, kDefaultDelayMs);
  EXPECT_FALSE(none->delayGiven);
  EXPECT_TRUE(none->saver.empty());

  const auto all = parse({"--after", "90s", "--saver", "/opt/x/Miravel.scr", "--install"});
  ASSERT_TRUE(all);
  EXPECT_EQ(all->action, Action::Install);
  EXPECT_EQ(all->delayMs, 90000u);
  EXPECT_TRUE(all->delayGiven);
  EXPECT_EQ(all->saver, "/opt/x/Miravel.scr");

  const auto joined = parse({"--after=2m", "--saver=/a b/c", "--remove"});
  ASSERT_TRUE(joined);
  EXPECT_EQ(joined->action, Action::Remove);
  EXPECT_EQ(joined->delayMs, 120000u);
  EXPECT_EQ(joined->saver, "/a b/c");

  // A later value replaces an earlier one.
  EXPECT_EQ(parse({"--after", "1m", "--after", "5s"})->delayMs, 5000u);
  // Help wins over everything that parses.
  EXPECT_EQ(parse({"--after", "5s", "--help"})->action, Action::Help);
  EXPECT_EQ(parse({"-h"})->action, Action::Help);
}

TEST(CommandLine, RefusalsNameWhatWasWrong) {
  struct Case {
    std::vector<std::string> arguments;
    const char* said;
  };
  const Case cases[] = {
      {{"--after", "nonsense"}, "nonsense"},
      {{"--after"}, "--after needs a value"},
      {{"--after="}, "empty"},
      {{"--saver"}, "--saver needs a value"},
      {{"--saver="}, "--saver needs a path"},
      {{"--install", "--remove"}, "together"},
      {{"--frobnicate"}, "unknown option '--frobnicate'"},
      {{"--afterwards", "5"}, "unknown option"},
      {{"/s"}, "unexpected argument '/s'"},
      {{"--after", "5s", "extra"}, "unexpected argument 'extra'"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(parse(c.arguments, &error));
    EXPECT_NE(error.find(c.said), std::string::npos) << error;
  }
}

TEST(SaverChoice, GivenThenBesideThenInstalled) {
  EXPECT_EQ(installedSaver(), "/usr/libexec/xscreensaver/Miravel.scr");
  static std::set<std::string> present;
  auto exists = [](const std::string& path) { return present.count(path) > 0; };
  present = {"/home/u/bin/Miravel.scr", installedSaver()};
  EXPECT_EQ(chooseSaver("/x/other", "/home/u/bin", exists), "/x/other");
  EXPECT_EQ(chooseSaver("", "/home/u/bin", exists), "/home/u/bin/Miravel.scr");
  EXPECT_EQ(chooseSaver("", "/home/u/bin/", exists), "/home/u/bin/Miravel.scr");
  EXPECT_EQ(chooseSaver("", "/usr/bin", exists), installedSaver());
  EXPECT_EQ(chooseSaver("", "", exists), installedSaver());
  present.clear();
  EXPECT_EQ(chooseSaver("", "/usr/bin", exists), "");
}

TEST(SessionBus, VariableThenRuntimeSocketElseNone) {
  static bool socketThere = false;
  auto isSocket = [](const std::string& path) { return socketThere && path == "/run/user/1000/bus"; };
  EXPECT_EQ(sessionBusAddress("unix:path=/tmp/b", "/run/user/1000", isSocket), "unix:path=/tmp/b");
  EXPECT_EQ(sessionBusAddress(nullptr, "/run/user/1000", isSocket), "");
  socketThere = true;
  EXPECT_EQ(sessionBusAddress(nullptr, "/run/user/1000", isSocket), "unix:path=/run/user/1000/bus");
  EXPECT_EQ(sessionBusAddress("", "/run/user/1000", isSocket), "unix:path=/run/user/1000/bus");
  // No runtime folder, or a relative one: no bus, and none is started.
  EXPECT_EQ(sessionBusAddress(nullptr, nullptr, isSocket), "");
  EXPECT_EQ(sessionBusAddress(nullptr, "run/user/1000", isSocket), "");
  // Bytes outside D-Bus's safe set are escaped in the address.
  auto any = [](const std::string&) { return true; };
  EXPECT_EQ(sessionBusAddress(nullptr, "/tmp/a b,c", any), "unix:path=/tmp/a%20b%2cc/bus");
}

TEST(LockPath, RuntimeFolderElseTmpByUser) {
  EXPECT_EQ(lockPath("/run/user/1000", 1000), "/run/user/1000/miravel-idle.lock");
  EXPECT_EQ(lockPath("/run/user/1000//", 1000), "/run/user/1000/miravel-idle.lock");
  EXPECT_EQ(lockPath(nullptr, 1000), "/tmp/miravel-idle-1000.lock");
  EXPECT_EQ(lockPath("relative", 7), "/tmp/miravel-idle-7.lock");
}
