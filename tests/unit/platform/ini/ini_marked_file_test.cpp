// Settings files with a byte-order mark, against real files, in the Linux and
// the Windows build alike: each platform converts the text its own way, and
// the rules over it must give the same bytes.
#include "launcher/settings_music/settings.h"
#include "platform/ini/ini.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using platform::ReadIni;
using platform::WriteIni;
using platform::WriteIniKeys;

namespace {

namespace fs = std::filesystem;

const std::string kUtf8Mark = "\xEF\xBB\xBF";
const std::string kUtf16Mark = "\xFF\xFE";

// ASCII text as UTF-16LE.
std::string wide(const std::string& ascii) {
  std::string out;
  for (char c : ascii) out += std::string(1, c) + '\0';
  return out;
}

// "BGM区分" as an editor saves it: UTF-8, and UTF-16LE (区 U+533A, 分 U+5206).
const std::string kKindUtf8 = "BGM\xE5\x8C\xBA\xE5\x88\x86";
const std::string kKindUtf16 = wide("BGM") + "\x3A\x53\x06\x52";

class MarkedFile : public ::testing::Test {
 protected:
  MarkedFile() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; folder_.empty() && attempt < 100; ++attempt) {
      const fs::path candidate =
          fs::temp_directory_path() / ("miravel-marked-" + std::to_string(now) + "-" + std::to_string(attempt));
      std::error_code error;
      if (fs::create_directory(candidate, error)) folder_ = candidate;
    }
    path = (folder_ / "Miravel.ini").string();
  }
  ~MarkedFile() override {
    std::error_code error;
    if (!folder_.empty()) fs::remove_all(folder_, error);
  }
  void SetUp() override { ASSERT_FALSE(folder_.empty()) << "no temporary folder"; }

  void put(const std::string& bytes) { std::ofstream(fs::path(path), std::ios::binary) << bytes; }
  std::string bytes() const {
    std::ifstream in(fs::path(path), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  // Entries in the folder: a refused write leaves no temporary file.
  size_t entries() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
  }

  std::string path;

 private:
  fs::path folder_;
};

}  // namespace

// A UTF-16 file cut short ends in half a character. Every write used to add
// its key once more behind that byte, where no read found it.
TEST_F(MarkedFile, OddLengthUtf16FileNeverGrowsAndItsKeysReadBack) {
  // Cut in the middle of its last line: "Other=4" lost the second byte of
  // its "4".
  const std::string whole = kUtf16Mark + wide("[Section]\r\n") + kKindUtf16 + wide("= 1\r\nOther=");
  put(whole + "4");
  EXPECT_EQ(ReadIni(kSettingsSection, kKeyBGMKind, path), "1");
  EXPECT_EQ(ReadIni(kSettingsSection, "Other", path), "");

  size_t firstSize = 0;
  for (int i = 0; i < 100; ++i) {
    const std::string number = i % 2 ? " 2" : " 3";
    ASSERT_TRUE(WriteIni(kSettingsSection, kKeyBGMKind, number, path)) << "write " << i;
    ASSERT_TRUE(WriteIni(kSettingsSection, kKeyBGMRepeat, number, path)) << "write " << i;
    ASSERT_EQ(ReadIni(kSettingsSection, kKeyBGMKind, path), number.substr(1)) << "write " << i;
    ASSERT_EQ(ReadIni(kSettingsSection, kKeyBGMRepeat, path), number.substr(1)) << "write " << i;
    if (i == 0) firstSize = bytes().size();
    ASSERT_EQ(bytes().size(), firstSize) << "grew at write " << i;
  }
  // The whole characters stay as they were, the lone byte is gone, and the
  // new key follows them on a line of its own.
  EXPECT_EQ(bytes(), kUtf16Mark + wide("[Section]\r\n") + kKindUtf16 + wide("= 2\r\nOther=\r\n") +
                         wide("BGM") + "\x98\xFF\x8B\xFF\x9F\xFF\x70\xFF\x84\xFF" + wide("= 2\r\n"));
  EXPECT_EQ(entries(), 1u);

  // Cut after a whole line: the write adds no line of its own for the byte.
  put(kUtf16Mark + wide("[Section]\r\n") + kKindUtf16 + wide("= 1\r\n") + "\r");
  ASSERT_TRUE(WriteIni(kSettingsSection, kKeyBGMKind, " 7", path));
  EXPECT_EQ(bytes(), kUtf16Mark + wide("[Section]\r\n") + kKindUtf16 + wide("= 7\r\n"));
  // The mark alone and half a character: an empty file with its mark.
  put(kUtf16Mark + "[");
  EXPECT_EQ(ReadIni("S", "k", path), "");
  ASSERT_TRUE(WriteIni("S", "k", "v", path));
  EXPECT_EQ(bytes(), kUtf16Mark + wide("[S]\r\nk=v\r\n"));
}

// Names and values in code page 932 are converted for a file with a mark. What
// has no form there is refused, so the file stays byte for byte as it was.
TEST_F(MarkedFile, TextTheEncodingCannotHoldIsRefusedAndTheFileKept) {
  const std::string utf8 = kUtf8Mark + "[Section]\r\n" + kKindUtf8 + "= 1\r\n";
  const std::string utf16 = kUtf16Mark + wide("[Section]\r\n") + kKindUtf16 + wide("= 1\r\n");
  // A lead byte without its second byte, a second byte that cannot follow a
  // lead byte, and a byte that starts no character.
  const std::string cutOff = "BGM\x8B", badSecond = "BGM\x8B\x7F", noCharacter = "\x85\x40";
  for (const std::string& file : {utf8, utf16}) {
    SCOPED_TRACE(file == utf8 ? "UTF-8" : "UTF-16LE");
    put(file);
    EXPECT_FALSE(WriteIni(kSettingsSection, cutOff, "1", path));
    EXPECT_FALSE(WriteIni(kSettingsSection, badSecond, "1", path));
    EXPECT_FALSE(WriteIni(kSettingsSection, noCharacter, "1", path));
    EXPECT_FALSE(WriteIni("Sec\x8B", kKeyBGMKind, "1", path));
    EXPECT_FALSE(WriteIni(kSettingsSection, kKeyBGMFile, "C:\\\x8B", path));
    // One key the file cannot hold spoils the whole save, not just its line.
    EXPECT_FALSE(WriteIniKeys(kSettingsSection, {{kKeyBGMKind, " 2"}, {cutOff, "1"}}, path));
    EXPECT_EQ(bytes(), file);
    EXPECT_EQ(entries(), 1u);
    EXPECT_EQ(ReadIni(kSettingsSection, kKeyBGMKind, path), "1");
    // What follows a zero byte is never stored, so it is not asked about.
    EXPECT_TRUE(WriteIni(kSettingsSection, kKeyBGMKind, std::string(" 3\0\x8B", 4), path));
    EXPECT_EQ(ReadIni(kSettingsSection, kKeyBGMKind, path), "3");
  }
  // A file without a mark stores the bytes as given, and they read back.
  put("[Section]\r\n");
  ASSERT_TRUE(WriteIni(kSettingsSection, cutOff, "\x8B", path));
  EXPECT_EQ(bytes(), "[Section]\r\nBGM\x8B=\x8B\r\n");
  EXPECT_EQ(ReadIni(kSettingsSection, cutOff, path), "\x8B");
}

// The dialog's save is one write of three keys: refused whole, it leaves the
// old settings, as a save into a read-only folder does.
TEST_F(MarkedFile, SaveWithAPathTheFileCannotHoldLeavesTheOldSettings) {
  const std::string file = kUtf8Mark + "[Section]\r\n" + kKindUtf8 + "= 1\r\n";
  put(file);
  BGMKind = 2;
  BGMFile = "C:\\\x8B.mp3";
  SaveSettingsTo(path, "4");
  EXPECT_EQ(bytes(), file);
  BGMFile = "C:\\\x8B\xC8.mp3";  // "曲"
  SaveSettingsTo(path, "4");
  EXPECT_EQ(ReadIni(kSettingsSection, kKeyBGMFile, path), "C:\\\x8B\xC8.mp3");
  EXPECT_EQ(ReadIni(kSettingsSection, kKeyBGMRepeat, path), "4");
  BGMKind = 0;
  BGMRepeat = 0;
  BGMFile.clear();
}

// Whole files with a mark behave as before: a key replaced in place, a new one
// at the end of its section, every other line and the mark kept.
TEST_F(MarkedFile, EvenUtf16AndUtf8FilesKeepTheirBytes) {
  put(kUtf16Mark + wide("; mine\r\n[Section]\r\n") + kKindUtf16 + wide("= 1\r\n[Other]\r\nk=v\r\n"));
  ASSERT_TRUE(WriteIni(kSettingsSection, kKeyBGMKind, " 2", path));
  ASSERT_TRUE(WriteIni(kSettingsSection, "Song", "\x8B\xC8", path));
  EXPECT_EQ(bytes(), kUtf16Mark + wide("; mine\r\n[Section]\r\n") + kKindUtf16 + wide("= 2\r\nSong=") +
                         "\xF2\x66" + wide("\r\n[Other]\r\nk=v\r\n"));
  EXPECT_EQ(ReadIni(kSettingsSection, "song", path), "\x8B\xC8");

  put(kUtf8Mark + "; \xE3\x83\xA1\r\n[Section]\r\n" + kKindUtf8 + "= 1\r\n");
  ASSERT_TRUE(WriteIni(kSettingsSection, kKeyBGMKind, " 2", path));
  ASSERT_TRUE(WriteIni(kSettingsSection, "Song", "\x8B\xC8", path));
  EXPECT_EQ(bytes(), kUtf8Mark + "; \xE3\x83\xA1\r\n[Section]\r\n" + kKindUtf8 +
                         "= 2\r\nSong=\xE6\x9B\xB2\r\n");
  EXPECT_EQ(ReadIni(kSettingsSection, kKeyBGMKind, path), "2");
}
