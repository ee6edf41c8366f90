// The INI reader and writer against real files.
#include "platform/ini/ini.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using platform::ReadIni;
using platform::WriteIni;

namespace {

const std::string kKind = "BGM\x8B\xE6\x95\xAA";  // "BGM区分" in code page 932

std::string longValue() {
  std::string value;
  for (int i = 0; i < 300; ++i) value += static_cast<char>('a' + i % 26);
  return value;
}

// A file as a person might leave it after editing it by hand.
std::string handWritten() {
  return "; Miravel settings, edited by hand\r\n"
         "\r\n"
         "  [ section ]  \r\n" +
         kKind + "   =   2  \r\n" +
         "bgmKEY = first\r\n"
         "BGMKEY = second\r\n"
         ";Hidden = 9\r\n"
         "Quoted = \" spaced \"\r\n"
         "Single='x'\r\n"
         "Unmatched = \"abc\r\n"
         "Mixed = \"abc'\r\n"
         "Lone = \"\r\n"
         "Empty =\r\n"
         "just some text\r\n"
         "Long = " + longValue() + "\r\n"
         "[Section]\r\n"
         "Late = never\r\n"
         "BGMKEY = third\r\n"
         "[Other]\r\n"
         "key = other\r\n";
}

class IniFile : public ::testing::Test {
 protected:
  TempFolder folder;
  std::string path = folder.file("Miravel.ini");
};

}  // namespace

TEST_F(IniFile, HandWrittenFileReadsAsTheProfileFunctionsRead) {
  writeFile(path, handWritten());
  struct Case {
    std::string section, key, value;
  } cases[] = {
      {"Section", kKind, "2"},           // blanks around name and value dropped
      {"SECTION", "bgmkey", "first"},    // names match in any case; first key wins
      {"Section", ";Hidden", ""},        // a comment never matches
      {"Section", "Hidden", ""},
      {"Section", "Quoted", " spaced "}, // one pair of quotes removed, inside kept
      {"Section", "Single", "x"},
      {"Section", "Unmatched", "\"abc"},
      {"Section", "Mixed", "\"abc'"},
      {"Section", "Lone", "\""},
      {"Section", "Empty", ""},
      {"Section", "just some text", ""}, // a line without "=" is no key
      {"Section", "Long", longValue().substr(0, 255)},
      {"Section", "Late", ""},           // a later duplicate section is not read
      {" Other ", "KEY", "other"},
      {"Missing", "key", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReadIni(c.section, c.key, path), c.value) << c.section << " / " << c.key;
}

TEST_F(IniFile, MissingFileReadsEmptyAndIsNotCreated) {
  EXPECT_EQ(ReadIni("Section", kKind, path), "");
  EXPECT_EQ(folder.listing(), "");
}

TEST_F(IniFile, LineEndsOfEveryKindAreRead) {
  for (const char* text : {"[S]\nk=lf\n", "[S]\rk=lf\r", "[S]\r\nk=lf", "\xEF\xBB\xBF[S]\r\nk=lf\r\n"}) {
    writeFile(path, text);
    EXPECT_EQ(ReadIni("S", "k", path), "lf") << text;
  }
}

TEST_F(IniFile, ShiftJisSecondBytesAreNotCaseFolded) {
  // "ア" is 83 41 and "ヂ" is 83 61: the second bytes differ only as 'A' and 'a'.
  writeFile(path, "[S]\r\n\x83\x41=a\r\n\x83\x61=di\r\n");
  EXPECT_EQ(ReadIni("S", "\x83\x61", path), "di");
  EXPECT_EQ(ReadIni("S", "\x83\x41", path), "a");
}

TEST_F(IniFile, WriteReplacesTheFirstKeyInPlaceAndKeepsEveryOtherLine) {
  writeFile(path, handWritten());
  ASSERT_TRUE(WriteIni("Section", "BGMKey", "new", path));
  std::string expected = handWritten();
  expected.replace(expected.find("bgmKEY = first"), 14, "bgmKEY=new");
  EXPECT_EQ(readFile(path), expected);
  EXPECT_EQ(ReadIni("Section", "BGMKEY", path), "new");
}

TEST_F(IniFile, WriteCreatesTheFileWithCrLf) {
  ASSERT_TRUE(WriteIni("Section", kKind, " 2", path));
  EXPECT_EQ(readFile(path), "[Section]\r\n" + kKind + "= 2\r\n");
  EXPECT_EQ(ReadIni("Section", kKind, path), "2");
  mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(fileMode(path), 0666 & ~mask);
}

TEST_F(IniFile, MissingKeyGoesToTheEndOfItsSectionMissingSectionToTheEndOfTheFile) {
  writeFile(path, "[A]\nx=1\n; about B\n\n[B]\ny=2\n");
  ASSERT_TRUE(WriteIni("a", "z", "3", path));
  ASSERT_TRUE(WriteIni("C", "w", "", path));
  EXPECT_EQ(readFile(path), "[A]\r\nx=1\r\nz=3\r\n; about B\r\n\r\n[B]\r\ny=2\r\n[C]\r\nw=\r\n");
}

TEST_F(IniFile, WritesGoToTheFirstOfDuplicateSections) {
  writeFile(path, "[S]\r\na=1\r\n[T]\r\n[S]\r\nb=2\r\n");
  ASSERT_TRUE(WriteIni("S", "b", "new", path));
  EXPECT_EQ(readFile(path), "[S]\r\na=1\r\nb=new\r\n[T]\r\n[S]\r\nb=2\r\n");
  EXPECT_EQ(ReadIni("S", "b", path), "new");
}

TEST_F(IniFile, ValuesThatWouldBreakTheLineAreRefusedAndTheFileKept) {
  writeFile(path, "[S]\r\na=1\r\n");
  EXPECT_FALSE(WriteIni("S", "a", "two\nlines", path));
  EXPECT_FALSE(WriteIni("S", "a=b", "1", path));
  EXPECT_FALSE(WriteIni("S]", "a", "1", path));
  EXPECT_FALSE(WriteIni("S", " ", "1", path));
  EXPECT_EQ(readFile(path), "[S]\r\na=1\r\n");
}

TEST_F(IniFile, ReplacingKeepsPermissionsAndLeavesNoTemporaryFile) {
  writeFile(path, "[S]\r\na=1\r\n");
  chmod(path.c_str(), 0640);
  ASSERT_TRUE(WriteIni("S", "a", "2", path));
  EXPECT_EQ(fileMode(path), 0640u);
  EXPECT_EQ(folder.listing(), "Miravel.ini");
}

TEST_F(IniFile, SymbolicLinkStaysAndItsTargetIsReplaced) {
  std::string target = folder.file("real.ini");
  writeFile(target, "[S]\r\na=1\r\n");
  ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);
  ASSERT_TRUE(WriteIni("S", "a", "2", path));
  struct stat info {};
  ASSERT_EQ(lstat(path.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(readFile(target), "[S]\r\na=2\r\n");
}

TEST_F(IniFile, ReadOnlyFolderFailsQuietlyAndTheOldFileSurvives) {
  writeFile(path, "[Section]\r\n" + kKind + "= 1\r\n");
  chmod(path.c_str(), 0644);
  chmod(folder.path().c_str(), 0555);
  const std::string file = path;
  EXPECT_TRUE(runWithoutPrivileges([&file] {
    return !WriteIni("Section", kKind, " 2", file) && ReadIni("Section", kKind, file) == "1";
  }));
  chmod(folder.path().c_str(), 0755);
  EXPECT_EQ(readFile(path), "[Section]\r\n" + kKind + "= 1\r\n");
  EXPECT_EQ(folder.listing(), "Miravel.ini");
}

TEST_F(IniFile, ExistingFileThatCannotBeReadIsNotOverwritten) {
  // Writing one key over a file we cannot read would lose all the others.
  writeFile(path, "[S]\r\nkeep=me\r\n");
  chmod(path.c_str(), 0600);
  chmod(folder.path().c_str(), 0777);
  const std::string file = path;
  EXPECT_TRUE(runWithoutPrivileges([&file] { return !WriteIni("S", "a", "1", file); }));
  EXPECT_EQ(readFile(path), "[S]\r\nkeep=me\r\n");
  mkdir(folder.file("folder.ini").c_str(), 0755);
  EXPECT_FALSE(WriteIni("S", "a", "1", folder.file("folder.ini")));
  EXPECT_EQ(ReadIni("S", "a", folder.file("folder.ini")), "");
}
