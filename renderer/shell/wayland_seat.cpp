// The Wayland shell's seats: keyboards and pointers as they come and go,
// their events handed to the seat bookkeeping (WaylandInput) and from there
// to the input rules, and what the rules ask for in return (a hidden
// pointer, a posted close, the end of the run).
#include <unistd.h>

#include <algorithm>

#include "renderer/shell/wayland_shell.h"

namespace {

// Keyboard: any press ends the run, so the keymap is never read; its
// descriptor is closed all the same.
void keyboardKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) {
  if (fd >= 0) close(fd);
}
void keyboardEnter(void* data, wl_keyboard* keyboard, uint32_t, wl_surface* surface, wl_array*) {
  static_cast<WaylandSeat*>(data)->shell->input().keyboardEnter(keyboard, surface);
}
void keyboardLeave(void* data, wl_keyboard* keyboard, uint32_t, wl_surface* surface) {
  static_cast<WaylandSeat*>(data)->shell->input().keyboardLeave(keyboard, surface);
}
void keyboardKey(void* data, wl_keyboard* keyboard, uint32_t, uint32_t, uint32_t, uint32_t state) {
  static_cast<WaylandSeat*>(data)->shell->input().key(keyboard,
                                                      state == WL_KEYBOARD_KEY_STATE_PRESSED);
}
void keyboardModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void keyboardRepeat(void*, wl_keyboard*, int32_t, int32_t) {}
const wl_keyboard_listener kKeyboardListener = {keyboardKeymap,    keyboardEnter, keyboardLeave,
                                                keyboardKey,       keyboardModifiers,
                                                keyboardRepeat};

void pointerEnter(void* data, wl_pointer* pointer, uint32_t serial, wl_surface* surface,
                  wl_fixed_t x, wl_fixed_t y) {
  static_cast<WaylandSeat*>(data)->shell->onPointerEnter(pointer, serial, surface,
                                                         wl_fixed_to_double(x),
                                                         wl_fixed_to_double(y));
}
void pointerLeave(void* data, wl_pointer* pointer, uint32_t, wl_surface* surface) {
  static_cast<WaylandSeat*>(data)->shell->input().pointerLeave(pointer, surface);
}
void pointerMotion(void* data, wl_pointer* pointer, uint32_t, wl_fixed_t x, wl_fixed_t y) {
  static_cast<WaylandSeat*>(data)->shell->input().pointerMotion(pointer, wl_fixed_to_double(x),
                                                                wl_fixed_to_double(y));
}
void pointerButton(void* data, wl_pointer* pointer, uint32_t, uint32_t, uint32_t button,
                   uint32_t state) {
  static_cast<WaylandSeat*>(data)->shell->input().button(pointer, button,
                                                         state == WL_POINTER_BUTTON_STATE_PRESSED);
}
void pointerAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void pointerFrame(void*, wl_pointer*) {}
void pointerAxisSource(void*, wl_pointer*, uint32_t) {}
void pointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void pointerAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
const wl_pointer_listener kPointerListener = {
    pointerEnter, pointerLeave,      pointerMotion,   pointerButton,      pointerAxis,
    pointerFrame, pointerAxisSource, pointerAxisStop, pointerAxisDiscrete,
    nullptr};  // the seat is bound at version 5 at most: no axis_value120

void seatCapabilities(void* data, wl_seat*, uint32_t capabilities) {
  auto* seat = static_cast<WaylandSeat*>(data);
  seat->shell->onCapabilities(*seat, capabilities);
}
void seatName(void*, wl_seat*, const char*) {}
const wl_seat_listener kSeatListener = {seatCapabilities, seatName};

void postedCloseDone(void* data, wl_callback* callback, uint32_t) {
  static_cast<WaylandShell*>(data)->onPostedCloseDone(callback);
}
const wl_callback_listener kPostedCloseListener = {postedCloseDone};

SaverEvent closeEvent() {
  SaverEvent event;
  event.kind = SaverEventKind::CloseRequest;
  return event;
}

}  // namespace

void WaylandShell::addSeat(wl_registry* registry, std::uint32_t name, std::uint32_t version) {
  auto seat = std::make_unique<WaylandSeat>();
  seat->shell = this;
  seat->globalName = name;
  seat->version = std::min(version, 5u);
  seat->seat =
      static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, seat->version));
  wl_seat_add_listener(seat->seat, &kSeatListener, seat.get());
  seats_.push_back(std::move(seat));
}

bool WaylandShell::removeSeat(std::uint32_t name) {
  for (auto it = seats_.begin(); it != seats_.end(); ++it) {
    if ((*it)->globalName != name) continue;
    releaseSeatDevices(**it, true, true);
    if ((*it)->version >= 5)
      wl_seat_release((*it)->seat);
    else
      wl_seat_destroy((*it)->seat);
    seats_.erase(it);
    return true;
  }
  return false;
}

void WaylandShell::releaseSeats() {
  for (wl_callback* callback : postedCloses_) wl_callback_destroy(callback);
  postedCloses_.clear();
  for (auto& seat : seats_) {
    releaseSeatDevices(*seat, true, true);
    wl_seat_destroy(seat->seat);
  }
  seats_.clear();
}

void WaylandShell::onCapabilities(WaylandSeat& seat, std::uint32_t capabilities) {
  // Bound on every change: keyboards and mice come and go (a virtual
  // keyboard, a mouse plugged in later).
  const bool keyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
  const bool pointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
  releaseSeatDevices(seat, seat.keyboard && !keyboard, seat.pointer && !pointer);
  if (keyboard && !seat.keyboard) {
    seat.keyboard = wl_seat_get_keyboard(seat.seat);
    wl_keyboard_add_listener(seat.keyboard, &kKeyboardListener, &seat);
  }
  if (pointer && !seat.pointer) {
    seat.pointer = wl_seat_get_pointer(seat.seat);
    wl_pointer_add_listener(seat.pointer, &kPointerListener, &seat);
  }
}

void WaylandShell::releaseSeatDevices(WaylandSeat& seat, bool keyboard, bool pointer) {
  if (keyboard && seat.keyboard) {
    input_.keyboardGone(seat.keyboard);
    if (seat.version >= 3)
      wl_keyboard_release(seat.keyboard);
    else
      wl_keyboard_destroy(seat.keyboard);
    seat.keyboard = nullptr;
  }
  if (pointer && seat.pointer) {
    input_.pointerGone(seat.pointer);
    if (enteredPointer_ == seat.pointer) enteredPointer_ = nullptr;
    if (seat.version >= 3)
      wl_pointer_release(seat.pointer);
    else
      wl_pointer_destroy(seat.pointer);
    seat.pointer = nullptr;
  }
}

void WaylandShell::onPointerEnter(wl_pointer* pointer, std::uint32_t serial, wl_surface* surface,
                                  double x, double y) {
  enteredPointer_ = pointer;
  enterSerial_ = serial;
  input_.pointerEnter(saverShellState, pointer, surface, x, y);
}

void WaylandShell::onCloseRequest() { handle(closeEvent()); }

void WaylandShell::handle(const SaverEvent& event) {
  if (!running_) return;
  const SaverActions actions = handleSaverInput(saverShellState, event, {});
  if (actions.hideCursor && enteredPointer_) {
    // A pointer with no picture over our surface; the serial is the enter's.
    wl_pointer_set_cursor(enteredPointer_, enterSerial_, nullptr, 0, 0);
  }
  if (actions.postClose) postClose();
  if (actions.destroyWindow) running_ = false;
}

void WaylandShell::postClose() {
  // Through the compositor and back, so that the request is handled after
  // every event already on its way, as a posted close is on the other
  // platforms.
  wl_callback* callback = wl_display_sync(display_);
  wl_callback_add_listener(callback, &kPostedCloseListener, this);
  postedCloses_.push_back(callback);
}

void WaylandShell::onPostedCloseDone(wl_callback* callback) {
  postedCloses_.erase(std::remove(postedCloses_.begin(), postedCloses_.end(), callback),
                      postedCloses_.end());
  wl_callback_destroy(callback);
  handle(closeEvent());
}
