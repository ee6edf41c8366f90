// The curtains' pseudo-random numbers: uniform integers 0..32767 from one
// process-wide generator. A run seeds it from the clock (whole seconds), so
// two runs started within the same second draw the same curtains; tests seed
// it with fixed values to get repeatable curtains.
#pragma once

#include <cstdint>

constexpr int kCurtainRandomMax = 32767;

void seedCurtainRandom(std::uint32_t seed);

// Seeds from the current time in whole seconds.
void seedCurtainRandomFromTime();

// The next draw, 0..kCurtainRandomMax.
int curtainRandom();
