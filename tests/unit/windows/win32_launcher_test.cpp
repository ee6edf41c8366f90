// The launcher's Windows adaptors under Wine: paths, the settings file's
// bytes and its atomic replace, code-page texts, file tests, the picture
// decoder and timers. (Windows themselves are tested with a display, in
// tests/windows.)
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "launcher/settings_music/settings.h"
#include "platform/image/rgb_image.h"
#include "platform/image/win32_bitmap.h"
#include "platform/ini/ini.h"
#include "platform/runtime/win32_runtime.h"
#include "platform/text/win32_cp932.h"

extern const unsigned char kPreviewJpeg[];
extern const std::size_t kPreviewJpeg_size;

namespace {

// A fresh folder under the system's temporary folder (ANSI path).
class TempFolder {
 public:
  TempFolder() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    path_ = std::string(base) + "miravel_test_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(counter_++);
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        SetFileAttributesA((path_ + "\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveDirectoryA((path_ + "\\" + name).c_str());
        else
          DeleteFileA((path_ + "\\" + name).c_str());
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
  }
  std::string file(const std::string& name) const { return path_ + "\\" + name; }
  int entries() const {
    int count = 0;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
      const std::string name = found.cFileName;
      if (name != "." && name != "..") ++count;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
  }

 private:
  static int counter_;
  std::string path_;
};
int TempFolder::counter_ = 0;

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(Win32Paths, FoldersAndJoinsWithBackslashes) {
  EXPECT_EQ(platform::folderOfPath("C:\\Program Files\\Miravel\\Miravel.scr"),
            "C:\\Program Files\\Miravel");
  EXPECT_EQ(platform::folderOfPath("C:\\Miravel.scr"), "C:\\");
  EXPECT_EQ(platform::folderOfPath("Z:\\tmp\\\\Miravel.scr"), "Z:\\tmp");
  EXPECT_EQ(platform::pathInFolder("C:\\saver", "Miravel.dll"), "C:\\saver\\Miravel.dll");
  EXPECT_EQ(platform::pathInFolder("C:\\", "Miravel.ini"), "C:\\Miravel.ini");
  // The test program's own folder, as the launcher finds its own.
  const std::string folder = platform::programFolder();
  ASSERT_FALSE(folder.empty());
  char module[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  EXPECT_EQ(platform::pathInFolder(folder, "x"), platform::folderOfPath(module) + "\\x");
  EXPECT_EQ(settingsLocation().readPath, platform::pathInFolder(folder, "Miravel.ini"));
  EXPECT_EQ(settingsLocation().savePath, settingsLocation().readPath);
}

TEST(Win32Text, CodePage932BothWays) {
  // "BGM区分", the key the settings file has always held.
  const std::string key = kKeyBGMKind;
  const std::wstring wide = platform::wideFromCp932(key);
  EXPECT_EQ(wide, L"BGM\u533A\u5206");
  std::string back;
  ASSERT_TRUE(platform::cp932FromWide(wide, back));
  EXPECT_EQ(back, key);
  // Half-width katakana of "BGMﾘﾋﾟｰﾄ" survive as they are.
  EXPECT_EQ(platform::wideFromCp932(kKeyBGMRepeat), L"BGM\uFF98\uFF8B\uFF9F\uFF70\uFF84");
  // A character code page 932 cannot hold is refused, not replaced.
  EXPECT_FALSE(platform::cp932FromWide(L"caf\u00E9 \u00E0", back));
  EXPECT_TRUE(back.empty());
  // UTF-8 texts of the sources.
  EXPECT_EQ(platform::wideText("ﾌｫﾙﾀﾞ！"), L"\uFF8C\uFF6B\uFF99\uFF80\uFF9E\uFF01");
  EXPECT_EQ(platform::utf8FromWide(L"\u898B\u3064"), "見つ");
}

// The conversions at the code pages a launcher meets: Japanese, Western and
// the UTF-8 system option. Each call is one Windows accepts at that code
// page, and a character without a form there is still refused.
TEST(Win32Text, ConversionsAtCodePages932And1252And65001) {
  std::string out;
  // "・" (U+30FB) is a character of code page 932 like any other.
  ASSERT_TRUE(platform::bytesFromWide(932, L"C:\\\u97F3\u30FB\u697D", out));
  EXPECT_EQ(out, "C:\\\x89\xB9\x81\x45\x8A\x79");
  EXPECT_EQ(platform::wideFromBytes(932, out), L"C:\\\u97F3\u30FB\u697D");
  EXPECT_FALSE(platform::bytesFromWide(932, L"caf\u00E9", out));
  EXPECT_TRUE(out.empty());

  ASSERT_TRUE(platform::bytesFromWide(1252, L"caf\u00E9 \u20AC", out));
  EXPECT_EQ(out, "caf\xE9 \x80");
  // No best fit: "∞" is not written as "8", nor "ā" as "a".
  EXPECT_FALSE(platform::bytesFromWide(1252, L"\u221E", out));
  EXPECT_FALSE(platform::bytesFromWide(1252, L"\u0101", out));
  EXPECT_FALSE(platform::bytesFromWide(1252, L"\u30FB", out));

  // UTF-8 holds everything but a lone surrogate.
  ASSERT_TRUE(platform::bytesFromWide(65001, L"\u97F3\u30FB \U0001F3B5", out));
  EXPECT_EQ(out, "\xE9\x9F\xB3\xE3\x83\xBB \xF0\x9F\x8E\xB5");
  EXPECT_EQ(platform::wideFromBytes(65001, out), L"\u97F3\u30FB \U0001F3B5");
  EXPECT_FALSE(platform::bytesFromWide(65001, std::wstring(1, wchar_t(0xD800)) + L"x", out));

  // A code page that takes no flags at all is checked by converting back.
  ASSERT_TRUE(platform::bytesFromWide(65000, L"a\u30FB", out));
  EXPECT_EQ(platform::wideFromBytes(65000, out), L"a\u30FB");
}

TEST(Win32Text, BadBytesAreMarkedOneEachAndRealCharactersKept) {
  // A cut-off pair, an unassigned pair and "・" itself at code page 932.
  EXPECT_EQ(platform::wideFromBytesMarkingBad(932, "a\x81\x45" "b\x85\x40" "c\x81", L'?'),
            L"a\u30FBb?c?");
  EXPECT_EQ(platform::wideFromBytesMarkingBad(65001, "\xE3\x83\xBB" "x\xFFy", L'?'), L"\u30FBx?y");
  EXPECT_EQ(platform::wideFromBytesMarkingBad(1252, "caf\xE9", L'?'), L"caf\u00E9");
  // A cut UTF-8 sequence is one bad character, as the Linux build counts it,
  // whether something follows or the text ends there; a stray continuation
  // byte or a byte no form begins with is one of its own.
  EXPECT_EQ(platform::wideFromBytesMarkingBad(65001, "a\xE3\x83" "b", L'?'), L"a?b");
  EXPECT_EQ(platform::wideFromBytesMarkingBad(65001, "a\xF0\x9F\x8E", L'?'), L"a?");
  EXPECT_EQ(platform::wideFromBytesMarkingBad(65001, "\xE3\x83\xE3\x83\xBB", L'?'), L"?\u30FB");
  EXPECT_EQ(platform::wideFromBytesMarkingBad(65001, "\x80\x80\xC3", L'?'), L"???");
  // A surrogate written as UTF-8 is one bad character too.
  EXPECT_EQ(platform::wideFromBytesMarkingBad(65001, "\xED\xA0\x80x", L'?'), L"?x");
}

// A settings file saved by an editor with a byte-order mark, naming a music
// path with "・": read as the code-page-932 bytes the Linux build gives, and
// written back in the file's own encoding.
TEST(Win32Ini, ByteOrderMarkedFilesKeepTheMiddleDot) {
  TempFolder folder;
  const std::string path = folder.file("Marked.ini");
  writeBytes(path, "\xEF\xBB\xBF[Section]\r\nBGM\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99="
                   "C:\\\xE9\x9F\xB3\xE3\x83\xBB\xE6\xA5\xBD\\a.mp3\r\n");
  EXPECT_EQ(platform::ReadIni(kSettingsSection, kKeyBGMFile, path), "C:\\\x89\xB9\x81\x45\x8A\x79\\a.mp3");
  ASSERT_TRUE(platform::WriteIni(kSettingsSection, kKeyBGMFile, "D:\\\x81\x45.wav", path));
  EXPECT_EQ(readBytes(path), "\xEF\xBB\xBF[Section]\r\nBGM\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99="
                             "D:\\\xE3\x83\xBB.wav\r\n");
  // The same in UTF-16.
  const std::string utf16 = folder.file("Utf16.ini");
  const std::wstring text = L"\uFEFF[Section]\r\nBGM\uFF8C\uFF67\uFF72\uFF99=\u30FB\r\n";
  writeBytes(utf16, std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
  EXPECT_EQ(platform::ReadIni(kSettingsSection, kKeyBGMFile, utf16), "\x81\x45");
}

TEST(Win32Ini, WritesTheLinuxBytesAndReadsThemBack) {
  TempFolder folder;
  const std::string path = folder.file("Miravel.ini");
  ASSERT_TRUE(platform::WriteIniKeys(kSettingsSection,
                                     {{kKeyBGMKind, " 1"}, {kKeyBGMRepeat, " 3"}, {kKeyBGMFile, ""}},
                                     path));
  EXPECT_EQ(readBytes(path),
            "[Section]\r\nBGM\x8B\xE6\x95\xAA= 1\r\nBGM\xD8\xCB\xDF\xB0\xC4= 3\r\n"
            "BGM\xCC\xA7\xB2\xD9=\r\n");
  // Blanks around a value are dropped on reading, as by the profile functions.
  EXPECT_EQ(platform::ReadIni(kSettingsSection, kKeyBGMRepeat, path), "3");
  // A second write replaces a value in place and leaves nothing beside it.
  ASSERT_TRUE(platform::WriteIni(kSettingsSection, kKeyBGMKind, " 2", path));
  EXPECT_EQ(platform::ReadIni(kSettingsSection, kKeyBGMKind, path), "2");
  EXPECT_EQ(folder.entries(), 1);
}

TEST(Win32Ini, ReplacesAtomicallyAndRefusesWhatItMustNotTouch) {
  TempFolder folder;
  const std::string path = folder.file("Miravel.ini");
  writeBytes(path, "; mine\r\n[Section]\r\nold=1\r\n");
  // Leftovers of an interrupted write are cleared by the next one.
  writeBytes(folder.file(".Miravel.ini.abc123"), "half");
  ASSERT_TRUE(platform::WriteIni("Section", "new", "2", path));
  EXPECT_EQ(readBytes(path), "; mine\r\n[Section]\r\nold=1\r\nnew=2\r\n");
  EXPECT_EQ(folder.entries(), 1);

  // A read-only file stays as it is.
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(platform::WriteIni("Section", "new", "3", path));
  EXPECT_EQ(platform::ReadIni("Section", "new", path), "2");
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

  // A folder in the file's place is neither read nor replaced.
  const std::string dir = folder.file("Folder.ini");
  CreateDirectoryA(dir.c_str(), nullptr);
  EXPECT_FALSE(platform::WriteIni("Section", "k", "v", dir));
  EXPECT_EQ(GetFileAttributesA(dir.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(platform::ReadIni("Section", "k", dir), "");

  // A file over the size limit reads as empty and is never replaced.
  const std::string big = folder.file("Big.ini");
  writeBytes(big, "[Section]\r\nk=v\r\n" + std::string(platform::kIniFileLimit, ';'));
  EXPECT_EQ(platform::ReadIni("Section", "k", big), "");
  EXPECT_FALSE(platform::WriteIni("Section", "k", "w", big));

  // A file with a UTF-8 mark keeps its encoding; values come back as CP932.
  const std::string marked = folder.file("Marked.ini");
  writeBytes(marked, "\xEF\xBB\xBF[Section]\r\nBGM\xE5\x8C\xBA\xE5\x88\x86=1\r\n");
  EXPECT_EQ(platform::ReadIni(kSettingsSection, kKeyBGMKind, marked), "1");
  ASSERT_TRUE(platform::WriteIni(kSettingsSection, kKeyBGMKind, "\x8B\xE6", marked));
  EXPECT_EQ(readBytes(marked), "\xEF\xBB\xBF[Section]\r\nBGM\xE5\x8C\xBA\xE5\x88\x86=\xE5\x8C\xBA\r\n");
}

TEST(Win32Settings, FileTestsAndTheDialogSave) {
  TempFolder folder;
  const std::string file = folder.file("tune.wav");
  writeBytes(file, "RIFF");
  EXPECT_TRUE(FileExists(file));
  EXPECT_TRUE(FileExists(file + "\\"));
  EXPECT_FALSE(FileExists(folder.file("none.wav")));
  EXPECT_FALSE(FileExists(folder.file("")));
  EXPECT_FALSE(FileExists(""));

  // The save makes a missing folder and reads back as it was stored.
  const std::string path = folder.file("sub") + "\\Miravel.ini";
  BGMKind = 2;
  BGMFile = file;
  SaveSettingsTo(path, "3.5");
  BGMKind = 0;
  BGMRepeat = 0;
  BGMFile.clear();
  LoadSettingsFrom(path);
  EXPECT_EQ(BGMKind, 2);
  EXPECT_EQ(BGMRepeat, 4);
  EXPECT_EQ(BGMFile, file);
  DeleteFileA(path.c_str());
  RemoveDirectoryA(folder.file("sub").c_str());
}

// A profile folder whose name the ANSI code page cannot write (here a
// Devanagari letter at code page 932): the settings path is UTF-8 and opened
// with the wide functions, so the first save makes the folder and the file
// and the next run reads them.
TEST(Win32Settings, SettingsPathsTheAnsiCodePageCannotWrite) {
  TempFolder folder;
  const std::string utf8Folder = folder.file("\xE0\xA4\x85\xE3\x83\xBB");  // "अ・"
  std::string ansi;
  ASSERT_FALSE(platform::ansiFromWide(platform::wideFromUtf8(utf8Folder), ansi))
      << "the test needs a name outside the ANSI code page";
  const std::string path = utf8Folder + "\\Miravel\\Miravel.ini";
  BGMKind = 1;
  BGMFile.clear();
  SaveSettingsTo(path, "7");
  const std::wstring widePath = platform::wideFromUtf8(path);
  EXPECT_NE(GetFileAttributesW(widePath.c_str()), INVALID_FILE_ATTRIBUTES);
  BGMKind = 0;
  BGMRepeat = 0;
  LoadSettingsFrom(path);
  EXPECT_EQ(BGMKind, 1);
  EXPECT_EQ(BGMRepeat, 7);
  DeleteFileW(widePath.c_str());
  RemoveDirectoryW(platform::wideFromUtf8(utf8Folder + "\\Miravel").c_str());
  RemoveDirectoryW(platform::wideFromUtf8(utf8Folder).c_str());
}

TEST(Win32Image, DecodesThePreviewAndRefusesDamage) {
  platform::RgbImage picture;
  ASSERT_TRUE(platform::decodeJpeg(kPreviewJpeg, kPreviewJpeg_size, picture));
  EXPECT_GT(picture.width, 16);
  EXPECT_GT(picture.height, 16);
  EXPECT_EQ(picture.pixels.size(), static_cast<size_t>(picture.width) * picture.height * 3);
  platform::RgbImage damaged;
  const unsigned char notJpeg[] = "GIF89a not a jpeg";
  EXPECT_FALSE(platform::decodeJpeg(notJpeg, sizeof notJpeg, damaged));
  EXPECT_TRUE(damaged.empty());
  EXPECT_FALSE(platform::decodeJpeg(nullptr, 0, damaged));
}

// A picture whose every pixel differs in all three channels, so a swapped
// channel, a flipped row order or a shifted column all show.
platform::RgbImage testPicture(int width, int height) {
  platform::RgbImage picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.resize(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = picture.at(x, y);
      p[0] = static_cast<uint8_t>(10 + x * 20);
      p[1] = static_cast<uint8_t>(200 - y * 30);
      p[2] = static_cast<uint8_t>(60 + x * 7 + y * 11);
    }
  }
  return picture;
}

TEST(Win32Image, BitmapsAndDrawingKeepEveryPixelInPlace) {
  const platform::RgbImage picture = testPicture(5, 3);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  // A 32-bit canvas, so that what GDI stores is exactly what was drawn.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 12;
  info.bmiHeader.biHeight = -8;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP canvas = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  ASSERT_TRUE(canvas && bits);
  HGDIOBJ old = SelectObject(memory, canvas);
  RECT all{0, 0, 12, 8};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

  auto expectPictureAt = [&](int left, int top, const char* how) {
    GdiFlush();
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        const COLORREF got = GetPixel(memory, left + x, top + y);
        const uint8_t* want = picture.at(x, y);
        EXPECT_EQ(GetRValue(got), want[0]) << how << " at " << x << "," << y;
        EXPECT_EQ(GetGValue(got), want[1]) << how << " at " << x << "," << y;
        EXPECT_EQ(GetBValue(got), want[2]) << how << " at " << x << "," << y;
      }
    }
  };

  platform::drawPicture(memory, picture, 1, 2);
  expectPictureAt(1, 2, "drawn");
  EXPECT_EQ(GetPixel(memory, 0, 2), RGB(0, 0, 0)) << "nothing left of the picture";
  EXPECT_EQ(GetPixel(memory, 6, 4), RGB(0, 0, 0)) << "nothing right of the picture";

  HBITMAP bitmap = platform::makeBitmap(picture, 0xFF);
  ASSERT_NE(bitmap, nullptr);
  BITMAP shape{};
  GetObject(bitmap, sizeof shape, &shape);
  EXPECT_EQ(shape.bmWidth, 5);
  EXPECT_EQ(shape.bmHeight, 3);
  EXPECT_EQ(shape.bmBitsPixel, 32);
  HDC source = CreateCompatibleDC(memory);
  HGDIOBJ oldSource = SelectObject(source, bitmap);
  BitBlt(memory, 6, 4, 5, 3, source, 0, 0, SRCCOPY);
  SelectObject(source, oldSource);
  DeleteDC(source);
  DeleteObject(bitmap);
  expectPictureAt(6, 4, "blitted from the bitmap");

  EXPECT_EQ(platform::makeBitmap(platform::RgbImage{}), nullptr);
  platform::drawPicture(memory, platform::RgbImage{}, 0, 0);  // draws nothing, harms nothing

  SelectObject(memory, old);
  DeleteObject(canvas);
  DeleteDC(memory);
}

TEST(Win32Runtime, TimersTickAndThePointerCounts) {
  int ticks = 0;
  platform::Timer timer(20, true, [&] {
    ++ticks;
    if (ticks == 3) timer.setEnabled(false);
  });
  const ULONGLONG end = GetTickCount64() + 5000;
  while (GetTickCount64() < end && ticks < 3) platform::serveEvents(0.05);
  EXPECT_EQ(ticks, 3);
  platform::serveEvents(0.1);
  EXPECT_EQ(ticks, 3);  // disabled inside its own tick: no more

  // The pointer count as ShowCursor keeps it.
  const int hidden = platform::showCursor(false);
  EXPECT_EQ(platform::showCursor(true), hidden + 1);
}

}  // namespace
