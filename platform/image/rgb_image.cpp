#include "platform/image/rgb_image.h"

#include <algorithm>
#include <cmath>

namespace platform {

RgbImage scaleBilinear(const RgbImage& source, int width, int height) {
  RgbImage result;
  if (source.empty() || width < 1 || height < 1) return result;
  result.width = width;
  result.height = height;
  result.pixels.resize(static_cast<size_t>(width) * height * 3);
  auto map = [](int i, int outSize, int inSize) {
    return outSize > 1 ? static_cast<double>(i) * (inSize - 1) / (outSize - 1) : (inSize - 1) / 2.0;
  };
  for (int y = 0; y < height; ++y) {
    double sy = map(y, height, source.height);
    int y0 = static_cast<int>(std::floor(sy));
    int y1 = std::min(y0 + 1, source.height - 1);
    double fy = sy - y0;
    for (int x = 0; x < width; ++x) {
      double sx = map(x, width, source.width);
      int x0 = static_cast<int>(std::floor(sx));
      int x1 = std::min(x0 + 1, source.width - 1);
      double fx = sx - x0;
      for (int c = 0; c < 3; ++c) {
        double top = source.at(x0, y0)[c] * (1 - fx) + source.at(x1, y0)[c] * fx;
        double bottom = source.at(x0, y1)[c] * (1 - fx) + source.at(x1, y1)[c] * fx;
        result.at(x, y)[c] = static_cast<uint8_t>(std::lround(top * (1 - fy) + bottom * fy));
      }
    }
  }
  return result;
}

}  // namespace platform
