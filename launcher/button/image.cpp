#include "launcher/button/image.h"

#include <algorithm>

namespace button {

Image makeImage(int width, int height, Rgb fill) {
  Image img;
  img.width = std::max(0, width);
  img.height = std::max(0, height);
  img.pixels.assign(static_cast<size_t>(img.width) * img.height * 3, 0);
  fillImage(img, fill);
  return img;
}

Rgb pixelAt(const Image& img, int x, int y) {
  if (!inside(img, x, y)) return Rgb{};
  const uint8_t* p = img.at(x, y);
  return Rgb{p[0], p[1], p[2]};
}

void setPixel(Image& img, int x, int y, Rgb c) {
  if (!inside(img, x, y)) return;
  uint8_t* p = img.at(x, y);
  p[0] = c.r;
  p[1] = c.g;
  p[2] = c.b;
}

void fillImage(Image& img, Rgb c) {
  for (size_t i = 0; i + 2 < img.pixels.size(); i += 3) {
    img.pixels[i] = c.r;
    img.pixels[i + 1] = c.g;
    img.pixels[i + 2] = c.b;
  }
}

}  // namespace button
