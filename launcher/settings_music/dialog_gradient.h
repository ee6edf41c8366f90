// The settings dialog's background: horizontal lines whose brightness follows
// half a sine wave from the top edge to the bottom edge, dark at both edges
// and brightest across the middle. Plain code; the view draws the lines.
#pragma once

#include <cstdint>
#include <vector>

namespace dialog {

struct LineColour {
  uint8_t r, g, b;
  bool operator==(const LineColour& o) const { return r == o.r && g == o.g && b == o.b; }
};

// The brightness v of line y in an area `height` lines high:
// |220 sin(y / k)| with k = height / 3.142, rounded to the nearest whole
// number, halves to the even neighbour. 0 for a height of 0 or less.
int gradientLevel(int y, int height);

// The colours of lines 0 to `height` (one more than the area shows; the
// last line falls just outside it): the dialog's navy-to-lavender
// (v, v, v + 30) and the panel's grey (v + 30 on every channel).
std::vector<LineColour> dialogGradient(int height);
std::vector<LineColour> panelGradient(int height);

}  // namespace dialog
