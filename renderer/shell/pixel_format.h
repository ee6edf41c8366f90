// Choosing the pixel format of the saver window: each candidate is scored
// and the best one wins, the earliest among equals. Plain data, so the rule
// is the same whatever the window system lists.
#pragma once

#include <vector>

struct PixelFormatDescription {
  bool drawToWindow = false;
  bool supportOpenGL = false;
  bool doubleBuffer = false;
  bool rgba = false;                // not a colour-index format
  bool generic = false;             // a generic (software) format rather than the driver's own
  bool genericAccelerated = false;  // a generic format the driver accelerates
  int colourBits = 0;
  int depthBits = 0;
};

// The score of one format, or -1 when it cannot be used (not double-buffered
// RGBA that OpenGL draws to a window with). Driver formats score 2000 more,
// accelerated generic ones 1000; then colour, twice the depth, less half of
// any colour bits beyond 16.
int pixelFormatScore(const PixelFormatDescription& format);

// The index of the best format in `formats`, or -1 when none scores above 0.
int bestPixelFormat(const std::vector<PixelFormatDescription>& formats);
