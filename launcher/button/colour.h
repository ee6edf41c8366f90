// Colour values as the launcher's layout data holds them: 0x00BBGGRR for a
// plain colour, 0x800000nn for system colour nn.
#pragma once

#include <cstdint>

#include "launcher/button/image.h"

namespace button {

// False for values no caption can take (an unknown system colour, a palette
// index, anything with other high bits set).
bool isValidColour(uint32_t colour);

// The colour as shown on screen; system colours take the classic desktop
// scheme's values. Invalid values show as black.
Rgb resolveColour(uint32_t colour);

constexpr uint32_t kSystemGrayText = 0x80000011u;
constexpr uint32_t kSystemButtonHighlight = 0x80000014u;

}  // namespace button
