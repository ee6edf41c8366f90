#include <gtest/gtest.h>

#include "renderer/shell/surface_size.h"

namespace {

SurfaceFacts fractional(int configuredW, int configuredH, int scale120) {
  SurfaceFacts facts;
  facts.configuredWidth = configuredW;
  facts.configuredHeight = configuredH;
  facts.modeWidth = 1920;
  facts.modeHeight = 1080;
  facts.outputScale = 2;  // what a compositor rounds 1.5 up to
  facts.canSetBufferScale = true;
  facts.preferredScale120 = scale120;
  facts.hasViewport = true;
  return facts;
}

TEST(SurfaceSize, ScaledLengthRoundsHalfAwayFromZero) {
  EXPECT_EQ(scaledLength(1280, 180), 1920);
  EXPECT_EQ(scaledLength(720, 180), 1080);
  EXPECT_EQ(scaledLength(1, 180), 2);    // 1.5 -> 2
  EXPECT_EQ(scaledLength(3, 150), 4);    // 3.75 -> 4
  EXPECT_EQ(scaledLength(5, 132), 6);    // 5.5 -> 6
  EXPECT_EQ(scaledLength(1000, 121), 1008);  // 1008.33 -> 1008
  EXPECT_EQ(scaledLength(1366, 150), 1708);  // 1707.5 -> 1708
  EXPECT_EQ(scaledLength(0, 180), 0);
  EXPECT_EQ(scaledLength(100, 0), 0);
  EXPECT_EQ(scaledLength(-5, 180), 0);
}

TEST(SurfaceSize, FractionalScaleGivesTheExactPixelsThroughAViewport) {
  const SurfaceSize size = chooseSurfaceSize(fractional(1280, 720, 180));
  EXPECT_EQ(size.bufferWidth, 1920);  // not 2560 from the whole scale 2
  EXPECT_EQ(size.bufferHeight, 1080);
  EXPECT_EQ(size.surfaceWidth, 1280);
  EXPECT_EQ(size.surfaceHeight, 720);
  EXPECT_EQ(size.bufferScale, 1);
  EXPECT_TRUE(size.viewport);

  const SurfaceSize odd = chooseSurfaceSize(fractional(1366, 769, 150));  // 1.25
  EXPECT_EQ(odd.bufferWidth, 1708);
  EXPECT_EQ(odd.bufferHeight, 961);  // 961.25
}

TEST(SurfaceSize, FractionalScaleWithoutAConfiguredSizeTakesTheModesPixels) {
  const SurfaceSize size = chooseSurfaceSize(fractional(0, 0, 180));
  EXPECT_EQ(size.bufferWidth, 1920);
  EXPECT_EQ(size.bufferHeight, 1080);
  EXPECT_EQ(size.surfaceWidth, 1280);
  EXPECT_EQ(size.surfaceHeight, 720);
  EXPECT_TRUE(size.viewport);
}

TEST(SurfaceSize, WholeScaleWhereEitherProtocolIsMissingOrNoScaleCame) {
  for (SurfaceFacts facts : {fractional(960, 540, 180), fractional(960, 540, 0)}) {
    if (facts.preferredScale120) facts.hasViewport = false;
    const SurfaceSize size = chooseSurfaceSize(facts);
    EXPECT_EQ(size.bufferWidth, 1920);
    EXPECT_EQ(size.bufferHeight, 1080);
    EXPECT_EQ(size.surfaceWidth, 960);
    EXPECT_EQ(size.surfaceHeight, 540);
    EXPECT_EQ(size.bufferScale, 2);
    EXPECT_FALSE(size.viewport);
  }
}

TEST(SurfaceSize, WholeScaleOnlyWhereTheSurfaceCanDeclareIt) {
  SurfaceFacts facts;
  facts.configuredWidth = 1024;
  facts.configuredHeight = 768;
  facts.outputScale = 2;
  facts.canSetBufferScale = false;
  const SurfaceSize size = chooseSurfaceSize(facts);
  EXPECT_EQ(size.bufferWidth, 1024);
  EXPECT_EQ(size.bufferHeight, 768);
  EXPECT_EQ(size.bufferScale, 1);
}

TEST(SurfaceSize, ModeSizeAtAWholeScaleIsAMultipleOfIt) {
  SurfaceFacts facts;
  facts.modeWidth = 1367;
  facts.modeHeight = 769;
  facts.outputScale = 2;
  facts.canSetBufferScale = true;
  const SurfaceSize size = chooseSurfaceSize(facts);
  EXPECT_EQ(size.bufferWidth, 1366);
  EXPECT_EQ(size.bufferHeight, 768);
  EXPECT_EQ(size.surfaceWidth, 683);
  EXPECT_EQ(size.surfaceHeight, 384);
}

TEST(SurfaceSize, AbsurdSizesAndScalesFallBack) {
  // Nothing known at all, a huge configure, and a scale past any display's.
  SurfaceFacts nothing;
  SurfaceSize size = chooseSurfaceSize(nothing);
  EXPECT_EQ(size.bufferWidth, 640);
  EXPECT_EQ(size.bufferHeight, 480);

  size = chooseSurfaceSize(fractional(20000, 720, 180));
  EXPECT_EQ(size.surfaceWidth, 640);
  EXPECT_EQ(size.surfaceHeight, 480);
  EXPECT_EQ(size.bufferWidth, 960);
  EXPECT_EQ(size.bufferHeight, 720);

  size = chooseSurfaceSize(fractional(12000, 720, 240));  // 24000 pixels wide
  EXPECT_LE(size.bufferWidth, 16384);

  SurfaceFacts wild = fractional(1280, 720, 120 * 1000);
  wild.outputScale = 1000;
  size = chooseSurfaceSize(wild);
  EXPECT_FALSE(size.viewport);
  EXPECT_EQ(size.bufferScale, 1);
  EXPECT_EQ(size.bufferWidth, 1280);

  SurfaceFacts negative;
  negative.configuredWidth = -4;
  negative.configuredHeight = -4;
  negative.modeWidth = 800;
  negative.modeHeight = 600;
  size = chooseSurfaceSize(negative);
  EXPECT_EQ(size.bufferWidth, 800);
  EXPECT_EQ(size.bufferHeight, 600);
}

}  // namespace
