// Sizing of the still preview inside its host window. Plain arithmetic, no
// display needed.
#pragma once

#include <cstdint>

namespace preview {

// A length in pixels carried through the launcher's 16-bit twips, the unit
// its window layouts use. Returns false when the twips do not fit 16 bits.
bool pixelsToTwips16(int pixels, int twipsPerPixel, int16_t& twips);

// The preview's extent along one direction for a host that many pixels long.
// The preview always takes the host's full size: a host too large for 16-bit
// twips (over 2184 pixels at 15 twips per pixel) would otherwise be given a
// preview of size 0, an empty window that shows nothing.
int previewExtent(int hostPixels, int twipsPerPixel);

}  // namespace preview
