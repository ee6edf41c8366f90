#include "launcher/core/preview_rules.h"

#include <cstdint>

namespace preview {

bool pixelsToTwips16(int pixels, int twipsPerPixel, int16_t& twips) {
  int64_t value = static_cast<int64_t>(pixels) * twipsPerPixel;
  if (value < INT16_MIN || value > INT16_MAX) return false;
  twips = static_cast<int16_t>(value);
  return true;
}

int previewExtent(int hostPixels, int twipsPerPixel) {
  if (hostPixels <= 0) return 0;
  if (twipsPerPixel <= 0) return hostPixels;
  int16_t twips = 0;
  if (!pixelsToTwips16(hostPixels, twipsPerPixel, twips)) return hostPixels;
  return twips / twipsPerPixel;
}

}  // namespace preview
