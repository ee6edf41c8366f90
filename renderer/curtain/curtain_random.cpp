#include "renderer/curtain/curtain_random.h"

#include <ctime>

namespace {
// A plain linear congruential generator whose 15 high bits of the low word
// are the draw: cheap, the same on every platform, and good enough for a
// handful of wave parameters per curtain.
std::uint32_t g_state = 1;
}  // namespace

void seedCurtainRandom(std::uint32_t seed) { g_state = seed; }

void seedCurtainRandomFromTime() {
  seedCurtainRandom(static_cast<std::uint32_t>(std::time(nullptr)));
}

int curtainRandom() {
  g_state = g_state * 214013u + 2531011u;
  return static_cast<int>((g_state >> 16) & 0x7FFFu);
}
