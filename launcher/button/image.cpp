#include "launcher/button/image.h"

#include <algorithm>

namespace button {

Image::Image(int width, int height, Rgb fill) { resize(width, height, fill); }

Rgb Image::at(int x, int y) const {
  if (!contains(x, y)) return Rgb{};
  const uint8_t* p = &pixels_[(static_cast<size_t>(y) * width_ + x) * 3];
  return Rgb{p[0], p[1], p[2]};
}

void Image::set(int x, int y, Rgb c) {
  if (!contains(x, y)) return;
  uint8_t* p = &pixels_[(static_cast<size_t>(y) * width_ + x) * 3];
  p[0] = c.r;
  p[1] = c.g;
  p[2] = c.b;
}

void Image::fill(Rgb c) {
  for (size_t i = 0; i + 2 < pixels_.size(); i += 3) {
    pixels_[i] = c.r;
    pixels_[i + 1] = c.g;
    pixels_[i + 2] = c.b;
  }
}

void Image::resize(int width, int height, Rgb fill) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  pixels_.assign(static_cast<size_t>(width_) * height_ * 3, 0);
  this->fill(fill);
}

}  // namespace button
