// The INI reader and writer against real files.
#include "platform/ini/ini.h"

#include "tests/unit/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <sys/wait.h>

using platform::ReadIni;
using platform::WriteIni;
using platform::WriteIniKeys;

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

// --- Files edited by hand: byte-order marks and Ctrl-Z ------------------------

namespace {

// "BGM区分" in UTF-8 and in UTF-16LE, as an editor saves the key.
const std::string kKindUtf8 = "BGM\xE5\x8C\xBA\xE5\x88\x86";
std::string utf16le(const std::string& ascii) {
  std::string out;
  for (char c : ascii) out += std::string(1, c) + '\0';
  return out;
}
const std::string kKindUtf16 = utf16le("BGM") + "\x3A\x53\x06\x52";  // 区 U+533A, 分 U+5206

}  // namespace

TEST_F(IniFile, ByteOrderMarkedFilesAreDecodedAndKeepTheirEncodingWhenWritten) {
  // A UTF-8 file: the code-page-932 key finds the UTF-8 key, a Japanese value
  // comes back in code page 932 ("曲" is 8B C8), and a write keeps the mark,
  // the encoding and every other line byte for byte.
  const std::string utf8 = "\xEF\xBB\xBF; \xE3\x83\xA1\xE3\x83\xA2\r\n[Section]\r\n" + kKindUtf8 +
                           "= 2\r\nSong=\xE6\x9B\xB2.mp3\r\n";
  writeFile(path, utf8);
  EXPECT_EQ(ReadIni("Section", kKind, path), "2");
  EXPECT_EQ(ReadIni("Section", "song", path), "\x8B\xC8.mp3");
  ASSERT_TRUE(WriteIni("Section", kKind, " 1", path));
  ASSERT_TRUE(WriteIni("Section", "Title", "\x8B\xC8", path));
  EXPECT_EQ(readFile(path), "\xEF\xBB\xBF; \xE3\x83\xA1\xE3\x83\xA2\r\n[Section]\r\n" + kKindUtf8 +
                                "= 1\r\nSong=\xE6\x9B\xB2.mp3\r\nTitle=\xE6\x9B\xB2\r\n");
  EXPECT_EQ(ReadIni("Section", "Title", path), "\x8B\xC8");

  // A UTF-16LE file, with LF line ends as some editors write them.
  const std::string bom16 = "\xFF\xFE";
  writeFile(path, bom16 + utf16le("[Section]\n") + kKindUtf16 + utf16le("= 2\n"));
  EXPECT_EQ(ReadIni("Section", kKind, path), "2");
  ASSERT_TRUE(WriteIni("Section", kKind, "-1", path));
  ASSERT_TRUE(WriteIni("Other", "Song", "\x8B\xC8", path));
  EXPECT_EQ(readFile(path), bom16 + utf16le("[Section]\r\n") + kKindUtf16 + utf16le("=-1\r\n") +
                                utf16le("[Other]\r\nSong=") + "\xF2\x66" + utf16le("\r\n"));
  EXPECT_EQ(ReadIni("Section", kKind, path), "-1");
  EXPECT_EQ(ReadIni("Other", "Song", path), "\x8B\xC8");

  // A character code page 932 lacks reads as "?", as the system converts it.
  writeFile(path, "\xEF\xBB\xBF[S]\r\nk=a\xF0\x9F\x8E\xB5z\r\n");
  EXPECT_EQ(ReadIni("S", "k", path), "a?z");
}

// The same bytes as the Windows build's test of the middle dot: "・" is a
// character of code page 932 (81 45), not a failed conversion.
TEST_F(IniFile, ByteOrderMarkedFilesKeepTheMiddleDot) {
  writeFile(path, "\xEF\xBB\xBF[Section]\r\nBGM\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99="
                  "C:\\\xE9\x9F\xB3\xE3\x83\xBB\xE6\xA5\xBD\\a.mp3\r\n");
  EXPECT_EQ(ReadIni("Section", "BGM\xCC\xA7\xB2\xD9", path), "C:\\\x89\xB9\x81\x45\x8A\x79\\a.mp3");
  ASSERT_TRUE(WriteIni("Section", "BGM\xCC\xA7\xB2\xD9", "D:\\\x81\x45.wav", path));
  EXPECT_EQ(readFile(path), "\xEF\xBB\xBF[Section]\r\nBGM\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99="
                            "D:\\\xE3\x83\xBB.wav\r\n");
}

TEST_F(IniFile, CtrlZCountsAsABlankAroundNamesAndValues) {
  writeFile(path, "[Section]\x1A\r\n\x1A" + kKind + "\x1A=\x1A 2\x1A\r\nx=a\x1A" "b\r\n\x1A");
  EXPECT_EQ(ReadIni("Section", kKind, path), "2");
  EXPECT_EQ(ReadIni("Section", "x", path), "a\x1A" "b");  // inside a value it stays
  ASSERT_TRUE(WriteIni("Section", kKind, " 1", path));
  EXPECT_EQ(ReadIni("Section", kKind, path), "1");
  EXPECT_EQ(ReadIni("Section", "x", path), "a\x1A" "b");
}

TEST_F(IniFile, KeysThatWouldReadAsSomethingElseAreRefused) {
  writeFile(path, "[S]\r\na=1\r\n");
  for (const char* key : {"[S2]", " [x", ";note", "\t;note"})
    EXPECT_FALSE(WriteIni("S", key, "1", path)) << key;
  EXPECT_FALSE(WriteIniKeys("S", {{"b", "2"}, {"[c", "3"}}, path)) << "one refused key stops all";
  EXPECT_EQ(readFile(path), "[S]\r\na=1\r\n");
  ASSERT_TRUE(WriteIni("S", "a[1]", "x", path));  // inside a name they are fine
  EXPECT_EQ(ReadIni("S", "a[1]", path), "x");
}

// --- Files the user may not, or should not, have replaced ----------------------

TEST_F(IniFile, ReadOnlyFileIsNotReplacedEvenByRoot) {
  writeFile(path, "[S]\r\na=1\r\n");
  chmod(path.c_str(), 0444);
  EXPECT_FALSE(WriteIni("S", "a", "2", path));
  EXPECT_EQ(readFile(path), "[S]\r\na=1\r\n");
  EXPECT_EQ(fileMode(path), 0444u);
  EXPECT_EQ(folder.listing(), "Miravel.ini");
}

TEST_F(IniFile, FileOfAnotherUserIsNotReplacedInAFolderTheUserMayWrite) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to make a file of another user";
  writeFile(path, "[S]\r\na=1\r\n");
  chmod(path.c_str(), 0644);  // root's, readable by all
  chmod(folder.path().c_str(), 0777);
  const std::string file = path;
  EXPECT_TRUE(runWithoutPrivileges([&file] {
    return ReadIni("S", "a", file) == "1" && !WriteIni("S", "a", "2", file);
  }));
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 0u);
  EXPECT_EQ(readFile(path), "[S]\r\na=1\r\n");
  EXPECT_EQ(folder.listing(), "Miravel.ini");
}

TEST_F(IniFile, DanglingLinkIsNotReplacedByAFile) {
  ASSERT_EQ(symlink(folder.file("nowhere.ini").c_str(), path.c_str()), 0);
  EXPECT_EQ(ReadIni("S", "a", path), "");
  EXPECT_FALSE(WriteIni("S", "a", "1", path));
  struct stat info {};
  ASSERT_EQ(lstat(path.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(folder.listing(), "Miravel.ini");
}

TEST_F(IniFile, OversizedFilesCountAsUnreadableAndAreNotReplaced) {
  // Just over the limit, and a sparse 4 GB file that must not be read whole.
  std::string big = "[S]\r\na=1\r\n" + std::string(platform::kIniFileLimit, ';');
  writeFile(path, big);
  EXPECT_EQ(ReadIni("S", "a", path), "");
  EXPECT_FALSE(WriteIni("S", "a", "2", path));
  EXPECT_EQ(readFile(path).size(), big.size());

  const std::string sparse = folder.file("sparse.ini");
  writeFile(sparse, "[S]\r\na=1\r\n");
  ASSERT_EQ(truncate(sparse.c_str(), 4LL * 1024 * 1024 * 1024), 0);
  EXPECT_EQ(ReadIni("S", "a", sparse), "");
  EXPECT_FALSE(WriteIni("S", "a", "2", sparse));

  // At the limit it is still a settings file.
  std::string atLimit = "[S]\r\na=1\r\n";
  atLimit += std::string(platform::kIniFileLimit - atLimit.size(), ';');
  writeFile(path, atLimit);
  EXPECT_EQ(ReadIni("S", "a", path), "1");
}

// --- One replacement, whatever happens in the middle ------------------------

TEST_F(IniFile, SeveralKeysGoInOneReplacementInTheirOrder) {
  writeFile(path, "[S]\r\nb=old\r\n");
  ASSERT_TRUE(WriteIniKeys("S", {{"a", "1"}, {"b", "2"}, {"c", ""}}, path));
  EXPECT_EQ(readFile(path), "[S]\r\nb=2\r\na=1\r\nc=\r\n");
}

TEST_F(IniFile, TemporaryFilesOfAnInterruptedWriteAreRemovedByTheNext) {
  writeFile(path, "[S]\r\na=1\r\n");
  writeFile(folder.file(".Miravel.ini.Ab3xYz"), "half");
  writeFile(folder.file(".Miravel.ini.keepme1"), "not ours: seven letters");
  writeFile(folder.file(".Other.ini.Ab3xYz"), "another file's");
  ASSERT_TRUE(WriteIni("S", "a", "2", path));
  EXPECT_EQ(folder.listing(), ".Miravel.ini.keepme1 .Other.ini.Ab3xYz Miravel.ini");
}

namespace {

int g_stopAfter = 0;
int g_stepsSeen = 0;
void stopAtStep(const char*) {
  if (++g_stepsSeen == g_stopAfter) _exit(0);  // as if killed right here
}

}  // namespace

TEST_F(IniFile, WriteKilledAfterAnyStepLeavesTheOldOrTheNewFile) {
  const std::string before = "[S]\r\na=1\r\nb=1\r\n", after = "[S]\r\na=2\r\nb=2\r\n";
  int renamedAt = 0;
  for (int stopAfter = 1; stopAfter <= 8; ++stopAfter) {
    writeFile(path, before);
    pid_t child = fork();
    if (child == 0) {
      g_stopAfter = stopAfter;
      platform::setIniWriteStepHook(stopAtStep);
      WriteIniKeys("S", {{"a", "2"}, {"b", "2"}}, path);
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    const std::string now = readFile(path);
    EXPECT_TRUE(now == before || now == after) << "after step " << stopAfter << ": " << now;
    if (now == after && renamedAt == 0) renamedAt = stopAfter;
    // The next write finds and removes what the interrupted one left.
    ASSERT_TRUE(WriteIniKeys("S", {{"a", "3"}}, path));
    EXPECT_EQ(folder.listing(), "Miravel.ini") << "after step " << stopAfter;
  }
  EXPECT_EQ(renamedAt, 6) << "six steps, the file changes with the sixth (the rename)";
}
