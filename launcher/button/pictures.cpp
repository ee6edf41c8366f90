#include "launcher/button/pictures.h"

namespace button {
namespace {

constexpr int W = kPictureWidth;
constexpr int H = kPictureHeight;

Rgb mix(Rgb a, Rgb b, int num, int den) {
  auto m = [&](int x, int y) { return static_cast<uint8_t>((x * (den - num) + y * num + den / 2) / den); };
  return Rgb{m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

void row(Image& img, int y, int x0, int x1, Rgb c) {
  for (int x = x0; x <= x1; ++x) setPixel(img, x, y, c);
}

void column(Image& img, int x, int y0, int y1, Rgb c) {
  for (int y = y0; y <= y1; ++y) setPixel(img, x, y, c);
}

// A vertical run from `top` at y0 to `bottom` at y1.
void columnGradient(Image& img, int x, int y0, int y1, Rgb top, Rgb bottom) {
  for (int y = y0; y <= y1; ++y) setPixel(img, x, y, mix(top, bottom, y - y0, y1 - y0));
}

struct Margins {
  Rgb top, left, bottom, right;
};

void drawMargins(Image& img, const Margins& m) {
  column(img, 0, 1, H - 2, m.left);
  column(img, W - 1, 1, H - 2, m.right);
  row(img, 0, 0, W - 1, m.top);
  row(img, H - 1, 0, W - 1, m.bottom);
}

// A one-pixel rectangle `inset` pixels in from the picture's edge whose corner
// pixels are half-way to what lies outside them, which rounds the corners.
void drawFrame(Image& img, int inset, Rgb colour, Rgb outsideTop, Rgb outsideBottom) {
  int x0 = inset, x1 = W - 1 - inset, y0 = inset, y1 = H - 1 - inset;
  row(img, y0, x0, x1, colour);
  row(img, y1, x0, x1, colour);
  column(img, x0, y0, y1, colour);
  column(img, x1, y0, y1, colour);
  setPixel(img, x0, y0, mix(colour, outsideTop, 1, 2));
  setPixel(img, x1, y0, mix(colour, outsideTop, 1, 2));
  setPixel(img, x0, y1, mix(colour, outsideBottom, 1, 2));
  setPixel(img, x1, y1, mix(colour, outsideBottom, 1, 2));
}

// The layout shared by Normal, HighLight(Select) and Selected: margin, frame
// line, then two-pixel bands inside the frame.
struct BandedLook {
  Rgb topBand[2];     // rows 2 and 3
  Rgb bottomBand[2];  // rows 21 and 22
  Rgb leftTop, leftBottom;
  Rgb rightTop, rightBottom;
};

constexpr Margins kNormalMargins{rgbHex(0xE0DCC9), rgbHex(0xE2DECB), rgbHex(0xF8F7F0),
                                 rgbHex(0xF0EEE0)};

Image banded(const BandedLook& look) {
  Image img = makeImage(W, H, mix(look.topBand[1], look.bottomBand[0], 1, 2));
  drawMargins(img, kNormalMargins);
  drawFrame(img, 1, kFrameBlue, kNormalMargins.top, kNormalMargins.bottom);
  for (int x = 2; x <= 3; ++x) columnGradient(img, x, 4, H - 5, look.leftTop, look.leftBottom);
  for (int x = W - 4; x <= W - 3; ++x)
    columnGradient(img, x, 4, H - 5, look.rightTop, look.rightBottom);
  row(img, 2, 2, W - 3, look.topBand[0]);
  row(img, 3, 2, W - 3, look.topBand[1]);
  row(img, H - 4, 2, W - 3, look.bottomBand[0]);
  row(img, H - 3, 2, W - 3, look.bottomBand[1]);
  return img;
}

Image makeNormal() {
  return banded({{rgbHex(0xF3F3EE), rgbHex(0xF3F3EE)},
                 {rgbHex(0xE2DFD6), rgbHex(0xD6D0C5)},
                 rgbHex(0xFDFDFC), rgbHex(0xECEBE6),
                 rgbHex(0xFBFBFA), rgbHex(0xE0DDD4)});
}

Image makeHighLight() {
  return banded({{rgbHex(0xFFF0CF), rgbHex(0xFDD889)},
                 {rgbHex(0xF8B230), rgbHex(0xE59700)},
                 rgbHex(0xFEDF9A), rgbHex(0xF9B435),
                 rgbHex(0xFEDF9A), rgbHex(0xF9B435)});
}

Image makeSelected() {
  return banded({{rgbHex(0xCEE7FF), rgbHex(0xCEE7FF)},
                 {rgbHex(0x6982EE), rgbHex(0x6982EE)},
                 rgbHex(0xB7D0F4), rgbHex(0x8BADE4),
                 rgbHex(0xB7D0F4), rgbHex(0x8BADE4)});
}

// Pressed: the frame sits one pixel further in, with light outside it and a
// shadow along its inner top and left.
Image makePressed() {
  const Rgb margin = rgbHex(0xECE9D8);
  const Rgb lightRow = rgbHex(0xF8F7F0), lightColumn = rgbHex(0xF0EEE0);
  Image img = makeImage(W, H, rgbHex(0xEAE8E0));
  drawMargins(img, {margin, margin, margin, margin});
  row(img, 1, 1, W - 2, lightRow);
  column(img, 1, 1, H - 2, lightColumn);
  row(img, H - 2, 1, W - 2, lightRow);
  column(img, W - 2, 1, H - 2, lightColumn);
  drawFrame(img, 2, kFrameBlue, lightRow, lightRow);
  row(img, 3, 3, W - 4, rgbHex(0xD1CCC0));
  column(img, 3, 4, H - 5, rgbHex(0xD7D4CA));
  row(img, H - 4, 3, W - 4, rgbHex(0xF2F2EE));
  column(img, W - 4, 4, H - 5, rgbHex(0xE5E4DD));
  return img;
}

Image makeDisable() {
  const Rgb margin = rgbHex(0xECE9D8);
  Image img = makeImage(W, H, rgbHex(0xF5F4EA));
  drawMargins(img, {margin, margin, margin, margin});
  drawFrame(img, 1, kFrameDisabled, margin, margin);
  return img;
}

}  // namespace

const Image& picture(Picture which) {
  static const Image normal = makeNormal();
  static const Image highLight = makeHighLight();
  static const Image selected = makeSelected();
  static const Image pressed = makePressed();
  static const Image disable = makeDisable();
  switch (which) {
    case Picture::Normal: return normal;
    // The hover pictures with and without focus are the same picture.
    case Picture::HighLight:
    case Picture::HighLightSelect: return highLight;
    case Picture::Selected: return selected;
    case Picture::Pressed: return pressed;
    case Picture::Disable: return disable;
  }
  return normal;
}

const char* pictureName(Picture which) {
  switch (which) {
    case Picture::Normal: return "Normal";
    case Picture::HighLight: return "HighLight";
    case Picture::HighLightSelect: return "HighLightSelect";
    case Picture::Selected: return "Selected";
    case Picture::Pressed: return "Pressed";
    case Picture::Disable: return "Disable";
  }
  return "?";
}

}  // namespace button
