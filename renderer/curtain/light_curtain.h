// One animated sheet of polar light: a square grid of points whose shape is a
// sum of nine slowly oscillating polynomial terms, lit where the sheet is seen
// edge-on, in one colour that drifts through hue and saturation.
#pragma once

#include <memory>
#include <vector>

// The time step of the frame being drawn, in seconds; 0 before the first one.
extern float frameSeconds;

struct CurtainPoint {
  float x = 0.0f, y = 0.0f, z = 0.0f;  // position, rewritten by every update
  float u = 0.0f, v = 0.0f;            // rest coordinates in [-1, 1]
  float r2 = 0.0f;                     // u² + v²
  float brightness = 0.0f;             // 0..1; border points stay 0
};

constexpr int kCurtainWaves = 9;

class LightCurtain {
 public:
  // Reads density and speed from rendererSettings and draws its random wave
  // parameters and colour drift from curtainRandom().
  LightCurtain();
  ~LightCurtain() = default;
  LightCurtain(const LightCurtain&) = delete;
  LightCurtain& operator=(const LightCurtain&) = delete;

  // Advances the curtain by frameSeconds: phases, positions, brightness, colour.
  void update();

  // Immediate-mode drawing (GL): the bent sheet itself, or the flat sheet on
  // its rest grid lifted towards the viewer by its brightness.
  void drawFront() const;
  void drawBack() const;

  // points[i][j]: i walks u, j walks v; density + 1 of each.
  std::vector<std::vector<std::unique_ptr<CurtainPoint>>> points;
  float wave[kCurtainWaves] = {};
  float phase[kCurtainWaves] = {};
  float waveSpeed[kCurtainWaves] = {};
  float hue = 0.0f;
  float saturation = 0.0f;
  float value = 0.0f;
  float red = 0.0f, green = 0.0f, blue = 0.0f;
  float hueSpeed = 0.0f;
  float saturationSpeed = 0.0f;

 private:
  int density_;  // the grid size this curtain was built with
};

// Hue, saturation and value to red, green and blue. Nothing is clamped: a hue
// above 1 falls into the last sixth and can give a negative blue.
void hsvToRgb(float h, float s, float v, float& red, float& green, float& blue);
