#include "launcher/button/face_painter.h"

#include <cctype>
#include <cstdio>


namespace button {

const char* const kGradientLightText = "&HFFFFFF";
const char* const kGradientDarkText = "&HC6C5D7";

Colour16 gradientColour(const std::string& text) {
  size_t i = 0;
  if (text.size() >= 2 && text[0] == '&' && (text[1] == 'H' || text[1] == 'h')) i = 2;
  unsigned long value = 0;
  bool any = false;
  for (; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])); ++i) {
    int d = std::isdigit(static_cast<unsigned char>(text[i]))
                ? text[i] - '0'
                : std::toupper(static_cast<unsigned char>(text[i])) - 'A' + 10;
    value = ((value << 4) | static_cast<unsigned long>(d)) & 0xFFFFFFFFul;
    any = true;
  }
  if (!any) return Colour16{};
  char digits[16];
  std::snprintf(digits, sizeof digits, "%06lX", value);
  std::string six(digits);
  six = six.substr(six.size() - 6);
  auto pair = [&](int k) {
    return static_cast<uint16_t>(std::stoul(six.substr(static_cast<size_t>(k) * 2, 2), nullptr, 16) << 8);
  };
  return Colour16{pair(0), pair(1), pair(2)};
}

void fillGradient(Image& surface, bool reverse) {
  Colour16 light = gradientColour(kGradientLightText);
  Colour16 dark = gradientColour(kGradientDarkText);
  const Colour16& top = reverse ? dark : light;
  const Colour16& bottom = reverse ? light : dark;
  // One rectangle from (0, 0) to (w - 1, h - 1): an empty one draws nothing.
  int right = surface.width - 1, span = surface.height - 1;
  if (right <= 0 || span <= 0) return;
  auto channel = [span](uint16_t a, uint16_t b, int y) {
    long v = (static_cast<long>(a) * (span - y) + static_cast<long>(b) * y) / span;
    return to8(static_cast<uint16_t>(v));
  };
  for (int y = 0; y < span; ++y) {
    Rgb c{channel(top.red, bottom.red, y), channel(top.green, bottom.green, y),
          channel(top.blue, bottom.blue, y)};
    for (int x = 0; x < right; ++x) setPixel(surface, x, y, c);
  }
}

void stretchCopy(Image& to, Rect dst, const Image& from, Rect src) {
  if (dst.w <= 0 || dst.h <= 0 || src.w <= 0 || src.h <= 0) return;
  for (int dy = 0; dy < dst.h; ++dy) {
    int sy = src.y + static_cast<int>((2L * dy + 1) * src.h / (2L * dst.h));
    for (int dx = 0; dx < dst.w; ++dx) {
      int sx = src.x + static_cast<int>((2L * dx + 1) * src.w / (2L * dst.w));
      setPixel(to, dst.x + dx, dst.y + dy, pixelAt(from, sx, sy));
    }
  }
}

std::array<FramePiece, 8> framePieces(int width, int height) {
  const long W = static_cast<long>(width) * kTwipsPerPixel;
  const long H = static_cast<long>(height) * kTwipsPerPixel;
  const long c = 4 * kTwipsPerPixel;  // corner: 60 twips
  struct Twips {
    Rect source;
    long x, y, w, h;
    bool usesWidth, usesHeight;
  };
  // Source rectangles in pixels of the 64 x 25 picture; destinations in twips.
  const Twips layout[8] = {
      {{0, 0, 4, 4}, 0, 0, c, c, false, false},
      {{4, 0, 56, 4}, c, 0, W - 2 * c, c, true, false},
      {{60, 0, 4, 4}, W - c, 0, c, c, true, false},
      {{60, 4, 4, 17}, W - c, c, c, H - 2 * c, true, true},
      {{60, 21, 4, 4}, W - c, H - c, c, c, true, true},
      {{4, 21, 56, 4}, c, H - c, W - 2 * c, c, true, true},
      {{0, 21, 4, 4}, 0, H - c, c, c, false, true},
      {{0, 4, 4, 17}, 0, c, c, H - 2 * c, false, true},
  };
  std::array<FramePiece, 8> out;
  for (int i = 0; i < 8; ++i) {
    const Twips& t = layout[i];
    out[i].source = t.source;
    out[i].fits = (!t.usesWidth || fitsTwips(W)) && (!t.usesHeight || fitsTwips(H)) && fitsTwips(t.x) &&
                  fitsTwips(t.y) && fitsTwips(t.w) && fitsTwips(t.h);
    out[i].destination = Rect{static_cast<int>(t.x / kTwipsPerPixel), static_cast<int>(t.y / kTwipsPerPixel),
                              static_cast<int>(t.w / kTwipsPerPixel), static_cast<int>(t.h / kTwipsPerPixel)};
  }
  return out;
}

void drawFramePieces(Image& surface, const Image& picture) {
  for (const FramePiece& piece : framePieces(surface.width, surface.height)) {
    if (piece.fits) stretchCopy(surface, piece.destination, picture, piece.source);
  }
}

}  // namespace button
