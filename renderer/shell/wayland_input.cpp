#include "renderer/shell/wayland_input.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

int toPixel(double v) {
  if (!std::isfinite(v)) return 0;
  v = std::floor(v);
  if (v > 1e9) return 1000000000;
  if (v < -1e9) return -1000000000;
  return static_cast<int>(v);
}

SaverEvent eventOf(SaverEventKind kind) {
  SaverEvent event;
  event.kind = kind;
  return event;
}

}  // namespace

void WaylandInput::emit(const SaverEvent& event) {
  if (sink_) sink_(event);
}

bool WaylandInput::ours(Id surface) const {
  return surface && std::find(surfaces_.begin(), surfaces_.end(), surface) != surfaces_.end();
}

void WaylandInput::addSurface(Id surface) {
  if (surface && !ours(surface)) surfaces_.push_back(surface);
}

void WaylandInput::dropFocusOn(Id surface) {
  for (auto* focus : {&keyboardFocus_, &pointerFocus_}) {
    for (auto it = focus->begin(); it != focus->end();) {
      if (it->second == surface)
        it = focus->erase(it);
      else
        ++it;
    }
  }
}

void WaylandInput::removeSurface(Id surface) {
  surfaces_.erase(std::remove(surfaces_.begin(), surfaces_.end(), surface), surfaces_.end());
  dropFocusOn(surface);
}

void WaylandInput::keyboardEnter(Id keyboard, Id surface) {
  if (ours(surface))
    keyboardFocus_[keyboard] = surface;
  else
    keyboardFocus_.erase(keyboard);
}

void WaylandInput::keyboardLeave(Id keyboard, Id /*surface*/) {
  // The surface may arrive as null (destroyed meanwhile); a keyboard is on
  // one surface at a time, so the keyboard alone says which focus ends.
  if (keyboardFocus_.erase(keyboard) > 0) keyboardLeft_ = true;
}

void WaylandInput::key(Id keyboard, bool pressed) {
  if (pressed && keyboardFocus_.count(keyboard)) emit(eventOf(SaverEventKind::KeyDown));
}

void WaylandInput::keyboardGone(Id keyboard) { keyboardFocus_.erase(keyboard); }

void WaylandInput::pointerEnter(SaverShellState& state, Id pointer, Id surface, double x,
                                double y) {
  if (!ours(surface)) {
    pointerFocus_.erase(pointer);
    return;
  }
  pointerFocus_[pointer] = surface;
  state.lastCursor = CursorPoint{toPixel(x), toPixel(y)};
  // Entering is where the pointer cursor is chosen: keep it hidden.
  emit(eventOf(SaverEventKind::CursorQuery));
}

void WaylandInput::pointerLeave(Id pointer, Id /*surface*/) { pointerFocus_.erase(pointer); }

void WaylandInput::pointerMotion(Id pointer, double x, double y) {
  if (!pointerFocus_.count(pointer)) return;
  SaverEvent event = eventOf(SaverEventKind::MouseMove);
  event.pointer = CursorPoint{toPixel(x), toPixel(y)};
  emit(event);
}

void WaylandInput::button(Id pointer, std::uint32_t code, bool pressed) {
  if (!pressed || !pointerFocus_.count(pointer)) return;
  if (code == kButtonLeft || code == kButtonRight || code == kButtonMiddle)
    emit(eventOf(SaverEventKind::ButtonDown));
}

void WaylandInput::pointerGone(Id pointer) { pointerFocus_.erase(pointer); }

bool WaylandInput::keyboardOnUs() const { return !keyboardFocus_.empty(); }

void WaylandInput::endOfEvents() {
  const bool switched = keyboardLeft_ && !keyboardOnUs();
  keyboardLeft_ = false;
  if (switched) emit(eventOf(SaverEventKind::AppSwitchAway));
}
