#include "renderer/curtain/light_curtain.h"

#include <cmath>

#include "renderer/curtain/curtain_random.h"
#include "renderer/curtain/renderer_settings.h"
#include "renderer/curtain/vec3.h"

float frameSeconds = 0.0f;

namespace {

constexpr float kTwoPi = 6.2831855f;

// The brightness threshold and its reciprocal are fixed by the first update
// of the run: the settings never change after the window is created.
struct Visibility {
  float threshold;
  float reciprocal;
};

const Visibility& runVisibility() {
  static const Visibility v = [] {
    float threshold = static_cast<float>(rendererSettings.visibility * 0.01);
    return Visibility{threshold, 1.0f / threshold};
  }();
  return v;
}

}  // namespace

LightCurtain::LightCurtain() : density_(rendererSettings.density) {
  const int n = density_;
  const float scale = static_cast<float>(1.0 / (n * 0.5));
  points.resize(n + 1);
  for (int i = 0; i <= n; ++i) {
    points[i].resize(n + 1);
    for (int j = 0; j <= n; ++j) {
      auto p = std::make_unique<CurtainPoint>();
      p->u = i * scale - 1.0f;
      p->v = j * scale - 1.0f;
      p->r2 = p->u * p->u + p->v * p->v;
      p->brightness = 0.0f;
      points[i][j] = std::move(p);
    }
  }

  const double speed = rendererSettings.speed;
  for (int k = 0; k < kCurtainWaves; ++k) {
    wave[k] = static_cast<float>(curtainRandom() * 0.00006103702 - 1.0);
    phase[k] = static_cast<float>(curtainRandom() * 0.00019175345);
    waveSpeed[k] =
        static_cast<float>(curtainRandom() * (speed * 0.03) * 0.000030518509 + speed * 0.001);
  }
  hue = static_cast<float>(curtainRandom() * 0.000030518509);
  value = 1.0f;
  saturation = static_cast<float>(curtainRandom() * 0.000027466658 + 0.1);
  hueSpeed = static_cast<float>(curtainRandom() * 0.000003051851 - 0.05);
  saturationSpeed = static_cast<float>(curtainRandom() * 0.0000012207404 + 0.001);
}

void LightCurtain::update() {
  const Visibility& vis = runVisibility();
  const float dt = frameSeconds;
  const int n = density_;

  for (int k = 0; k < kCurtainWaves; ++k) {
    phase[k] += dt * waveSpeed[k];
    // One reduction per update: a huge step comes back into range over the
    // next frames, and cos() does not care in the meantime.
    if (phase[k] > kTwoPi) phase[k] -= kTwoPi;
    wave[k] = std::cos(phase[k]);
  }

  const float c0 = wave[0], c1 = wave[1], c2 = wave[2], c3 = wave[3], c4 = wave[4],
              c5 = wave[5], c6 = wave[6], c7 = wave[7], c8 = wave[8];
  for (int i = 0; i <= n; ++i) {
    for (int j = 0; j <= n; ++j) {
      CurtainPoint& p = *points[i][j];
      p.x = c0 * p.u * p.u * p.v + c1 * p.r2 + 0.5f * c2;
      p.y = c3 * p.r2 * p.v * p.v + c4 * p.u + 0.5f * c5;
      p.z = c6 * p.u * p.r2 * p.r2 + c7 * p.v + c8;
    }
  }

  // The sheet is dark where it faces the viewer and bright where it is seen
  // edge-on; the rim keeps brightness 0 so every curtain fades out at its edge.
  Vec3 a, b, normal;
  for (int i = 1; i < n; ++i) {
    for (int j = 1; j < n; ++j) {
      const CurtainPoint& vPrev = *points[i][j - 1];
      const CurtainPoint& vNext = *points[i][j + 1];
      const CurtainPoint& uPrev = *points[i - 1][j];
      const CurtainPoint& uNext = *points[i + 1][j];
      a.set(vNext.x - vPrev.x, vNext.y - vPrev.y, vNext.z - vPrev.z);
      a.normalize();
      b.set(uNext.x - uPrev.x, uNext.y - uPrev.y, uNext.z - uPrev.z);
      b.normalize();
      normal.cross(b, a);
      float nz = std::fabs(normal.z);
      float brightness = (vis.threshold - nz) * vis.reciprocal;
      if (brightness > 1.0f) brightness = 1.0f;
      if (brightness < 0.0f) brightness = 0.0f;
      points[i][j]->brightness = brightness;
    }
  }

  hue += dt * hueSpeed;
  if (hue < 0.0f) hue += 1.0f;
  if (hue > 1.0f) hue -= 1.0f;

  saturation += dt * saturationSpeed;
  if (saturation <= 0.1f) {
    saturationSpeed = -saturationSpeed;
    saturation = 0.1f;
  }
  if (saturation >= 1.0f) {
    saturationSpeed = -saturationSpeed;
    saturation = 1.0f;
  }

  hsvToRgb(hue, saturation, value, red, green, blue);
}

void hsvToRgb(float h, float s, float v, float& red, float& green, float& blue) {
  // The breakpoints are these decimals, not exact sixths.
  if (h < 0.166667f) {
    red = 1.0f;
    green = 6.0f * h;
    blue = 0.0f;
  } else if (h < 0.333333f) {
    red = 1.0f - 6.0f * (h - 0.166667f);
    green = 1.0f;
    blue = 0.0f;
  } else if (h < 0.5f) {
    red = 0.0f;
    green = 1.0f;
    blue = 6.0f * (h - 0.333333f);
  } else if (h < 0.666667f) {
    red = 0.0f;
    green = 1.0f - 6.0f * (h - 0.5f);
    blue = 1.0f;
  } else if (h < 0.833333f) {
    red = 6.0f * (h - 0.666667f);
    green = 0.0f;
    blue = 1.0f;
  } else {
    red = 1.0f;
    green = 0.0f;
    blue = 1.0f - 6.0f * (h - 0.833333f);
  }
  red = (1.0f - (1.0f - red) * s) * v;
  green = (1.0f - (1.0f - green) * s) * v;
  blue = (1.0f - (1.0f - blue) * s) * v;
}
