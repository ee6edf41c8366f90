// The zooming rectangle with which the settings dialog opens out of the mouse
// position and shrinks back into it when it closes.
#pragma once

#include <cstdint>
#include <vector>

class Fl_Window;

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

// The animations, on the screen of FLTK's display connection. They draw on
// the root window with an XOR outline, so they leave nothing behind. Nothing
// is drawn without a display or under a compositing manager (which would not
// show drawing on the root window).
void ZoomOpen(Fl_Window& window);   // from ZoomPoint out to the window
void ZoomClose(Fl_Window& window);  // from the window back to ZoomPoint
