// A plain 8-bit RGB image: the button's drawing surface and its six frame
// pictures. Rows run top to bottom, three bytes per pixel.
#pragma once

#include <cstdint>
#include <vector>

namespace button {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
  bool operator!=(const Rgb& o) const { return !(*this == o); }
};

// #RRGGBB written as 0xRRGGBB.
constexpr Rgb rgbHex(uint32_t v) {
  return Rgb{static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
}

class Image {
 public:
  Image() = default;
  Image(int width, int height, Rgb fill = Rgb{});

  int width() const { return width_; }
  int height() const { return height_; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // Out-of-range reads give black and writes are dropped, so drawing code can
  // clip by simply writing.
  Rgb at(int x, int y) const;
  void set(int x, int y, Rgb c);
  void fill(Rgb c);
  // Changes the size; the content is cleared to `fill`.
  void resize(int width, int height, Rgb fill = Rgb{});

  const uint8_t* data() const { return pixels_.data(); }

 private:
  int width_ = 0, height_ = 0;
  std::vector<uint8_t> pixels_;
};

}  // namespace button
