// The WGL side of the pixel-format choice: the formats DescribePixelFormat
// lists, read for bestPixelFormat(), and the fallback request.
#pragma once

#include <windows.h>

#include <vector>

#include "renderer/shell/pixel_format.h"

// How one descriptor reads for the scoring rule.
PixelFormatDescription describePixelFormatDescriptor(const PIXELFORMATDESCRIPTOR& descriptor);

// Every format of the device context, index 1 first (element 0 is index 1).
std::vector<PIXELFORMATDESCRIPTOR> listPixelFormats(HDC deviceContext);

// The 1-based index of the best scored format in `formats` (as listed by
// listPixelFormats), or 0 when none passes.
int bestPixelFormatIndex(const std::vector<PIXELFORMATDESCRIPTOR>& formats);

// Sets the pixel format of the saver window's device context: the best
// scored one, else the nearest to a double-buffered RGBA window format with
// 24 colour and 24 depth bits. Results of the set-up calls are not checked:
// a context that cannot be made on the outcome shows as a black screen.
void choosePixelFormat(HDC deviceContext);
