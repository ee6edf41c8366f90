#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "renderer/curtain/frame_clock.h"

namespace {

struct ClockCase {
  const char* name;
  std::vector<std::uint32_t> readings;  // what the millisecond source returns, in order
  std::vector<float> steps;             // the step of each tick
};

TEST(FrameClock, StepsFromReadings) {
  const ClockCase cases[] = {
      {"first frame reads twice", {1000, 1000, 1016, 1033}, {0.0f, 0.016f, 0.017f}},
      {"back-to-back first readings", {500, 502, 520}, {0.002f, 0.018f}},
      {"pause spans the whole gap", {0, 0, 16, 30016}, {0.0f, 0.016f, 30.0f}},
      {"wrap repeats the previous step",
       {0xFFFFFFE0u, 0xFFFFFFF0u, 0x00000005u, 0x00000015u},
       {0.016f, 0.016f, 0.016f}},
      {"wrap on the very first step keeps 0", {0xFFFFFFFFu, 3, 13}, {0.0f, 0.010f}},
      {"exact top of the counter", {0xFFFFFFF0u, 0xFFFFFFF0u, 0xFFFFFFFFu}, {0.0f, 0.015f}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    size_t next = 0;
    FrameClock clock([&] { return c.readings.at(next++); });
    float step = 0.0f;
    for (float expected : c.steps) {
      step = clock.tick(step);
      EXPECT_NEAR(step, expected, 1e-6);
    }
    EXPECT_EQ(next, c.readings.size());
  }
}

TEST(FrameClock, MonotonicMillisAdvances) {
  std::uint32_t a = monotonicMillis();
  std::uint32_t b = monotonicMillis();
  EXPECT_LE(static_cast<std::uint32_t>(b - a), 1000u);
}

}  // namespace
