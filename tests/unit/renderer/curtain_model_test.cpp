#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "renderer/curtain/curtain_random.h"
#include "renderer/curtain/light_curtain.h"
#include "renderer/curtain/renderer_settings.h"
#include "renderer/curtain/vec3.h"

namespace {

constexpr float kHalfPi = 1.5707964f;  // cos() of it is ~0

class CurtainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rendererSettings = fixedRendererSettings();
    frameSeconds = 0.0f;
    seedCurtainRandom(12345);
  }
};

// A curtain whose nine wave values are fixed: cos(phase[k]) == wanted[k]
// (within float rounding) and nothing moves.
std::unique_ptr<LightCurtain> frozenCurtain(int density, const std::vector<float>& phases) {
  rendererSettings.density = density;
  auto curtain = std::make_unique<LightCurtain>();
  for (int k = 0; k < kCurtainWaves; ++k) {
    curtain->phase[k] = phases[k];
    curtain->waveSpeed[k] = 0.0f;
  }
  return curtain;
}

struct HsvCase {
  float h, s, v;
  float r, g, b;
};

TEST(HsvToRgb, HueTableSaturationAndValue) {
  const HsvCase cases[] = {
      {0.1f, 0.5f, 1.0f, 1.0f, 0.8f, 0.5f},        // worked example
      {0.5f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f},        // 0.5 is not below 0.5: pure cyan
      {0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f},        // red
      {0.25f, 1.0f, 1.0f, 0.499998f, 1.0f, 0.0f},  // second row, the decimal breakpoint
      {0.4f, 1.0f, 1.0f, 0.0f, 1.0f, 0.400002f},   // third row
      {0.6f, 1.0f, 1.0f, 0.0f, 0.4f, 1.0f},        // fourth row
      {0.75f, 1.0f, 1.0f, 0.499998f, 0.0f, 1.0f},  // fifth row
      {0.9f, 1.0f, 1.0f, 1.0f, 0.0f, 0.600002f},   // last row
      {0.3f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f},        // no saturation: white
      {0.0f, 1.0f, 0.5f, 0.5f, 0.0f, 0.0f},        // value scales
      {1.5f, 1.0f, 1.0f, 1.0f, 0.0f, -3.000002f},  // above 1: last row, negative blue
  };
  for (const auto& c : cases) {
    float r = -9, g = -9, b = -9;
    hsvToRgb(c.h, c.s, c.v, r, g, b);
    SCOPED_TRACE(testing::Message() << "h=" << c.h << " s=" << c.s << " v=" << c.v);
    EXPECT_NEAR(r, c.r, 1e-5);
    EXPECT_NEAR(g, c.g, 1e-5);
    EXPECT_NEAR(b, c.b, 1e-5);
  }
}

TEST(Vec3Test, NormalizeAndCross) {
  Vec3 v(3.0f, 0.0f, 4.0f);
  EXPECT_FLOAT_EQ(v.normalize(), 5.0f);
  EXPECT_FLOAT_EQ(v.x, 0.6f);
  EXPECT_FLOAT_EQ(v.z, 0.8f);

  // Two coinciding neighbours give a zero difference: it becomes (0, 1, 0).
  Vec3 zero(0.0f, 0.0f, 0.0f);
  EXPECT_EQ(zero.normalize(), 0.0f);
  EXPECT_EQ(zero.x, 0.0f);
  EXPECT_EQ(zero.y, 1.0f);
  EXPECT_EQ(zero.z, 0.0f);

  Vec3 n;
  n.cross(Vec3(1, 0, 0), Vec3(0, 1, 0));
  EXPECT_FLOAT_EQ(n.z, 1.0f);
  n.cross(Vec3(0, 1, 0), Vec3(1, 0, 0));
  EXPECT_FLOAT_EQ(n.z, -1.0f);
  // The arguments are copies, so the result may be one of them.
  Vec3 a(0, 1, 0), b(0, 0, 1);
  a.cross(a, b);
  EXPECT_FLOAT_EQ(a.x, 1.0f);
  EXPECT_FLOAT_EQ(a.y, 0.0f);
  EXPECT_FLOAT_EQ(a.z, 0.0f);
}

TEST(CurtainRandom, RangeAndRepeatability) {
  seedCurtainRandom(7);
  std::vector<int> first;
  int low = 32767, high = 0;
  double sum = 0;
  for (int i = 0; i < 200000; ++i) {
    int r = curtainRandom();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, kCurtainRandomMax);
    low = std::min(low, r);
    high = std::max(high, r);
    sum += r;
    if (i < 50) first.push_back(r);
  }
  EXPECT_LT(low, 10);
  EXPECT_GT(high, 32757);
  EXPECT_NEAR(sum / 200000, 16383.5, 200);
  seedCurtainRandom(7);
  for (int r : first) EXPECT_EQ(curtainRandom(), r);
}

TEST_F(CurtainTest, ConstructionGridAndRanges) {
  for (int n = 0; n < 20; ++n) {
    LightCurtain c;
    ASSERT_EQ(c.points.size(), 101u);
    ASSERT_EQ(c.points[100].size(), 101u);
    EXPECT_FLOAT_EQ(c.points[0][0]->u, -1.0f);
    EXPECT_FLOAT_EQ(c.points[0][0]->v, -1.0f);
    EXPECT_NEAR(c.points[50][100]->u, 0.0f, 1e-6);
    EXPECT_NEAR(c.points[100][100]->u, 1.0f, 1e-6);
    EXPECT_NEAR(c.points[100][100]->v, 1.0f, 1e-6);
    EXPECT_NEAR(c.points[30][70]->r2, 0.4f * 0.4f + 0.4f * 0.4f, 1e-5);
    EXPECT_EQ(c.points[42][17]->brightness, 0.0f);
    for (int k = 0; k < kCurtainWaves; ++k) {
      EXPECT_GE(c.wave[k], -1.0f);
      EXPECT_LE(c.wave[k], 1.0f);
      EXPECT_GE(c.phase[k], 0.0f);
      EXPECT_LE(c.phase[k], 6.2831855f);
      EXPECT_GE(c.waveSpeed[k], 0.015f - 1e-6f);
      EXPECT_LE(c.waveSpeed[k], 0.465f + 1e-6f);
    }
    EXPECT_GE(c.hue, 0.0f);
    EXPECT_LE(c.hue, 1.0f);
    EXPECT_GE(c.saturation, 0.1f);
    EXPECT_LE(c.saturation, 1.0f);
    EXPECT_EQ(c.value, 1.0f);
    EXPECT_GE(c.hueSpeed, -0.05f);
    EXPECT_LE(c.hueSpeed, 0.05f);
    EXPECT_GE(c.saturationSpeed, 0.001f);
    EXPECT_LE(c.saturationSpeed, 0.041f + 1e-6f);
  }
}

TEST_F(CurtainTest, SameSeedDrawsTheSameCurtain) {
  seedCurtainRandom(99);
  LightCurtain a;
  seedCurtainRandom(99);
  LightCurtain b;
  for (int k = 0; k < kCurtainWaves; ++k) {
    EXPECT_EQ(a.phase[k], b.phase[k]);
    EXPECT_EQ(a.waveSpeed[k], b.waveSpeed[k]);
  }
  EXPECT_EQ(a.hue, b.hue);
  EXPECT_EQ(a.saturationSpeed, b.saturationSpeed);
}

TEST_F(CurtainTest, PositionsFollowTheNineTerms) {
  LightCurtain c;
  frameSeconds = 0.5f;
  c.update();
  for (int k = 0; k < kCurtainWaves; ++k) EXPECT_FLOAT_EQ(c.wave[k], std::cos(c.phase[k]));
  const float* w = c.wave;
  for (auto [i, j] : {std::pair{0, 0}, {13, 77}, {100, 3}, {50, 50}}) {
    const CurtainPoint& p = *c.points[i][j];
    EXPECT_NEAR(p.x, w[0] * p.u * p.u * p.v + w[1] * p.r2 + 0.5f * w[2], 1e-5);
    EXPECT_NEAR(p.y, w[3] * p.r2 * p.v * p.v + w[4] * p.u + 0.5f * w[5], 1e-5);
    EXPECT_NEAR(p.z, w[6] * p.u * p.r2 * p.r2 + w[7] * p.v + w[8], 1e-5);
  }
}

// Density 4, point [3][2] (u 0.5, v 0): only c0, c4 and c7 are non-zero, so
// the normal's depth component is 0.25·c0 / |(0.25·c0, 0, c7)|.
float brightnessAtDepthComponent(float nz) {
  const float ratio = nz / std::sqrt(1.0f - nz * nz);  // 0.25·c0 / c7
  const float c0 = ratio <= 0.25f ? 4.0f * ratio : 1.0f;
  const float c7 = ratio <= 0.25f ? 1.0f : 0.25f / ratio;
  std::vector<float> phases(kCurtainWaves, kHalfPi);
  phases[0] = std::acos(c0);
  phases[4] = 0.0f;
  phases[7] = std::acos(c7);
  auto curtain = frozenCurtain(4, phases);
  curtain->update();
  return curtain->points[3][2]->brightness;
}

TEST_F(CurtainTest, BrightnessFollowsHowEdgeOnTheSheetIs) {
  EXPECT_NEAR(brightnessAtDepthComponent(0.45f), 0.5f, 1e-3);
  EXPECT_NEAR(brightnessAtDepthComponent(0.9f), 0.0f, 1e-4);
  EXPECT_EQ(brightnessAtDepthComponent(0.95f), 0.0f);
  EXPECT_NEAR(brightnessAtDepthComponent(0.18f), 0.8f, 1e-3);
  EXPECT_NEAR(brightnessAtDepthComponent(0.001f), 0.998889f, 1e-4);
  // Fully edge-on: full brightness, never more.
  EXPECT_NEAR(brightnessAtDepthComponent(0.0f), 1.0f, 1e-5);
  EXPECT_LE(brightnessAtDepthComponent(0.0f), 1.0f);
}

TEST_F(CurtainTest, BorderStaysDarkInteriorLights) {
  LightCurtain c;
  const int n = 100;
  float brightest = 0.0f;
  for (int frame = 0; frame < 30; ++frame) {
    frameSeconds = 0.7f;
    c.update();
    for (int k = 0; k <= n; ++k) {
      ASSERT_EQ(c.points[0][k]->brightness, 0.0f);
      ASSERT_EQ(c.points[n][k]->brightness, 0.0f);
      ASSERT_EQ(c.points[k][0]->brightness, 0.0f);
      ASSERT_EQ(c.points[k][n]->brightness, 0.0f);
    }
    for (int i = 1; i < n; ++i)
      for (int j = 1; j < n; ++j) {
        float b = c.points[i][j]->brightness;
        ASSERT_GE(b, 0.0f);
        ASSERT_LE(b, 1.0f);
        brightest = std::max(brightest, b);
      }
  }
  EXPECT_GT(brightest, 0.5f);
}

TEST_F(CurtainTest, ZeroStepChangesNothingButBouncesSaturation) {
  LightCurtain c;
  frameSeconds = 1.3f;
  c.update();
  std::vector<float> before;
  for (int k = 0; k < kCurtainWaves; ++k) before.push_back(c.phase[k]);
  const float x = c.points[20][30]->x, b = c.points[20][30]->brightness, hue = c.hue;

  frameSeconds = 0.0f;
  c.saturation = 0.1f;
  const float speed = std::fabs(c.saturationSpeed);
  c.saturationSpeed = speed;
  for (int frame = 1; frame <= 4; ++frame) {
    c.update();
    EXPECT_EQ(c.saturation, 0.1f);
    EXPECT_EQ(c.saturationSpeed, frame % 2 ? -speed : speed);
  }
  c.saturation = 1.0f;
  c.update();
  EXPECT_EQ(c.saturation, 1.0f);
  EXPECT_EQ(c.saturationSpeed, -speed);

  for (int k = 0; k < kCurtainWaves; ++k) EXPECT_EQ(c.phase[k], before[k]);
  EXPECT_EQ(c.points[20][30]->x, x);
  EXPECT_EQ(c.points[20][30]->brightness, b);
  EXPECT_EQ(c.hue, hue);
}

TEST_F(CurtainTest, SaturationBouncesOffItsBounds) {
  LightCurtain c;
  c.saturation = 0.99f;
  c.saturationSpeed = 0.04f;
  frameSeconds = 1.0f;
  c.update();
  EXPECT_EQ(c.saturation, 1.0f);
  EXPECT_FLOAT_EQ(c.saturationSpeed, -0.04f);
  c.saturation = 0.11f;
  c.update();
  EXPECT_EQ(c.saturation, 0.1f);
  EXPECT_FLOAT_EQ(c.saturationSpeed, 0.04f);
}

TEST_F(CurtainTest, LargeStepReducesPhaseOnlyOncePerUpdate) {
  LightCurtain c;
  for (int k = 0; k < kCurtainWaves; ++k) {
    c.phase[k] = 1.0f;
    c.waveSpeed[k] = 1.0f;
  }
  frameSeconds = 20.0f;  // a long pause
  c.update();
  EXPECT_NEAR(c.phase[0], 21.0f - 6.2831855f, 1e-4);
  EXPECT_NEAR(c.wave[0], std::cos(21.0f), 1e-4);
  frameSeconds = 0.0f;
  c.update();
  EXPECT_NEAR(c.phase[0], 21.0f - 2 * 6.2831855f, 1e-4);
  c.update();
  c.update();
  EXPECT_NEAR(c.phase[0], 21.0f - 3 * 6.2831855f, 1e-4);
  EXPECT_LE(c.phase[0], 6.2831855f);
  c.update();
  EXPECT_NEAR(c.phase[0], 21.0f - 3 * 6.2831855f, 1e-4);  // in range: left alone
}

TEST_F(CurtainTest, HueWrapsOnceAndAboveTwoUsesTheLastRow) {
  LightCurtain c;
  c.saturation = 0.5f;
  c.saturationSpeed = 0.0f;

  c.hue = 0.99f;
  c.hueSpeed = 0.05f;
  frameSeconds = 1.0f;
  c.update();
  EXPECT_NEAR(c.hue, 0.04f, 1e-5);

  c.hue = 0.01f;
  c.hueSpeed = -0.05f;
  c.update();
  EXPECT_NEAR(c.hue, 0.96f, 1e-5);

  c.hue = 0.5f;
  c.hueSpeed = 0.05f;
  frameSeconds = 40.0f;  // hue 2.5, reduced once to 1.5
  c.update();
  EXPECT_NEAR(c.hue, 1.5f, 1e-4);
  EXPECT_NEAR(c.red, 1.0f, 1e-5);
  EXPECT_NEAR(c.green, 0.5f, 1e-5);
  // blue ramp 1 - 6(1.5 - 0.833333) = -3, desaturated by half: 1 - 4 * 0.5
  EXPECT_NEAR(c.blue, -1.0f, 1e-3);
}

TEST_F(CurtainTest, DensityOneHasNoLitPoint) {
  rendererSettings.density = 1;
  LightCurtain c;
  ASSERT_EQ(c.points.size(), 2u);
  for (int frame = 0; frame < 5; ++frame) {
    frameSeconds = 0.9f;
    c.update();
  }
  for (int i = 0; i <= 1; ++i)
    for (int j = 0; j <= 1; ++j) EXPECT_EQ(c.points[i][j]->brightness, 0.0f);
  EXPECT_FLOAT_EQ(c.points[1][1]->u, 1.0f);
}

}  // namespace
