// The Wayland seat's bookkeeping: any sequence of seat events (surfaces,
// keyboards and pointers coming and going, focus, keys, buttons, motion),
// handed to the input rules as the shell does. Beyond not crashing: an
// application switch is told only at the end of a batch of events and only
// when no keyboard is left on our surfaces, and taking a surface away never
// puts a keyboard on us.
#include "renderer/shell/saver_input.h"
#include "renderer/shell/wayland_input.h"

#include "fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// Surfaces, keyboards and pointers are told apart by their addresses only:
// a few small numbers stand for them (0 is the null a compositor may send).
const void* idOf(FuzzedDataProvider& in) {
  return reinterpret_cast<const void*>(static_cast<uintptr_t>(in.ConsumeIntegralInRange(0, 5)) * 16);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  SaverShellState state;
  state.rendererReady = 1;
  std::vector<SaverEventKind> seen;
  bool inBatch = false;
  WaylandInput input([&](const SaverEvent& event) {
    seen.push_back(event.kind);
    // Only endOfEvents tells of another application.
    FUZZ_CHECK(event.kind != SaverEventKind::AppSwitchAway || !inBatch);
    handleSaverInput(state, event, {});
  });

  for (int step = 0; step < 256 && in.remaining_bytes() > 0; ++step) {
    inBatch = true;
    switch (in.ConsumeIntegralInRange(0, 12)) {
      case 0: input.addSurface(idOf(in)); break;
      case 1: {
        const void* surface = idOf(in);
        const bool had = input.keyboardOnUs();
        input.removeSurface(surface);
        FUZZ_CHECK(had || !input.keyboardOnUs());
        break;
      }
      case 2: {
        const void* keyboard = idOf(in);
        input.keyboardEnter(keyboard, idOf(in));
        break;
      }
      case 3: {
        const void* keyboard = idOf(in);
        input.keyboardLeave(keyboard, idOf(in));
        break;
      }
      case 4: {
        const void* keyboard = idOf(in);
        input.key(keyboard, in.ConsumeBool());
        break;
      }
      case 5: input.keyboardGone(idOf(in)); break;
      case 6: {
        const void* pointer = idOf(in);
        const void* surface = idOf(in);
        const double x = in.ConsumeFloatingPoint<double>(), y = in.ConsumeFloatingPoint<double>();
        input.pointerEnter(state, pointer, surface, x, y);
        break;
      }
      case 7: {
        const void* pointer = idOf(in);
        input.pointerLeave(pointer, idOf(in));
        break;
      }
      case 8: {
        const void* pointer = idOf(in);
        const double x = in.ConsumeFloatingPoint<double>(), y = in.ConsumeFloatingPoint<double>();
        input.pointerMotion(pointer, x, y);
        break;
      }
      case 9: {
        const void* pointer = idOf(in);
        const uint32_t code = in.ConsumeBool() ? WaylandInput::kButtonLeft + in.ConsumeIntegralInRange(0, 3)
                                               : in.ConsumeIntegral<uint32_t>();
        input.button(pointer, code, in.ConsumeBool());
        break;
      }
      case 10: input.pointerGone(idOf(in)); break;
      case 11: {
        inBatch = false;
        const size_t before = seen.size();
        const bool onUs = input.keyboardOnUs();
        input.endOfEvents();
        // At most one switch, and none while a keyboard is on us.
        FUZZ_CHECK(seen.size() <= before + 1);
        FUZZ_CHECK(seen.size() == before || !onUs);
        break;
      }
      case 12: {
        // The other kinds of event the shell hands to the rules directly.
        SaverEvent event;
        event.kind = static_cast<SaverEventKind>(in.ConsumeIntegralInRange(0, 7));
        if (event.kind == SaverEventKind::AppSwitchAway) break;
        event.pointer = {in.ConsumeIntegral<int>(), in.ConsumeIntegral<int>()};
        seen.push_back(event.kind);
        handleSaverInput(state, event, {});
        break;
      }
    }
  }
  return 0;
}
