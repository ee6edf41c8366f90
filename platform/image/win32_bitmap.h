// Our RGB pictures handed to GDI: 32-bit, top-down device-independent
// bitmaps, blue-green-red-x as GDI holds them.
#ifndef MIRAVEL_PLATFORM_IMAGE_WIN32_BITMAP_H
#define MIRAVEL_PLATFORM_IMAGE_WIN32_BITMAP_H

#include <windows.h>

#include <cstdint>

#include "platform/image/rgb_image.h"

namespace platform {

// A DIB section holding the picture, its fourth byte `alpha` everywhere (an
// icon's colour bitmap wants 0xFF, a blitted one does not look at it). Null
// for an empty picture or when GDI cannot make it.
HBITMAP makeBitmap(const RgbImage& picture, uint8_t alpha = 0);

// Draws the picture unscaled with its top left corner at x, y.
void drawPicture(HDC dc, const RgbImage& picture, int x, int y);
// The same at `width` x `height`: each pixel becomes a block of whole
// pixels (never blended with its neighbours), so a small picture stays sharp
// at a higher DPI.
void drawPicture(HDC dc, const RgbImage& picture, int x, int y, int width, int height);

}  // namespace platform

#endif
