// Plain 8-bit RGB pictures: decoding the JPEGs the launcher embeds, and
// smooth scaling. No display needed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // width * height * 3, row by row, R G B

  bool empty() const { return width <= 0 || height <= 0; }
  const uint8_t* at(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 3]; }
  uint8_t* at(int x, int y) { return &pixels[(static_cast<size_t>(y) * width + x) * 3]; }
};

// Decodes a JPEG held in memory. False (and `out` left empty) for anything
// that is not a complete, clean JPEG: libjpeg decodes a truncated file
// "successfully" with a warning, which counts as damaged here.
bool decodeJpeg(const uint8_t* data, size_t size, RgbImage& out);

// Bilinear resampling to width x height (both at least 1); the corners of
// the source map onto the corners of the result.
RgbImage scaleBilinear(const RgbImage& source, int width, int height);

}  // namespace platform
