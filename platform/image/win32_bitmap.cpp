#include "platform/image/win32_bitmap.h"

#include <vector>

namespace platform {
namespace {

BITMAPINFO topDownInfo(const RgbImage& picture) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;  // rows top to bottom, as held
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;  // no row padding at 4 bytes a pixel
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

void copyPixels(const RgbImage& picture, uint8_t alpha, uint8_t* out) {
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const uint8_t* p = picture.at(x, y);
      uint8_t* q = out + (static_cast<size_t>(y) * picture.width + x) * 4;
      q[0] = p[2];
      q[1] = p[1];
      q[2] = p[0];
      q[3] = alpha;
    }
  }
}

}  // namespace

HBITMAP makeBitmap(const RgbImage& picture, uint8_t alpha) {
  if (picture.empty()) return nullptr;
  BITMAPINFO info = topDownInfo(picture);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  if (!bits) {
    DeleteObject(bitmap);
    return nullptr;
  }
  copyPixels(picture, alpha, static_cast<uint8_t*>(bits));
  return bitmap;
}

void drawPicture(HDC dc, const RgbImage& picture, int x, int y) {
  if (picture.empty()) return;
  std::vector<uint8_t> pixels(static_cast<size_t>(picture.width) * picture.height * 4);
  copyPixels(picture, 0, pixels.data());
  BITMAPINFO info = topDownInfo(picture);
  SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(picture.width),
                    static_cast<DWORD>(picture.height), 0, 0, 0,
                    static_cast<UINT>(picture.height), pixels.data(), &info, DIB_RGB_COLORS);
}

void drawPicture(HDC dc, const RgbImage& picture, int x, int y, int width, int height) {
  if (picture.empty()) return;
  if (width == picture.width && height == picture.height) {
    drawPicture(dc, picture, x, y);
    return;
  }
  std::vector<uint8_t> pixels(static_cast<size_t>(picture.width) * picture.height * 4);
  copyPixels(picture, 0, pixels.data());
  BITMAPINFO info = topDownInfo(picture);
  const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  StretchDIBits(dc, x, y, width, height, 0, 0, picture.width, picture.height, pixels.data(), &info,
                DIB_RGB_COLORS, SRCCOPY);
  SetStretchBltMode(dc, oldMode);
}

}  // namespace platform
