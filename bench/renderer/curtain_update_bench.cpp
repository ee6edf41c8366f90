// One LightCurtain::update at the fixed settings: 101 × 101 positions and
// 99 × 99 normals, as every drawn frame does once per curtain.
#include <benchmark/benchmark.h>

#include "renderer/curtain/curtain_random.h"
#include "renderer/curtain/light_curtain.h"
#include "renderer/curtain/renderer_settings.h"

static void BM_CurtainUpdate(benchmark::State& state) {
  rendererSettings = fixedRendererSettings();
  seedCurtainRandom(2024);
  LightCurtain curtain;
  frameSeconds = 1.0f / 60.0f;
  for (auto _ : state) {
    curtain.update();
    benchmark::DoNotOptimize(curtain.points[50][50]->brightness);
  }
  state.counters["points"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * 101 * 101, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CurtainUpdate)->Unit(benchmark::kMicrosecond);

static void BM_CurtainConstruction(benchmark::State& state) {
  rendererSettings = fixedRendererSettings();
  seedCurtainRandom(2024);
  for (auto _ : state) {
    LightCurtain curtain;
    benchmark::DoNotOptimize(curtain.hue);
  }
}
BENCHMARK(BM_CurtainConstruction)->Unit(benchmark::kMicrosecond);
