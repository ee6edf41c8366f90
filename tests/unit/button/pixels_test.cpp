// The face as pixels: gradient colours and rows, the eight frame pieces at a
// few sizes, the caption's row and the six pictures' rings.
#include <gtest/gtest.h>

#include <string>

#include "launcher/button/command.h"
#include "launcher/button/face_painter.h"
#include "launcher/button/pictures.h"

namespace button {

// So failures print colours readably.
void PrintTo(const Rgb& c, std::ostream* os) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c.r, c.g, c.b);
  *os << buf;
}

namespace {

TEST(GradientColours, TextsReadRedFirstWithSixteenBitChannels) {
  struct Case {
    const char* text;
    uint16_t r, g, b;
  };
  const Case cases[] = {
      {"&HFFFFFF", 0xFF00, 0xFF00, 0xFF00},
      {"&HC6C5D7", 0xC600, 0xC500, 0xD700},
      {"&H1A", 0x0000, 0x0000, 0x1A00},  // padded to six digits first
      {"&h0000ff", 0x0000, 0x0000, 0xFF00},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Colour16 v = gradientColour(c.text);
    EXPECT_EQ(v.red, c.r);
    EXPECT_EQ(v.green, c.g);
    EXPECT_EQ(v.blue, c.b);
  }
  EXPECT_EQ(std::string(kGradientLightText), "&HFFFFFF");
  EXPECT_EQ(std::string(kGradientDarkText), "&HC6C5D7");
}

TEST(FillGradient, FirstAndLastRowsBothWays) {
  // 25 rows: the rectangle ends at row 24, so row 23 is the last one filled,
  // 23/24 of the way from top to bottom colour.
  struct Case {
    bool reverse;
    Rgb first, last;
  };
  const Case cases[] = {{false, Rgb{255, 255, 255}, Rgb{200, 199, 216}},
                        {true, Rgb{198, 197, 215}, Rgb{252, 252, 253}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reverse);
    Image img = makeImage(73, 25, kClearColour);
    fillGradient(img, c.reverse);
    for (int x = 0; x < 72; ++x) {
      ASSERT_EQ(pixelAt(img, x, 0), c.first) << "x " << x;
      ASSERT_EQ(pixelAt(img, x, 23), c.last) << "x " << x;
    }
    // The right-most column and the bottom row are left to the frame.
    EXPECT_EQ(pixelAt(img, 72, 0), kClearColour);
    EXPECT_EQ(pixelAt(img, 10, 24), kClearColour);
    // Every row is one colour, changing steadily downwards.
    for (int y = 1; y < 24; ++y) {
      if (c.reverse) {
        EXPECT_GE(pixelAt(img, 5, y).r, pixelAt(img, 5, y - 1).r);
      } else {
        EXPECT_LE(pixelAt(img, 5, y).r, pixelAt(img, 5, y - 1).r);
      }
    }
  }
}

TEST(FillGradient, TooSmallSurfacesGetNoGradient) {
  for (auto size : {std::pair<int, int>{1, 25}, {73, 1}, {0, 0}}) {
    Image img = makeImage(size.first, size.second, kClearColour);
    fillGradient(img, false);
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x) EXPECT_EQ(pixelAt(img, x, y), kClearColour);
  }
}

TEST(FramePieces, DestinationsAt125By25) {
  const Rect expected[8] = {
      {0, 0, 4, 4},      {4, 0, 117, 4},  {121, 0, 4, 4}, {121, 4, 4, 17},
      {121, 21, 4, 4},   {4, 21, 117, 4}, {0, 21, 4, 4},  {0, 4, 4, 17},
  };
  const Rect sources[8] = {
      {0, 0, 4, 4},   {4, 0, 56, 4},  {60, 0, 4, 4}, {60, 4, 4, 17},
      {60, 21, 4, 4}, {4, 21, 56, 4}, {0, 21, 4, 4}, {0, 4, 4, 17},
  };
  auto pieces = framePieces(125, 25);
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(pieces[i].fits);
    EXPECT_TRUE(pieces[i].destination == expected[i]);
    EXPECT_TRUE(pieces[i].source == sources[i]);
  }
}

TEST(FramePieces, LayoutBeyondSixteenBitTwipsIsSkipped) {
  // 2184 pixels are 32760 twips and fit; 2185 pixels do not.
  for (const auto& p : framePieces(2184, 25)) EXPECT_TRUE(p.fits);
  auto wide = framePieces(2185, 25);
  const bool usesWidth[8] = {false, true, true, true, true, true, false, false};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(wide[i].fits, !usesWidth[i]) << i;
}

// Paints a face with the given picture and no gradient direction change.
Image face(int w, int h, Picture which) {
  Image img = makeImage(w, h, kClearColour);
  fillGradient(img, false);
  drawFramePieces(img, picture(which));
  return img;
}

TEST(FramePieces, EightPixelsWideHasNoStretchedEdgesAndNoGradient) {
  // Every pixel comes from the picture unchanged: the left four columns and
  // the right four, all 25 rows.
  Image img = face(8, 25, Picture::Selected);
  const Image& pic = picture(Picture::Selected);
  for (int y = 0; y < 25; ++y) {
    for (int x = 0; x < 8; ++x) {
      int sx = x < 4 ? x : 56 + x;
      ASSERT_EQ(pixelAt(img, x, y), pixelAt(pic, sx, y)) << x << "," << y;
    }
  }
  // The same holds for the height.
  Image flat = face(73, 8, Picture::Normal);
  const Image& normal = picture(Picture::Normal);
  for (int y = 0; y < 8; ++y) {
    int sy = y < 4 ? y : 17 + y;
    EXPECT_EQ(pixelAt(flat, 0, y), pixelAt(normal, 0, sy));
    EXPECT_EQ(pixelAt(flat, 72, y), pixelAt(normal, 63, sy));
    EXPECT_EQ(pixelAt(flat, 36, y), pixelAt(normal, 30, sy));
  }
}

TEST(FramePieces, StretchedFramesAt73And125) {
  for (int w : {73, 125}) {
    SCOPED_TRACE(w);
    for (Picture which : {Picture::Normal, Picture::Pressed}) {
      SCOPED_TRACE(pictureName(which));
      Image img = face(w, 25, which);
      const Image& pic = picture(which);
      Image gradient = makeImage(w, 25, kClearColour);
      fillGradient(gradient, false);
      // Corners are copied as they are.
      for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
          EXPECT_EQ(pixelAt(img, x, y), pixelAt(pic, x, y));
          EXPECT_EQ(pixelAt(img, w - 4 + x, y), pixelAt(pic, 60 + x, y));
          EXPECT_EQ(pixelAt(img, x, 21 + y), pixelAt(pic, x, 21 + y));
          EXPECT_EQ(pixelAt(img, w - 4 + x, 21 + y), pixelAt(pic, 60 + x, 21 + y));
        }
      }
      // The edges run the full length with the picture's ring colours.
      for (int x = 4; x < w - 4; ++x) {
        for (int y = 0; y < 4; ++y) {
          ASSERT_EQ(pixelAt(img, x, y), pixelAt(pic, 30, y)) << x << "," << y;
          ASSERT_EQ(pixelAt(img, x, 21 + y), pixelAt(pic, 30, 21 + y)) << x;
        }
      }
      for (int y = 4; y < 21; ++y) {
        for (int x = 0; x < 4; ++x) {
          EXPECT_EQ(pixelAt(img, x, y), pixelAt(pic, x, y));
          EXPECT_EQ(pixelAt(img, w - 4 + x, y), pixelAt(pic, 60 + x, y));
        }
      }
      // The middle is the gradient, untouched.
      for (int y = 4; y < 21; ++y)
        for (int x = 4; x < w - 4; ++x) ASSERT_EQ(pixelAt(img, x, y), pixelAt(gradient, x, y));
    }
  }
}

TEST(FramePieces, TallerButtonsStretchTheSides) {
  Image img = face(73, 40, Picture::HighLight);
  const Image& pic = picture(Picture::HighLight);
  EXPECT_EQ(pixelAt(img, 2, 4), pixelAt(pic, 2, 4));      // the side runs start at the top colour
  EXPECT_EQ(pixelAt(img, 2, 35), pixelAt(pic, 2, 20));    // and end at the bottom colour
  EXPECT_EQ(pixelAt(img, 0, 20), pixelAt(pic, 0, 12));    // margin all the way down
  EXPECT_EQ(pixelAt(img, 1, 20), kFrameBlue);
  EXPECT_EQ(pixelAt(img, 71, 30), kFrameBlue);
  EXPECT_EQ(pixelAt(img, 30, 38), kFrameBlue);       // bottom frame line at h - 2
}

TEST(Pictures, RingColoursOfEachLook) {
  struct Case {
    Picture which;
    int frameRow;
    Rgb frame;
    Rgb margin;     // row 0
    Rgb bandRow3;   // what tells the looks apart
    Rgb bottomRow;  // row 22 or so
  };
  const Case cases[] = {
      {Picture::Normal, 1, kFrameBlue, rgbHex(0xE0DCC9), rgbHex(0xF3F3EE), rgbHex(0xD6D0C5)},
      {Picture::HighLight, 1, kFrameBlue, rgbHex(0xE0DCC9), rgbHex(0xFDD889), rgbHex(0xE59700)},
      {Picture::HighLightSelect, 1, kFrameBlue, rgbHex(0xE0DCC9), rgbHex(0xFDD889), rgbHex(0xE59700)},
      {Picture::Selected, 1, kFrameBlue, rgbHex(0xE0DCC9), rgbHex(0xCEE7FF), rgbHex(0x6982EE)},
      {Picture::Pressed, 2, kFrameBlue, rgbHex(0xECE9D8), rgbHex(0xD1CCC0), kFrameBlue},
      {Picture::Disable, 1, kFrameDisabled, rgbHex(0xECE9D8), rgbHex(0xF5F4EA), rgbHex(0xF5F4EA)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(pictureName(c.which));
    const Image& pic = picture(c.which);
    ASSERT_EQ(pic.width, 64);
    ASSERT_EQ(pic.height, 25);
    int f = c.frameRow;
    // The frame line all round, apart from its rounded corners.
    for (int x = f + 1; x < 63 - f; ++x) {
      EXPECT_EQ(pixelAt(pic, x, f), c.frame) << x;
      EXPECT_EQ(pixelAt(pic, x, 24 - f), c.frame) << x;
    }
    for (int y = f + 1; y < 24 - f; ++y) {
      EXPECT_EQ(pixelAt(pic, f, y), c.frame) << y;
      EXPECT_EQ(pixelAt(pic, 63 - f, y), c.frame) << y;
    }
    EXPECT_NE(pixelAt(pic, f, f), c.frame);
    EXPECT_EQ(pixelAt(pic, 30, 0), c.margin);
    EXPECT_EQ(pixelAt(pic, 30, 3), c.bandRow3);
    EXPECT_EQ(pixelAt(pic, 30, 22), c.bottomRow);
  }
}

TEST(Pictures, PressedHasShadowInsideAndLightOutside) {
  const Image& pic = picture(Picture::Pressed);
  EXPECT_EQ(pixelAt(pic, 3, 10), rgbHex(0xD7D4CA));
  EXPECT_EQ(pixelAt(pic, 30, 21), rgbHex(0xF2F2EE));
  EXPECT_EQ(pixelAt(pic, 60, 10), rgbHex(0xE5E4DD));
  EXPECT_EQ(pixelAt(pic, 30, 23), rgbHex(0xF8F7F0));
  EXPECT_EQ(pixelAt(pic, 62, 10), rgbHex(0xF0EEE0));
}

TEST(Pictures, SideBandsRunFromTheirTopToTheirBottomColour) {
  struct Case {
    Picture which;
    Rgb leftTop, leftBottom, rightTop, rightBottom;
  };
  const Case cases[] = {
      {Picture::Normal, rgbHex(0xFDFDFC), rgbHex(0xECEBE6), rgbHex(0xFBFBFA), rgbHex(0xE0DDD4)},
      {Picture::HighLight, rgbHex(0xFEDF9A), rgbHex(0xF9B435), rgbHex(0xFEDF9A), rgbHex(0xF9B435)},
      {Picture::Selected, rgbHex(0xB7D0F4), rgbHex(0x8BADE4), rgbHex(0xB7D0F4), rgbHex(0x8BADE4)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(pictureName(c.which));
    const Image& pic = picture(c.which);
    EXPECT_EQ(pixelAt(pic, 2, 4), c.leftTop);
    EXPECT_EQ(pixelAt(pic, 3, 20), c.leftBottom);
    EXPECT_EQ(pixelAt(pic, 60, 4), c.rightTop);
    EXPECT_EQ(pixelAt(pic, 61, 20), c.rightBottom);
  }
}

// --- The face as the button paints it ---------------------------------------------

TEST(PaintFace, CaptionRowFollowsTheHeight) {
  struct Case {
    int height;
    int topTwips;
    int topPixels;
  };
  // (H - 195 - 20) / 2 twips.
  const Case cases[] = {{25, 80, 5}, {21, 50, 3}, {40, 192, 13}, {8, -48, -3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    Command b;
    b.sizeChanged(73, c.height);
    EXPECT_EQ(b.caption().topTwips, c.topTwips);
    EXPECT_EQ(b.caption().topPixels(), c.topPixels);
    EXPECT_EQ(b.caption().widthTwips, 73 * 15);
  }
}

TEST(PaintFace, GradientDirectionFollowsTheStateNotThePicture) {
  Command b;
  b.load(PropertyBag{});
  b.sizeChanged(73, 25);
  b.Initialize();
  const Rgb light{255, 255, 255};
  EXPECT_EQ(pixelAt(b.surface(), 36, 0), pixelAt(picture(Picture::Normal), 30, 0));
  EXPECT_GT(pixelAt(b.surface(), 36, 5).r, pixelAt(b.surface(), 36, 19).r);  // light above dark
  b.mouseMove();  // HighLight: dark to light
  EXPECT_LT(pixelAt(b.surface(), 36, 5).r, pixelAt(b.surface(), 36, 19).r);
  EXPECT_EQ(pixelAt(b.surface(), 10, 3), rgbHex(0xFDD889));
  b.focusGained();  // Pressed picture, state 4: direction kept
  EXPECT_EQ(pixelAt(b.surface(), 10, 3), rgbHex(0xD1CCC0));
  EXPECT_LT(pixelAt(b.surface(), 36, 5).r, pixelAt(b.surface(), 36, 19).r);
  b.pointerWatch(false);  // Selected: light to dark again
  EXPECT_GT(pixelAt(b.surface(), 36, 5).r, pixelAt(b.surface(), 36, 19).r);
  EXPECT_EQ(pixelAt(b.surface(), 10, 3), rgbHex(0xCEE7FF));
  EXPECT_NE(pixelAt(b.surface(), 36, 5), light);
}

}  // namespace
}  // namespace button
