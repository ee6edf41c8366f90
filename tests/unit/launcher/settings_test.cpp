// Loading and saving Miravel.ini, and the launcher's readable-file test.
#include "launcher/settings_music/settings.h"

#include "tests/unit/support/temp_folder.h"

#include <gtest/gtest.h>

#include "platform/ini/ini.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string settingsFile(const std::string& kind, const std::string& repeat, const std::string& file) {
  return std::string("[Section]\r\n") + kKeyBGMKind + "=" + kind + "\r\n" + kKeyBGMRepeat + "=" +
         repeat + "\r\n" + kKeyBGMFile + "=" + file + "\r\n";
}

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    BGMKind = 9;  // not what any case expects, so every load must set it
    BGMRepeat = 9;
    BGMFile = "stale";
    writeFile(music, "RIFF");
  }
  void load(const std::string& kind, const std::string& repeat, const std::string& file) {
    writeFile(path, settingsFile(kind, repeat, file));
    LoadSettingsFrom(path);
  }

  TempFolder folder;
  std::string path = folder.file("Miravel.ini");
  std::string music = folder.file("song.wav");
};

}  // namespace

TEST(SettingsKeys, AreTheCodePage932Bytes) {
  EXPECT_EQ(std::string(kSettingsSection), "Section");
  EXPECT_EQ(std::string(kKeyBGMKind), "BGM\x8B\xE6\x95\xAA");
  EXPECT_EQ(std::string(kKeyBGMRepeat), "BGM\xD8\xCB\xDF\xB0\xC4");
  EXPECT_EQ(std::string(kKeyBGMFile), "BGM\xCC\xA7\xB2\xD9");
}

TEST_F(Settings, NoFileGivesTheDefaultsAndCreatesNothing) {
  LoadSettingsFrom(path);
  EXPECT_EQ(BGMKind, 0);
  EXPECT_EQ(BGMRepeat, 0);
  EXPECT_EQ(BGMFile, "");
  EXPECT_EQ(folder.listing(), "song.wav");
}

TEST_F(Settings, NumbersAreReadAsTheLargestWholeNumberNotAbove) {
  struct Case {
    const char* text;
    int16_t value;
  } cases[] = {
      {" 2", 2},     {"2", 2},       {"\" 2\"", 2},  {"1.7", 1},      {"-0.5", -1},   {"7", 7},
      {"abc", 0},    {"40000", 0},   {"", 0},        {"32767.9", 32767}, {"-32768", -32768},
      {"-32768.5", 0}, {"1e2", 100}, {"2 2", 0},
  };
  for (const Case& c : cases) {
    load("1", c.text, "");
    EXPECT_EQ(BGMRepeat, c.value) << '"' << c.text << '"';
    load(c.text, "0", music);
    EXPECT_EQ(BGMKind, c.value) << '"' << c.text << '"';
  }
}

TEST_F(Settings, MusicFileIsKeptOnlyWhileItCanBeRead) {
  load(" 2", " 3", music);
  EXPECT_EQ(BGMKind, 2);
  EXPECT_EQ(BGMRepeat, 3);
  EXPECT_EQ(BGMFile, music);

  load(" 2", " 0", "");
  EXPECT_EQ(BGMKind, 0);
  EXPECT_EQ(BGMFile, "");

  load(" 2", " 0", folder.file("deleted.mp3"));
  EXPECT_EQ(BGMKind, 0);
  EXPECT_EQ(BGMFile, "");

  load(" 1", " 4", folder.file("deleted.mp3"));  // the CD does not need the file
  EXPECT_EQ(BGMKind, 1);
  EXPECT_EQ(BGMRepeat, 4);
  EXPECT_EQ(BGMFile, "");

  load(" 2", " 0", music + "/");  // tested without the slash, kept as read
  EXPECT_EQ(BGMKind, 2);
  EXPECT_EQ(BGMFile, music + "/");

  load(" 2", " 0", folder.path());  // a folder is no music file
  EXPECT_EQ(BGMKind, 0);
  EXPECT_EQ(BGMFile, "");
}

TEST_F(Settings, OverlongPathIsCutAndThenDropped) {
  std::string longPath = folder.path() + "/" + std::string(300, 'x') + ".mp3";
  load(" 2", " 0", longPath);
  EXPECT_EQ(BGMKind, 0);
  EXPECT_EQ(BGMFile, "");
}

TEST_F(Settings, FileExistsOnlyForSomethingReadableThatIsNoFolder) {
  EXPECT_TRUE(FileExists(music));
  EXPECT_TRUE(FileExists(music + "/"));
  EXPECT_FALSE(FileExists(music + "//"));  // only one slash is dropped
  EXPECT_FALSE(FileExists(folder.path()));
  EXPECT_FALSE(FileExists(folder.path() + "/"));
  EXPECT_FALSE(FileExists(folder.file("missing.wav")));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists("/"));
  ASSERT_EQ(mkfifo(folder.file("pipe").c_str(), 0644), 0);
  EXPECT_TRUE(FileExists(folder.file("pipe")));  // opened without hanging
  chmod(music.c_str(), 0600);
  const std::string file = music;
  EXPECT_TRUE(runWithoutPrivileges([&file] { return !FileExists(file); }));
}

TEST_F(Settings, SaveWritesTheThreeKeysInTheirNumberFormat) {
  BGMKind = 2;
  BGMRepeat = 5;
  BGMFile = music;
  SaveSettingsTo(path, "");
  EXPECT_EQ(BGMRepeat, 0);
  EXPECT_EQ(readFile(path), settingsFile(" 2", " 0", music));

  BGMKind = -1;
  BGMFile = "";
  SaveSettingsTo(path, "12");
  EXPECT_EQ(readFile(path), settingsFile("-1", " 12", ""));  // an empty path keeps its key
}

TEST_F(Settings, PathWithLineBreakDoesNotLeaveTheOldChoiceBehind) {
  // The file cannot hold a line break; the run must not then play the file
  // chosen before, under the newly saved kind.
  std::string older = folder.file("older.mp3");
  writeFile(older, "ID3");
  writeFile(path, settingsFile(" 2", " 0", older));
  for (const char* brokenName : {"new\nsong.wav", "new\rsong.wav"}) {
    std::string chosen = folder.file(brokenName);
    writeFile(chosen, "RIFF");
    BGMKind = 2;
    BGMFile = chosen;
    SaveSettingsTo(path, "");
    EXPECT_EQ(readFile(path), settingsFile(" 2", " 0", "")) << brokenName;
    LoadSettingsFrom(path);
    EXPECT_EQ(BGMKind, 0) << brokenName;
    EXPECT_EQ(BGMFile, "") << brokenName;
    writeFile(path, settingsFile(" 2", " 0", older));
  }
}

TEST_F(Settings, TrackFieldRoundsHalvesToEvenAndRefusesTheRest) {
  struct Case {
    const char* text;
    int16_t track;
  } cases[] = {{"2.5", 2}, {"3.5", 4}, {"abc", 0}, {"12", 12}, {"", 0},
               {" 7 ", 7}, {"40000", 0}, {"-3", -3}, {"32767.5", 0}};
  for (const Case& c : cases) EXPECT_EQ(TrackFieldValue(c.text), c.track) << '"' << c.text << '"';
}

TEST_F(Settings, SavedChoiceLoadsBackAndOtherLinesSurvive) {
  writeFile(path, "; mine\r\n[Section]\r\n" + std::string(kKeyBGMKind) + "= 0\r\n[Other]\r\nx=1\r\n");
  BGMKind = 1;
  BGMFile = music;
  SaveSettingsTo(path, "3.5");
  EXPECT_EQ(readFile(path), "; mine\r\n[Section]\r\n" + std::string(kKeyBGMKind) + "= 1\r\n" +
                                kKeyBGMRepeat + "= 4\r\n" + kKeyBGMFile + "=" + music +
                                "\r\n[Other]\r\nx=1\r\n");
  BGMKind = 0;
  BGMRepeat = 0;
  BGMFile.clear();
  LoadSettingsFrom(path);
  EXPECT_EQ(BGMKind, 1);
  EXPECT_EQ(BGMRepeat, 4);
  EXPECT_EQ(BGMFile, music);
}

TEST_F(Settings, SaveIntoReadOnlyFolderChangesNothing) {
  writeFile(path, settingsFile(" 1", " 0", ""));
  chmod(folder.path().c_str(), 0555);
  const std::string file = path;
  EXPECT_TRUE(runWithoutPrivileges([&file] {
    BGMKind = 2;
    SaveSettingsTo(file, "5");
    return true;  // nothing to report: the failure is silent
  }));
  chmod(folder.path().c_str(), 0755);
  EXPECT_EQ(readFile(path), settingsFile(" 1", " 0", ""));
}

TEST(SettingsLocationRule, BesideAWritableLauncherElseInTheUsersConfigurationFolder) {
  struct Case {
    const char* what;
    SettingsPlaceFacts facts;
    SettingsLocation expected;
  } cases[] = {
      {"portable folder",
       {"/home/u/miravel", true, "/home/u/.cfg", "/home/u", true, "", false},
       {"/home/u/miravel/Miravel.ini", "/home/u/miravel/Miravel.ini"}},
      {"installed, XDG_CONFIG_HOME set, file there",
       {"/usr/libexec/xscreensaver", false, "/home/u/.cfg", "/home/u", true, "", false},
       {"/home/u/.cfg/miravel/Miravel.ini", "/home/u/.cfg/miravel/Miravel.ini"}},
      {"installed, no user file yet: the installed file gives the defaults",
       {"/usr/libexec/xscreensaver", false, "/home/u/.cfg", "/home/u", false, "", false},
       {"/usr/libexec/xscreensaver/Miravel.ini", "/home/u/.cfg/miravel/Miravel.ini"}},
      {"installed, only HOME",
       {"/usr/libexec/xscreensaver", false, "", "/home/u", true, "", false},
       {"/home/u/.config/miravel/Miravel.ini", "/home/u/.config/miravel/Miravel.ini"}},
      {"installed, a relative XDG_CONFIG_HOME is ignored",
       {"/usr/libexec/xscreensaver", false, "cfg", "/home/u", true, "", false},
       {"/home/u/.config/miravel/Miravel.ini", "/home/u/.config/miravel/Miravel.ini"}},
      {"installed, no usable home at all: read beside, save nowhere",
       {"/usr/libexec/xscreensaver", false, "", "relative", true, "", false},
       {"/usr/libexec/xscreensaver/Miravel.ini", ""}},
      {"launcher folder unknown: nothing at all",
       {"", true, "/home/u/.cfg", "/home/u", true, "", false},
       {"", ""}},
  };
  for (const Case& c : cases) {
    SettingsLocation got = chooseSettingsLocation(c.facts);
    EXPECT_EQ(got.readPath, c.expected.readPath) << c.what;
    EXPECT_EQ(got.savePath, c.expected.savePath) << c.what;
  }
}

TEST(SettingsLocationRule, OnWindowsBesideAWritableLauncherElseInTheRoamingAppData) {
  struct Case {
    const char* what;
    SettingsPlaceFacts facts;
    SettingsLocation expected;
  };
  auto windows = [](const char* folder, bool writable, const char* appData, bool userFile) {
    SettingsPlaceFacts facts;
    facts.windowsPaths = true;
    facts.launcherFolder = folder;
    facts.launcherFolderWritable = writable;
    facts.roamingAppData = appData;
    facts.userFileExists = userFile;
    // Linux's variables play no part on Windows.
    facts.xdgConfigHome = "/home/u/.cfg";
    facts.home = "/home/u";
    return facts;
  };
  const char* roaming = "C:\\Users\\\xE5\xA4\xAA\xE9\x83\x8E\\AppData\\Roaming";  // a UTF-8 user name
  const std::string user = std::string(roaming) + "\\Miravel\\Miravel.ini";
  const Case cases[] = {
      {"portable folder", windows("D:\\Tools\\Miravel", true, roaming, true),
       {"D:\\Tools\\Miravel\\Miravel.ini", "D:\\Tools\\Miravel\\Miravel.ini"}},
      {"Program Files, the user's file is there",
       windows("C:\\Program Files\\Miravel", false, roaming, true), {user, user}},
      {"Program Files, no user file yet: the installed file gives the first values",
       windows("C:\\Program Files\\Miravel", false, roaming, false),
       {"C:\\Program Files\\Miravel\\Miravel.ini", user}},
      {"copied into System32", windows("C:\\Windows\\System32", false, roaming, false),
       {"C:\\Windows\\System32\\Miravel.ini", user}},
      {"a drive's root keeps one separator", windows("E:\\", true, roaming, false),
       {"E:\\Miravel.ini", "E:\\Miravel.ini"}},
      {"a roaming folder on a server", windows("C:\\Program Files\\Miravel", false, "\\\\srv\\home\\u", true),
       {"\\\\srv\\home\\u\\Miravel\\Miravel.ini", "\\\\srv\\home\\u\\Miravel\\Miravel.ini"}},
      {"no known roaming folder: read beside, save nowhere",
       windows("C:\\Program Files\\Miravel", false, "", true),
       {"C:\\Program Files\\Miravel\\Miravel.ini", ""}},
      {"a relative roaming folder counts as none", windows("C:\\Program Files\\Miravel", false, "AppData", true),
       {"C:\\Program Files\\Miravel\\Miravel.ini", ""}},
      {"launcher folder unknown: nothing at all", windows("", true, roaming, true), {"", ""}},
  };
  for (const Case& c : cases) {
    SettingsLocation got = chooseSettingsLocation(c.facts);
    EXPECT_EQ(got.readPath, c.expected.readPath) << c.what;
    EXPECT_EQ(got.savePath, c.expected.savePath) << c.what;
  }
}

TEST_F(Settings, FirstSaveMakesThePrivateConfigurationFolder) {
  const std::string config = folder.file("home/.config/miravel/Miravel.ini");
  BGMKind = 2;
  BGMFile = music;
  SaveSettingsTo(config, "3");
  EXPECT_EQ(readFile(config), settingsFile(" 2", " 3", music));
  EXPECT_EQ(fileMode(folder.file("home/.config/miravel")) & 0077, 0u);
  EXPECT_EQ(fileMode(folder.file("home/.config")) & 0077, 0u);
  LoadSettingsFrom(config);
  EXPECT_EQ(BGMKind, 2);
  EXPECT_EQ(BGMRepeat, 3);
}

namespace {

int g_stopAfter = 0;
int g_stepsSeen = 0;
void stopAtStep(const char*) {
  if (++g_stepsSeen == g_stopAfter) _exit(0);
}

}  // namespace

TEST_F(Settings, SaveStoppedAtAnyPointHoldsTheOldThreeOrTheNewThree) {
  // Stopped after every step of the replacement (and the process then gone,
  // as when killed): never kind 1 with the old track, never a temporary file
  // after the next save.
  std::string older = folder.file("older.mp3");
  writeFile(older, "ID3");
  const std::string before = settingsFile(" 2", " 0", older);
  const std::string after = settingsFile(" 1", " 4", "");
  for (int stopAfter = 1; stopAfter <= 7; ++stopAfter) {
    writeFile(path, before);
    pid_t child = fork();
    if (child == 0) {
      g_stopAfter = stopAfter;
      platform::setIniWriteStepHook(stopAtStep);
      BGMKind = 1;
      BGMFile = "";
      SaveSettingsTo(path, "4");
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    const std::string now = readFile(path);
    EXPECT_TRUE(now == before || now == after) << "stopped after step " << stopAfter << ":\n" << now;
    BGMKind = 0;
    BGMFile = "";
    SaveSettingsTo(path, "");
    EXPECT_EQ(folder.listing(), "Miravel.ini older.mp3 song.wav") << "after step " << stopAfter;
  }
}
