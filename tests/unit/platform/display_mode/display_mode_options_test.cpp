#include "platform/display_mode/display_mode_options.h"

#include <gtest/gtest.h>

using display_mode::kDefaultDelayMicros;
using display_mode::Options;
using display_mode::parseOptions;
using display_mode::parseWindowNumber;
using display_mode::targetWindow;

namespace {

Options parse(const std::string& line) { return parseOptions(display_mode::splitWords(line)); }

}  // namespace

TEST(DisplayModeOptions, RootAndWindowIdWithOneOrTwoDashesSwitchToDisplayMode) {
  for (const char* line : {"--root", "-root", "-window-id 12", "--window-id 0x1A", "/s --root",
                           "--delay 5 -root"}) {
    EXPECT_TRUE(parse(line).displayMode) << line;
  }
  for (const char* line : {"", "/s", "/p 1234", "/c", "-c", "--delay 100", "root", "---root",
                           "--roots", "--root=1", "/root"}) {
    EXPECT_FALSE(parse(line).displayMode) << line;
  }
}

TEST(DisplayModeOptions, WindowIdIsReadInDecimalOrHexOfEitherCase) {
  Options o = parse("--root --window-id 0x2A00003");
  EXPECT_TRUE(o.hasWindowId);
  EXPECT_EQ(o.windowId, 0x2A00003ul);
  EXPECT_EQ(parse("-window-id 0X1f").windowId, 0x1Ful);
  EXPECT_EQ(parse("-window-id 4194307").windowId, 4194307ul);
  EXPECT_EQ(parse("--window-id=77").windowId, 77ul);

  EXPECT_FALSE(o.badWindowId);
  EXPECT_FALSE(parse("--root").badWindowId);

  // Unreadable or missing: still display mode, no window from the command
  // line, and marked so the programs can refuse it.
  for (const char* line : {"-window-id", "--root --window-id", "-window-id x12", "-window-id 0x",
                           "-window-id 12abc", "-window-id -5", "-window-id 0", "--window-id nonsense",
                           "-window-id 0x100000000", "-window-id 99999999999999999999",
                           "--window-id=", "--window-id 12 --window-id nope"}) {
    Options bad = parse(line);
    EXPECT_TRUE(bad.displayMode) << line;
    EXPECT_TRUE(bad.badWindowId) << line;
  }
  EXPECT_FALSE(parse("-window-id x12").hasWindowId);
}

TEST(DisplayModeOptions, DelayDefaultsToSixtyFramesAndRejectsWhatIsNoDelay) {
  EXPECT_EQ(kDefaultDelayMicros, 16000);
  EXPECT_EQ(parse("--root").delayMicros, 16000);
  EXPECT_EQ(parse("--root --delay 0").delayMicros, 0);
  EXPECT_EQ(parse("-root -delay 33333").delayMicros, 33333);
  EXPECT_EQ(parse("--delay=20000 --root").delayMicros, 20000);
  EXPECT_EQ(parse("--root --delay 10000000").delayMicros, 10000000);
  for (const char* line : {"--root --delay -1", "--root --delay abc", "--root --delay 1.5",
                           "--root --delay 10000001", "--root --delay 99999999999", "--root --delay"}) {
    EXPECT_EQ(parse(line).delayMicros, kDefaultDelayMicros) << line;
  }
}

TEST(DisplayModeOptions, TargetIsWindowIdThenEnvironmentThenRoot) {
  Options withId = parse("--window-id 0x10");
  EXPECT_EQ(targetWindow(withId, "0x20", 1), 0x10ul);
  Options root = parse("--root");
  EXPECT_EQ(targetWindow(root, "0x20", 1), 0x20ul);
  EXPECT_EQ(targetWindow(root, "0X2a", 1), 0x2Aul);
  EXPECT_EQ(targetWindow(root, "48", 1), 48ul);  // xsecurelock writes decimal
  EXPECT_EQ(targetWindow(root, nullptr, 1), 1ul);
  EXPECT_EQ(targetWindow(root, "", 1), 1ul);
  EXPECT_EQ(targetWindow(root, "garbage", 1), 1ul);
  EXPECT_EQ(targetWindow(parse("--window-id nope"), "0x20", 1), 0x20ul);
}

TEST(DisplayModeOptions, ParseWindowNumberRejectsEverythingButAWholeNumber) {
  unsigned long id = 7;
  EXPECT_FALSE(parseWindowNumber(" 12", id));
  EXPECT_FALSE(parseWindowNumber("12 ", id));
  EXPECT_FALSE(parseWindowNumber("+12", id));
  EXPECT_FALSE(parseWindowNumber("0xg", id));
  EXPECT_FALSE(parseWindowNumber("ff", id));  // hexadecimal only after 0x
  EXPECT_EQ(id, 7ul);                          // untouched on failure
  EXPECT_TRUE(parseWindowNumber("0xFFFFFFFF", id));
  EXPECT_EQ(id, 0xFFFFFFFFul);
}

TEST(LauncherLink, OnlyTheLauncherNamedAsParentCountsAsAlive) {
  using display_mode::LauncherLink;
  using display_mode::launcherLink;
  EXPECT_EQ(launcherLink("4242", 4242), LauncherLink::Alive);
  // Reparented (to init or a subreaper): the launcher ended before we looked.
  EXPECT_EQ(launcherLink("4242", 1), LauncherLink::Gone);
  EXPECT_EQ(launcherLink("4242", 4243), LauncherLink::Gone);
  // Nothing a launcher would write: treated as a start of some other kind.
  for (const char* value : {"", "0", "-5", "12x", " 12", "0x10", "12345678901"}) {
    EXPECT_EQ(launcherLink(value, 12), LauncherLink::NoLauncher) << value;
  }
  EXPECT_EQ(launcherLink(nullptr, 12), LauncherLink::NoLauncher);
}
