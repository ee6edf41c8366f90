#include "renderer/shell/wgl_pixel_format.h"

PixelFormatDescription describePixelFormatDescriptor(const PIXELFORMATDESCRIPTOR& d) {
  PixelFormatDescription f;
  f.drawToWindow = (d.dwFlags & PFD_DRAW_TO_WINDOW) != 0;
  f.supportOpenGL = (d.dwFlags & PFD_SUPPORT_OPENGL) != 0;
  f.doubleBuffer = (d.dwFlags & PFD_DOUBLEBUFFER) != 0;
  f.rgba = d.iPixelType == PFD_TYPE_RGBA;
  f.generic = (d.dwFlags & PFD_GENERIC_FORMAT) != 0;
  f.genericAccelerated = (d.dwFlags & PFD_GENERIC_ACCELERATED) != 0;
  f.colourBits = d.cColorBits;
  f.depthBits = d.cDepthBits;
  return f;
}

std::vector<PIXELFORMATDESCRIPTOR> listPixelFormats(HDC deviceContext) {
  std::vector<PIXELFORMATDESCRIPTOR> formats;
  // DescribePixelFormat answers 0 for the first index past the end.
  for (int index = 1;; ++index) {
    PIXELFORMATDESCRIPTOR d{};
    if (DescribePixelFormat(deviceContext, index, sizeof d, &d) == 0) break;
    formats.push_back(d);
  }
  return formats;
}

int bestPixelFormatIndex(const std::vector<PIXELFORMATDESCRIPTOR>& formats) {
  std::vector<PixelFormatDescription> described;
  described.reserve(formats.size());
  for (const auto& d : formats) described.push_back(describePixelFormatDescriptor(d));
  return bestPixelFormat(described) + 1;
}

void choosePixelFormat(HDC deviceContext) {
  const std::vector<PIXELFORMATDESCRIPTOR> formats = listPixelFormats(deviceContext);
  const int best = bestPixelFormatIndex(formats);
  if (best > 0) {
    PIXELFORMATDESCRIPTOR d{};
    DescribePixelFormat(deviceContext, best, sizeof d, &d);
    SetPixelFormat(deviceContext, best, &d);
    return;
  }
  PIXELFORMATDESCRIPTOR wanted{};
  wanted.nSize = sizeof wanted;
  wanted.nVersion = 1;
  wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  wanted.iPixelType = PFD_TYPE_RGBA;
  wanted.cColorBits = 24;
  wanted.cDepthBits = 24;
  SetPixelFormat(deviceContext, ChoosePixelFormat(deviceContext, &wanted), &wanted);
}
