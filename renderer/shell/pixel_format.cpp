#include "renderer/shell/pixel_format.h"

int pixelFormatScore(const PixelFormatDescription& f) {
  if (!f.supportOpenGL || !f.drawToWindow || !f.doubleBuffer || !f.rgba) return -1;
  int score = f.colourBits + 2 * f.depthBits;
  if (f.colourBits > 16) score += (16 - f.colourBits) / 2;  // truncates toward zero
  if (!f.generic)
    score += 2000;
  else if (f.genericAccelerated)
    score += 1000;
  return score;
}

int bestPixelFormat(const std::vector<PixelFormatDescription>& formats) {
  int best = -1;
  int bestScore = 0;
  for (int i = 0; i < static_cast<int>(formats.size()); ++i) {
    int score = pixelFormatScore(formats[i]);
    if (score > bestScore) {  // strictly greater: the earliest of equals stays
      best = i;
      bestScore = score;
    }
  }
  return best;
}
