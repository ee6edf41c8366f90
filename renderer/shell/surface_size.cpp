#include "renderer/shell/surface_size.h"

namespace {

constexpr long long kLargest = 16384;
constexpr int kFallbackWidth = 640, kFallbackHeight = 480;
// Scales beyond 16 are no display's: a value past it is noise.
constexpr int kLargestScale120 = 16 * 120;

long long scaledRounded(long long length, long long scale120) {
  // Half away from zero; lengths here are never negative.
  return (length * scale120 + 60) / 120;
}

bool sane(long long width, long long height) {
  return width > 0 && height > 0 && width <= kLargest && height <= kLargest;
}

}  // namespace

int scaledLength(int length, int scale120) {
  if (length <= 0 || scale120 <= 0) return 0;
  const long long scaled = scaledRounded(length, scale120);
  return scaled > kLargest ? static_cast<int>(kLargest + 1) : static_cast<int>(scaled);
}

SurfaceSize chooseSurfaceSize(const SurfaceFacts& facts) {
  SurfaceSize size;
  const bool fractional = facts.hasViewport && facts.preferredScale120 > 0 &&
                          facts.preferredScale120 <= kLargestScale120;
  if (fractional) {
    const long long scale120 = facts.preferredScale120;
    long long surfaceW = facts.configuredWidth, surfaceH = facts.configuredHeight;
    long long bufferW, bufferH;
    if (surfaceW > 0 && surfaceH > 0) {
      bufferW = scaledRounded(surfaceW, scale120);
      bufferH = scaledRounded(surfaceH, scale120);
    } else {
      // Ours to choose: the output's own pixels, and the surface the size
      // they cover at this scale.
      bufferW = facts.modeWidth;
      bufferH = facts.modeHeight;
      surfaceW = (bufferW * 120 + scale120 / 2) / scale120;
      surfaceH = (bufferH * 120 + scale120 / 2) / scale120;
    }
    if (!sane(bufferW, bufferH) || !sane(surfaceW, surfaceH)) {
      surfaceW = kFallbackWidth;
      surfaceH = kFallbackHeight;
      bufferW = scaledRounded(surfaceW, scale120);
      bufferH = scaledRounded(surfaceH, scale120);
    }
    size.bufferWidth = static_cast<int>(bufferW);
    size.bufferHeight = static_cast<int>(bufferH);
    size.surfaceWidth = static_cast<int>(surfaceW);
    size.surfaceHeight = static_cast<int>(surfaceH);
    size.bufferScale = 1;
    size.viewport = true;
    return size;
  }

  const int scale =
      facts.canSetBufferScale && facts.outputScale > 0 && facts.outputScale <= 16
          ? facts.outputScale
          : 1;
  // A buffer must be a whole multiple of its scale: a mode the scale does
  // not divide loses its last few pixels rather than break the protocol.
  long long wide = facts.configuredWidth > 0 ? 1LL * facts.configuredWidth * scale
                                             : 1LL * (facts.modeWidth / scale) * scale;
  long long high = facts.configuredHeight > 0 ? 1LL * facts.configuredHeight * scale
                                              : 1LL * (facts.modeHeight / scale) * scale;
  if (!sane(wide, high)) {
    wide = 1LL * kFallbackWidth * scale;
    high = 1LL * kFallbackHeight * scale;
  }
  size.bufferWidth = static_cast<int>(wide);
  size.bufferHeight = static_cast<int>(high);
  size.surfaceWidth = size.bufferWidth / scale;
  size.surfaceHeight = size.bufferHeight / scale;
  size.bufferScale = scale;
  return size;
}
