// Pixel code of the button face: the vertical gradient and the eight frame
// pieces cut from a 64 x 25 picture, drawn on an image of the control's size.
// Layout is worked out in twips (15 to a pixel) held as 16-bit signed values,
// as the control has always done; a value that does not fit skips its step.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "launcher/button/image.h"

namespace button {

constexpr int kTwipsPerPixel = 15;

// The two gradient colours, kept as the texts they have always been.
extern const char* const kGradientLightText;  // "&HFFFFFF"
extern const char* const kGradientDarkText;   // "&HC6C5D7"

// A colour with 16-bit channels, 0xFF00 being full intensity.
struct Colour16 {
  uint16_t red = 0, green = 0, blue = 0;
};

// Reads "&Hxxxxxx" as a hexadecimal number, writes it again as six digits and
// takes the pairs in reading order as red, green and blue, each pair p giving
// the channel p * 256. Note: red first, unlike the 0x00BBGGRR colour values
// used elsewhere. Text that is not a number gives black.
Colour16 gradientColour(const std::string& text);

// What a channel of 16 bits shows as on an 8-bit surface.
inline uint8_t to8(uint16_t channel) { return static_cast<uint8_t>(channel >> 8); }

// The colour a cleared surface shows before the face is drawn.
constexpr Rgb kClearColour = rgbHex(0xECE9D8);

// Fills the rectangle (0, 0)-(w - 1, h - 1) with a vertical gradient, top
// colour at row 0, bottom colour at row h - 1, the right-most column and
// bottom row left as they were (the frame covers them). Not reversed: light
// at the top, dark at the bottom.
void fillGradient(Image& surface, bool reverse);

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};

// Copies `src` of `from` onto `dst` of `to`, stretched or shrunk by nearest
// pixel (pixel centres mapped). Empty or negative rectangles copy nothing;
// what falls outside `to` is clipped.
void stretchCopy(Image& to, Rect dst, const Image& from, Rect src);

// One frame piece in pixels. `fits` is false when one of its layout values
// does not fit 16-bit signed twips; such a piece is not drawn.
struct FramePiece {
  Rect source;
  Rect destination;
  bool fits = true;
};

// The eight pieces for a surface of width x height pixels, in drawing order:
// top-left, top edge, top-right, right edge, bottom-right, bottom edge,
// bottom-left, left edge.
std::array<FramePiece, 8> framePieces(int width, int height);

// Draws the eight pieces of `picture` onto `surface` in order.
void drawFramePieces(Image& surface, const Image& picture);

// True when a twips value fits the control's 16-bit geometry.
inline bool fitsTwips(long value) { return value >= -32768 && value <= 32767; }

}  // namespace button
