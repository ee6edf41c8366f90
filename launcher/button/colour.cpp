#include "launcher/button/colour.h"

namespace button {
namespace {

constexpr uint32_t kSystemFlag = 0x80000000u;
constexpr uint32_t kLastSystemColour = 30;

// The classic desktop scheme, by system colour number.
constexpr uint32_t kSystemColours[kLastSystemColour + 1] = {
    0xD4D0C8, 0x3A6EA5, 0x0A246A, 0x808080, 0xD4D0C8, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xD4D0C8, 0xD4D0C8, 0x808080, 0x0A246A, 0xFFFFFF, 0xD4D0C8,
    0x808080, 0x808080, 0x000000, 0xD4D0C8, 0xFFFFFF, 0x404040, 0xD4D0C8, 0x000000,
    0xFFFFE1, 0x000000, 0x000080, 0xA6CAF0, 0xC0C0C0, 0x316AC5, 0xD4D0C8,
};

}  // namespace

bool isValidColour(uint32_t colour) {
  uint32_t high = colour & 0xFF000000u;
  if (high == 0 || high == 0x02000000u) return true;  // plain, or palette-relative plain
  return high == kSystemFlag && (colour & 0x00FFFFFFu) <= kLastSystemColour;
}

Rgb resolveColour(uint32_t colour) {
  if (!isValidColour(colour)) return Rgb{};
  if ((colour & 0xFF000000u) == kSystemFlag) return rgbHex(kSystemColours[colour & 0xFFu]);
  return Rgb{static_cast<uint8_t>(colour), static_cast<uint8_t>(colour >> 8),
             static_cast<uint8_t>(colour >> 16)};
}

}  // namespace button
