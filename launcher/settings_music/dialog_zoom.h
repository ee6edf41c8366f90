// The zooming rectangle with which the settings dialog opens out of the mouse
// position and shrinks back into it when it closes: the remembered point and
// the outlines, as plain code. Each platform's view draws them
// (x11_dialog_zoom.h; DrawAnimatedRects on Windows).
#pragma once

#include <cstdint>
#include <vector>

// The mouse position remembered for the zoom, in screen pixels, as the
// launcher-wide pair of 16-bit numbers it has always been.
struct ZoomPointType {
  int16_t x = 0;
  int16_t y = 0;
};
extern ZoomPointType ZoomPoint;

// Stores the pointer position in ZoomPoint; (0, 0) when the position could
// not be read or does not fit 16 bits.
void RememberZoomPoint(bool known, long x, long y);

namespace dialog {

// A rectangle on the screen; right and bottom are exclusive.
struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const ScreenRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// The outlines of the animation from `from` to `to`: `steps` rectangles whose
// edges move in even steps, the last one equal to `to`. None for steps < 1.
std::vector<ScreenRect> zoomFrames(const ScreenRect& from, const ScreenRect& to, int steps);

// The empty rectangle at ZoomPoint.
ScreenRect zoomPointRect();

}  // namespace dialog
