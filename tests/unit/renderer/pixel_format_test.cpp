#include <gtest/gtest.h>

#include "renderer/shell/pixel_format.h"

namespace {

PixelFormatDescription format(int colour, int depth, bool generic = false,
                              bool accelerated = false) {
  PixelFormatDescription f;
  f.drawToWindow = f.supportOpenGL = f.doubleBuffer = f.rgba = true;
  f.colourBits = colour;
  f.depthBits = depth;
  f.generic = generic;
  f.genericAccelerated = accelerated;
  return f;
}

TEST(PixelFormat, Scores) {
  struct Case {
    const char* name;
    PixelFormatDescription f;
    int score;
  };
  PixelFormatDescription noDouble = format(32, 32);
  noDouble.doubleBuffer = false;
  PixelFormatDescription noGl = format(32, 32);
  noGl.supportOpenGL = false;
  PixelFormatDescription noWindow = format(32, 32);
  noWindow.drawToWindow = false;
  PixelFormatDescription indexed = format(32, 32);
  indexed.rgba = false;
  const Case cases[] = {
      {"16-bit colour, 16-bit depth, driver", format(16, 16), 2048},
      {"32-bit colour, 24-bit depth, driver", format(32, 24), 2072},
      {"32-bit colour, 32-bit depth, driver", format(32, 32), 2088},
      {"generic software 32/32", format(32, 32, true), 88},
      {"generic accelerated 32/32", format(32, 32, true, true), 1088},
      {"24-bit colour loses 4", format(24, 0), 2020},
      {"17-bit colour: half of -1 truncates to 0", format(17, 0), 2017},
      {"not double-buffered", noDouble, -1},
      {"no OpenGL", noGl, -1},
      {"not for windows", noWindow, -1},
      {"colour index", indexed, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(pixelFormatScore(c.f), c.score) << c.name;
}

TEST(PixelFormat, BestIsHighestScoreEarliestAmongEquals) {
  PixelFormatDescription deepButSingle = format(32, 64);
  deepButSingle.doubleBuffer = false;
  PixelFormatDescription deepIndexed = format(32, 64);
  deepIndexed.rgba = false;
  struct Case {
    const char* name;
    std::vector<PixelFormatDescription> formats;
    int best;
  };
  const Case cases[] = {
      {"empty list", {}, -1},
      {"highest wins", {format(16, 16), format(32, 32), format(32, 24)}, 1},
      {"tie: lowest index", {format(32, 24, true), format(32, 32), format(32, 32)}, 1},
      {"driver beats generic", {format(32, 32, true), format(16, 0)}, 1},
      {"filtered formats never win", {deepButSingle, deepIndexed, format(16, 0, true)}, 2},
      {"nothing passes", {deepButSingle, deepIndexed}, -1},
      {"a score of 0 is not chosen", {format(0, 0, true)}, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(bestPixelFormat(c.formats), c.best) << c.name;
}

}  // namespace
