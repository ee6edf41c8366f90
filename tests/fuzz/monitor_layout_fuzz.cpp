// The monitor layout: any virtual screen, primary monitor and list of
// monitors (a driver or a remote desktop may report anything). Beyond not
// crashing: every picture lies inside the window and has an area, none
// repeats another, and there is always at least one.
#include "renderer/shell/monitor_layout.h"

#include "fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

ScreenRect rectOf(FuzzedDataProvider& in) {
  ScreenRect r;
  // Mostly the sizes screens have, sometimes any number at all.
  if (in.ConsumeBool()) {
    r.left = in.ConsumeIntegralInRange(-8192, 8192);
    r.top = in.ConsumeIntegralInRange(-8192, 8192);
    r.right = r.left + in.ConsumeIntegralInRange(-16, 8192);
    r.bottom = r.top + in.ConsumeIntegralInRange(-16, 8192);
  } else {
    r.left = in.ConsumeIntegral<int>();
    r.top = in.ConsumeIntegral<int>();
    r.right = in.ConsumeIntegral<int>();
    r.bottom = in.ConsumeIntegral<int>();
  }
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const ScreenRect virtualScreen = rectOf(in), primary = rectOf(in);
  std::vector<ScreenRect> monitors;
  while (monitors.size() < 16 && in.remaining_bytes() > 0) monitors.push_back(rectOf(in));

  const MonitorLayout layout = layoutMonitors(virtualScreen, primary, monitors);
  FUZZ_CHECK(!layout.views.empty());
  FUZZ_CHECK(layout.views.size() <= std::max<size_t>(monitors.size(), 1));
  if (layout.window.empty()) return 0;
  const int64_t width = int64_t{layout.window.right} - layout.window.left;
  const int64_t height = int64_t{layout.window.bottom} - layout.window.top;
  for (size_t i = 0; i < layout.views.size(); ++i) {
    const ScreenRect& view = layout.views[i];
    FUZZ_CHECK(!view.empty());
    FUZZ_CHECK(view.left >= 0 && view.top >= 0 && view.right <= width && view.bottom <= height);
    for (size_t j = 0; j < i; ++j) FUZZ_CHECK(!(layout.views[j] == view));
  }
  return 0;
}
