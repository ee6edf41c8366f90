#include <gtest/gtest.h>

#include "launcher/core/preview_rules.h"

namespace {

TEST(PreviewExtent, TakesTheHostsSizeInPixels) {
  struct Case {
    int hostPixels, twipsPerPixel, expected;
  } cases[] = {
      {152, 15, 152},  {112, 15, 112}, {300, 15, 300}, {200, 12, 200},
      {2184, 15, 2184},  // 32760 twips: the largest that fits
      {2185, 15, 2185},  // 32775 twips overflow; still the host's full size, not 0
      {3840, 15, 3840}, {0, 15, 0},    {-5, 15, 0},    {640, 0, 640},
  };
  for (const Case& c : cases)
    EXPECT_EQ(preview::previewExtent(c.hostPixels, c.twipsPerPixel), c.expected)
        << c.hostPixels << " px at " << c.twipsPerPixel << " twips/px";
}

TEST(PixelsToTwips16, RefusesWhatSixteenBitsCannotHold) {
  int16_t twips = 0;
  EXPECT_TRUE(preview::pixelsToTwips16(2184, 15, twips));
  EXPECT_EQ(twips, 32760);
  EXPECT_FALSE(preview::pixelsToTwips16(2185, 15, twips));
  EXPECT_TRUE(preview::pixelsToTwips16(-2184, 15, twips));
  EXPECT_EQ(twips, -32760);
  EXPECT_FALSE(preview::pixelsToTwips16(1 << 30, 15, twips));
}

}  // namespace
