#include "launcher/settings_music/dialog_gradient.h"

#include <cmath>

#include "platform/runtime/conversions.h"

namespace dialog {
namespace {

// The constant the painting has always used, not the exact value of pi: the
// last line's sine is a hair below zero, which still rounds to 0.
constexpr double kHalfTurn = 3.142;
constexpr double kPeak = 220;

uint8_t channel(int v) { return static_cast<uint8_t>(v > 255 ? 255 : v); }

std::vector<LineColour> lines(int height, int addR, int addG, int addB) {
  std::vector<LineColour> out;
  if (height < 0) return out;
  out.reserve(static_cast<size_t>(height) + 1);
  for (int y = 0; y <= height; ++y) {
    int v = gradientLevel(y, height);
    out.push_back({channel(v + addR), channel(v + addG), channel(v + addB)});
  }
  return out;
}

}  // namespace

int gradientLevel(int y, int height) {
  if (height <= 0) return 0;
  double k = height / kHalfTurn;
  return static_cast<int>(platform::roundHalfEven(std::fabs(kPeak * std::sin(y / k))));
}

std::vector<LineColour> dialogGradient(int height) { return lines(height, 0, 0, 30); }

std::vector<LineColour> panelGradient(int height) { return lines(height, 30, 30, 30); }

}  // namespace dialog
