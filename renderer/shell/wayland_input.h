// The input rules' view of a Wayland seat: keyboard and pointer events on the
// renderer's surfaces become the same neutral SaverEvents the X11 and Win32
// shells make. Plain bookkeeping, no Wayland types: surfaces, keyboards and
// pointers are only told apart by their addresses.
//
// What Wayland makes different:
// - Pointer positions are per surface. An `enter` carries one but is no move;
//   it only becomes the reference the next motion is measured from, so a
//   pointer crossing from one output's surface to the next (leave + enter)
//   moves nothing.
// - Only one surface has a keyboard at a time, and focus moves between the
//   renderer's own surfaces (following the pointer across outputs, or a new
//   keymap re-entering). Another application became active only when, after
//   the events at hand, a keyboard left and none of our surfaces has one.
// - Keyboards and pointers come and go with the seat's capabilities; one that
//   goes takes its focus with it, which is nobody becoming active.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <map>
#include <vector>

#include "renderer/shell/saver_input.h"

class WaylandInput {
 public:
  using Id = const void*;
  // Where the events go, each as it is made (the shell hands them to
  // handleSaverInput and carries out the actions at once, so a reference
  // moved by an `enter` is seen by the events after it only).
  using Sink = std::function<void(const SaverEvent&)>;

  explicit WaylandInput(Sink sink) : sink_(std::move(sink)) {}

  // The surfaces of the renderer; events on any other surface are ignored.
  void addSurface(Id surface);
  // A surface that goes takes every focus on it along, silently.
  void removeSurface(Id surface);

  void keyboardEnter(Id keyboard, Id surface);
  void keyboardLeave(Id keyboard, Id surface);
  // Any key press while a keyboard is on one of our surfaces is a KeyDown.
  // Releases, repeats and keys already held at `enter` are nothing.
  void key(Id keyboard, bool pressed);
  void keyboardGone(Id keyboard);

  // `x`, `y` in surface coordinates. The reference for the move rule becomes
  // this position; `state` is the shell state the rules measure against.
  void pointerEnter(SaverShellState& state, Id pointer, Id surface, double x, double y);
  void pointerLeave(Id pointer, Id surface);
  void pointerMotion(Id pointer, double x, double y);
  // Linux input button codes: left, right and middle end the run; others
  // (side buttons) and the wheel do nothing, as on X11.
  void button(Id pointer, std::uint32_t code, bool pressed);
  void pointerGone(Id pointer);

  // Call once all events that have arrived are handled: when they took the
  // keyboard away from all of our surfaces, another application is active
  // and one AppSwitchAway goes to the sink.
  void endOfEvents();

  bool keyboardOnUs() const;

  static constexpr std::uint32_t kButtonLeft = 0x110;
  static constexpr std::uint32_t kButtonRight = 0x111;
  static constexpr std::uint32_t kButtonMiddle = 0x112;

 private:
  bool ours(Id surface) const;
  void emit(const SaverEvent& event);
  void dropFocusOn(Id surface);

  std::vector<Id> surfaces_;
  std::map<Id, Id> keyboardFocus_;  // keyboard -> our surface it is on
  std::map<Id, Id> pointerFocus_;   // pointer -> our surface it is over
  Sink sink_;
  bool keyboardLeft_ = false;       // a leave since the last endOfEvents
};
