// Pixel helpers for the button's drawing surface and its six frame pictures,
// all plain RGB images (platform::RgbImage: rows top to bottom, R G B bytes).
#pragma once

#include <cstdint>

#include "platform/image/rgb_image.h"

namespace button {

using Image = platform::RgbImage;

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
  bool operator!=(const Rgb& o) const { return !(*this == o); }
};

// #RRGGBB written as 0xRRGGBB.
constexpr Rgb rgbHex(uint32_t v) {
  return Rgb{static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
}

// An image of width x height (negative sizes count as 0), every pixel `fill`.
Image makeImage(int width, int height, Rgb fill = Rgb{});

inline bool inside(const Image& img, int x, int y) {
  return x >= 0 && y >= 0 && x < img.width && y < img.height;
}

// Out-of-range reads give black and writes are dropped, so drawing code can
// clip by simply writing.
Rgb pixelAt(const Image& img, int x, int y);
void setPixel(Image& img, int x, int y, Rgb c);
void fillImage(Image& img, Rgb c);

}  // namespace button
