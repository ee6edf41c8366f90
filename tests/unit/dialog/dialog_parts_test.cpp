// The settings dialog's plain parts: background gradients, the zoom's
// outlines, the file chooser's filter and start folder, starting the browser,
// and the compiled-in pictures.
#include <gtest/gtest.h>

#include <FL/filename.H>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "launcher/settings_music/dialog_chooser.h"
#include "launcher/settings_music/dialog_gradient.h"
#include "launcher/settings_music/dialog_layout.h"
#include "launcher/settings_music/dialog_pictures.h"
#include "launcher/settings_music/dialog_web.h"
#include "launcher/settings_music/dialog_zoom.h"
#include "tests/unit/support/temp_folder.h"

namespace {

using dialog::LineColour;

// ---- Gradients ------------------------------------------------------------

TEST(DialogLayout, ScaledForTheDpiWithHalvesAwayFromZero) {
  using namespace dialog;
  EXPECT_EQ(scaledForDpi(479, 96), 479);
  EXPECT_EQ(scaledForDpi(479, 144), 719);  // 718.5
  EXPECT_EQ(scaledForDpi(252, 144), 378);
  EXPECT_EQ(scaledForDpi(13, 120), 16);  // 16.25
  EXPECT_EQ(scaledForDpi(13, 192), 26);
  EXPECT_EQ(scaledForDpi(-3, 144), -5);  // -4.5
  EXPECT_EQ(scaledForDpi(7, 0), 7);     // no DPI known: as laid out
  const Box save = scaledForDpi(kSaveButton, 144);
  EXPECT_EQ(save.x, 480);
  EXPECT_EQ(save.y, 300);
  EXPECT_EQ(save.w, 110);  // 109.5
  EXPECT_EQ(save.h, 38);   // 37.5
  static_assert(scaledForDpi(kPanel, 96).w == kPanel.w, "96 dpi is the layout itself");
}

TEST(DialogGradient, DialogRunsNavyToLavenderAndBack) {
  const int h = dialog::kDialogHeight;  // 252
  std::vector<LineColour> rows = dialog::dialogGradient(h);
  ASSERT_EQ(rows.size(), static_cast<size_t>(h) + 1);  // the last line is drawn too
  EXPECT_EQ(rows[0], (LineColour{0, 0, 30}));
  EXPECT_EQ(rows[1], (LineColour{3, 3, 33}));      // 220 sin(1 / 80.2) = 2.74
  EXPECT_EQ(rows[126], (LineColour{220, 220, 250}));
  EXPECT_EQ(rows[63], (LineColour{156, 156, 186}));  // 220 sin(0.7855) = 155.58
  EXPECT_EQ(rows[251], (LineColour{3, 3, 33}));
  EXPECT_EQ(rows[252], (LineColour{0, 0, 30}));  // sin(3.142) is just below 0
}

TEST(DialogGradient, PanelRunsDarkGreyToNearWhiteAndBack) {
  const int h = dialog::kPanelInner.h;  // 165
  std::vector<LineColour> rows = dialog::panelGradient(h);
  ASSERT_EQ(rows.size(), static_cast<size_t>(h) + 1);
  EXPECT_EQ(rows[0], (LineColour{30, 30, 30}));
  EXPECT_EQ(rows[82], (LineColour{250, 250, 250}));
  EXPECT_EQ(rows[165], (LineColour{30, 30, 30}));
  for (const LineColour& c : rows) {
    EXPECT_EQ(c.r, c.g);
    EXPECT_EQ(c.g, c.b);
  }
}

TEST(DialogGradient, DegenerateHeights) {
  EXPECT_EQ(dialog::dialogGradient(0), (std::vector<LineColour>{{0, 0, 30}}));
  EXPECT_TRUE(dialog::panelGradient(-1).empty());
  EXPECT_EQ(dialog::gradientLevel(5, 0), 0);
}

// ---- Zoom -----------------------------------------------------------------

TEST(DialogZoom, OutlinesMoveEvenlyFromTheirStartToTheirEnd) {
  dialog::ScreenRect point{100, 50, 100, 50};
  dialog::ScreenRect window{720, 276, 1199, 528};
  std::vector<dialog::ScreenRect> open = dialog::zoomFrames(point, window, 10);
  ASSERT_EQ(open.size(), 10u);
  EXPECT_EQ(open.front(), (dialog::ScreenRect{162, 72, 209, 97}));
  EXPECT_EQ(open.back(), window);
  for (size_t i = 1; i < open.size(); ++i) {
    EXPECT_GE(open[i].right - open[i].left, open[i - 1].right - open[i - 1].left);
    EXPECT_GE(open[i].bottom - open[i].top, open[i - 1].bottom - open[i - 1].top);
  }
  std::vector<dialog::ScreenRect> close = dialog::zoomFrames(window, point, 10);
  EXPECT_EQ(close.back(), point);
  EXPECT_TRUE(dialog::zoomFrames(point, window, 0).empty());
}

TEST(DialogZoom, StartsAndEndsAtTheRememberedPoint) {
  RememberZoomPoint(true, 640, 480);
  EXPECT_EQ(dialog::zoomPointRect(), (dialog::ScreenRect{640, 480, 640, 480}));
  RememberZoomPoint(false, 640, 480);
  EXPECT_EQ(dialog::zoomPointRect(), (dialog::ScreenRect{0, 0, 0, 0}));
}

// ---- File chooser ---------------------------------------------------------

TEST(DialogChooser, FilterTakesMp3AndWavInAnyLetterCase) {
  const std::string filter = dialog::chooserFilter(dialog::kFilterDescription, dialog::kFilterPatterns);
  EXPECT_EQ(filter, "BGMﾌｧｲﾙ （MP3 WAV）\t{*.[Mm][Pp]3,*.[Ww][Aa][Vv]}");
  // FLTK's chooser reads the pattern from the first "(" it shows, so the
  // name must have none of its own.
  EXPECT_EQ(filter.find('('), std::string::npos);
  const std::string pattern = filter.substr(filter.find('\t') + 1);
  struct Case {
    const char* name;
    bool shown;
  } cases[] = {
      {"a.mp3", true},    {"B.MP3", true},      {"c.Mp3", true},      {"d.wav", true},
      {"E.WAV", true},    {"曲.wAv", true},     {"x.mp4", false},     {"song.mp3.txt", false},
      {"mp3", false},     {"a.wave", false},    {"notes.txt", false},
  };
  for (const Case& c : cases) EXPECT_EQ(fl_filename_match(c.name, pattern.c_str()) != 0, c.shown) << c.name;
}

TEST(DialogChooser, FilterForms) {
  EXPECT_EQ(dialog::chooserFilter("Pictures", "*.jpg"), "Pictures\t*.[Jj][Pp][Gg]");
  EXPECT_EQ(dialog::chooserFilter("All", ""), "All\t*");
}

TEST(DialogChooser, StartsInTheMusicFilesFolderElseAtHome) {
  TempFolder folder;
  const char* home = std::getenv("HOME");
  const std::string expectedHome = home ? home : "";
  EXPECT_EQ(dialog::startFolder(folder.file("song.mp3")), folder.path());
  EXPECT_EQ(dialog::startFolder("/song.mp3"), "/");
  EXPECT_EQ(dialog::startFolder(""), expectedHome);
  EXPECT_EQ(dialog::startFolder(folder.file("gone/song.mp3")), expectedHome);
}

// ---- Web page -------------------------------------------------------------

TEST(DialogWeb, AddressIsOneWebAddress) {
  const std::string address = dialog::webAddress();
  EXPECT_TRUE(address.rfind("https://", 0) == 0 || address.rfind("http://", 0) == 0) << address;
  EXPECT_EQ(address.find_first_of(" \t\n"), std::string::npos);
}

TEST(DialogWeb, ProgramsStartWithoutWaitingAndAreReaped) {
  auto before = std::chrono::steady_clock::now();
  pid_t pid = dialog::startProgram({"sh", "-c", "sleep 0.4; echo never seen"});
  auto took = std::chrono::steady_clock::now() - before;
  ASSERT_GT(pid, 0);
  EXPECT_LT(took, std::chrono::milliseconds(300));
  EXPECT_FALSE(dialog::reapIfEnded(pid));
  bool ended = false;
  for (int i = 0; i < 100 && !ended; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ended = dialog::reapIfEnded(pid);
  }
  EXPECT_TRUE(ended);
  EXPECT_TRUE(dialog::reapIfEnded(pid));  // gone for good, not a zombie
}

TEST(DialogWeb, AMissingProgramIsNoError) {
  EXPECT_EQ(dialog::startProgram({"miravel-no-such-program"}), -1);
  EXPECT_EQ(dialog::startProgram({}), -1);
}

// ---- Pictures -------------------------------------------------------------

struct Rgb {
  int r, g, b;
};
Rgb at(const platform::RgbImage& image, int x, int y) {
  const uint8_t* p = image.at(x, y);
  return {p[0], p[1], p[2]};
}

TEST(DialogPictures, MarkersAreALightSquareWithAGreyBorderAndABlueSquare) {
  const platform::RgbImage& off = dialog::markerPicture(false);
  const platform::RgbImage& on = dialog::markerPicture(true);
  ASSERT_EQ(off.width, dialog::kMarkerPictureSize);
  ASSERT_EQ(off.height, dialog::kMarkerPictureSize);
  ASSERT_EQ(on.width, dialog::kMarkerPictureSize);
  ASSERT_EQ(on.height, dialog::kMarkerPictureSize);
  for (auto [x, y] : {std::pair{0, 0}, {11, 5}, {6, 11}, {0, 7}}) {
    Rgb c = at(off, x, y);
    EXPECT_NEAR(c.r, 140, 20) << x << "," << y;
    EXPECT_NEAR(c.g, c.r, 8);
    EXPECT_NEAR(c.b, c.r, 8);
  }
  for (auto [x, y] : {std::pair{3, 3}, {6, 6}, {8, 4}}) {
    Rgb c = at(off, x, y);
    EXPECT_GT(c.r, 225);
    EXPECT_GT(c.g, 225);
    EXPECT_GT(c.b, 225);
    Rgb b = at(on, x, y);
    EXPECT_LT(b.r, 70);
    EXPECT_GT(b.b, 190);
  }
}

TEST(DialogPictures, IconIsA32PixelNightSky) {
  const platform::RgbImage& icon = dialog::dialogIcon();
  ASSERT_EQ(icon.width, 32);
  ASSERT_EQ(icon.height, 32);
  Rgb sky = at(icon, 1, 1);
  EXPECT_GT(sky.b, sky.r);
  EXPECT_LT(sky.r + sky.g + sky.b, 150);
}

}  // namespace
