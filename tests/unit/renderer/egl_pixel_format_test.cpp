// The EGL configs Mesa lists on Wayland, described for the shared scoring.
#include <gtest/gtest.h>

#include <vector>

#include "renderer/shell/egl_pixel_format.h"

namespace {

EglConfigAttributes config(int r, int g, int b, int a, int depth, int caveat = EGL_NONE) {
  EglConfigAttributes c;
  c.surfaceType = EGL_WINDOW_BIT | EGL_PBUFFER_BIT;
  c.renderableType = EGL_OPENGL_BIT | EGL_OPENGL_ES2_BIT;
  c.colorBufferType = EGL_RGB_BUFFER;
  c.red = r;
  c.green = g;
  c.blue = b;
  c.alpha = a;
  c.bufferSize = r + g + b + a;
  c.depth = depth;
  c.caveat = caveat;
  return c;
}

std::vector<PixelFormatDescription> describe(const std::vector<EglConfigAttributes>& configs) {
  std::vector<PixelFormatDescription> formats;
  for (const auto& c : configs) formats.push_back(describeEglConfig(c));
  return formats;
}

TEST(EglPixelFormat, TheExact888ConfigWinsOverTheDeeperOnesListedFirst) {
  // Mesa's order: 10-bit first, then alpha, then the plain 8/8/8 ones.
  const std::vector<EglConfigAttributes> listed = {
      config(10, 10, 10, 0, 24), config(10, 10, 10, 2, 24), config(8, 8, 8, 8, 24),
      config(8, 8, 8, 0, 0),     config(8, 8, 8, 0, 24),    config(8, 8, 8, 0, 16),
  };
  EXPECT_EQ(bestPixelFormat(describe(listed)), 4);
  // With the same scoring as GLX and WGL: 24 colour bits, 24 depth bits.
  EXPECT_EQ(pixelFormatScore(describeEglConfig(listed[4])), 24 + 48 - 4 + 2000);
}

TEST(EglPixelFormat, WhatCannotDrawDesktopGlToAWindowIsNeverChosen) {
  EglConfigAttributes noWindow = config(8, 8, 8, 0, 32);
  noWindow.surfaceType = EGL_PBUFFER_BIT;
  EglConfigAttributes esOnly = config(8, 8, 8, 0, 32);
  esOnly.renderableType = EGL_OPENGL_ES2_BIT;
  EglConfigAttributes luminance = config(8, 8, 8, 0, 32);
  luminance.colorBufferType = EGL_LUMINANCE_BUFFER;
  EglConfigAttributes rgb565 = config(5, 6, 5, 0, 32);
  for (const auto& c : {noWindow, esOnly, luminance, rgb565})
    EXPECT_EQ(pixelFormatScore(describeEglConfig(c)), -1);
  EXPECT_EQ(bestPixelFormat(describe({noWindow, esOnly, luminance, rgb565})), -1);
  EXPECT_EQ(bestPixelFormat(describe({noWindow, esOnly, config(8, 8, 8, 0, 16)})), 2);
}

TEST(EglPixelFormat, CaveatsReadAsGenericFormats) {
  const PixelFormatDescription slow = describeEglConfig(config(8, 8, 8, 0, 24, EGL_SLOW_CONFIG));
  EXPECT_TRUE(slow.generic);
  EXPECT_FALSE(slow.genericAccelerated);
  const PixelFormatDescription odd =
      describeEglConfig(config(8, 8, 8, 0, 24, EGL_NON_CONFORMANT_CONFIG));
  EXPECT_TRUE(odd.generic);
  EXPECT_TRUE(odd.genericAccelerated);
  // A driver's own config beats a slow one with a deeper depth buffer.
  EXPECT_EQ(bestPixelFormat(describe({config(8, 8, 8, 0, 32, EGL_SLOW_CONFIG),
                                      config(8, 8, 8, 0, 16)})),
            1);
}

}  // namespace
