#include "launcher/button/fltk_command_button.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include "launcher/button/colour.h"
#include "launcher/button/fltk_font.h"
#include "launcher/button/x11_pointer_window.h"

namespace button {
namespace {

Fl_Color toFl(Rgb c) { return fl_rgb_color(c.r, c.g, c.b); }

// FLTK numbers the buttons 1 left, 2 middle, 3 right.
bool mapButton(int flButton, MouseButton& out) {
  switch (flButton) {
    case FL_LEFT_MOUSE: out = MouseButton::Left; return true;
    case FL_MIDDLE_MOUSE: out = MouseButton::Middle; return true;
    case FL_RIGHT_MOUSE: out = MouseButton::Right; return true;
    default: return false;
  }
}

}  // namespace

CommandButton::CommandButton(int x, int y, int w, int h, const char* caption)
    : Fl_Double_Window(x, y, w, h), rules_(this) {
  end();  // the dialog's later widgets must not land inside the button
  box(FL_NO_BOX);
  rules_.sizeChanged(w, h);
  if (caption) rules_.Caption(caption);
}

CommandButton::~CommandButton() { Fl::remove_timeout(onTimer, this); }

int CommandButton::handle(int event) {
  MouseButton which{};
  switch (event) {
    case FL_PUSH:
      if (!mapButton(Fl::event_button(), which)) return 1;
      // The pointer may have jumped onto the button and pressed at once;
      // FLTK then delivers the move after the press, and the press would
      // find the button not hovered and its click lost. A pointer that
      // arrives always moves first, so tell the rules about the move now.
      if (Fl::event_x_root() != lastMoveX_ || Fl::event_y_root() != lastMoveY_) pointerMoved();
      // A left press on an enabled button takes the focus first, as a click
      // on a push button does; the focus change reaches the rules before the
      // press. Presses of the other buttons leave the focus where it is.
      if (which == MouseButton::Left && rules_.enabledFlag() && Fl::focus() != this) take_focus();
      rules_.mouseDown(which);
      return 1;
    case FL_RELEASE:
      // FLTK sends the release to the pressed widget wherever the pointer is.
      if (mapButton(Fl::event_button(), which)) rules_.mouseUp(which);
      return 1;  // the Click handler may have hidden the dialog: touch nothing more
    case FL_ENTER:
    case FL_MOVE:
    case FL_DRAG:
      pointerMoved();
      return 1;
    case FL_LEAVE:
      return 1;  // leaving is the pointer watch's business
    case FL_FOCUS:
      // A disabled button does not take the focus, so Tab passes over it.
      if (!rules_.enabledFlag()) return 0;
      if (!hasFocus_) {
        hasFocus_ = true;
        rules_.focusGained();
      }
      return 1;
    case FL_UNFOCUS:
      if (hasFocus_) {
        hasFocus_ = false;
        rules_.focusLost();
      }
      return 1;
    case FL_KEYBOARD:
    case FL_KEYUP:
    case FL_SHORTCUT:
      return 0;  // keys do nothing here; the dialog gets them (Tab, Escape)
    default:
      return Fl_Double_Window::handle(event);
  }
}

void CommandButton::pointerMoved() {
  lastMoveX_ = Fl::event_x_root();
  lastMoveY_ = Fl::event_y_root();
  rules_.mouseMove();
}

void CommandButton::draw() {
  const Image& face = rules_.surface();
  if (rules_.backdrop() == Backdrop::Opaque && face.width == w() && face.height == h()) {
    fl_draw_image(face.pixels.data(), 0, 0, face.width, face.height, 3);
  } else {
    // A transparent backdrop shows the container's colour behind the caption.
    fl_color(parent() ? parent()->color() : color());
    fl_rectf(0, 0, w(), h());
  }
  drawCaption();
}

void CommandButton::drawCaption() {
  const CaptionLabel& label = rules_.caption();
  if (label.text.empty()) return;
  const CaptionFont& font = *label.font;
  fl_font(fltkFont(font), fltkFontSize(font));
  const int top = label.topPixels();
  const int width = label.widthTwips / kTwipsPerPixel;
  const int height = CaptionLabel::kHeightTwips / kTwipsPerPixel;
  const char* text = label.text.c_str();

  auto textAt = [&](int dx, int dy, Fl_Color colour) {
    fl_color(colour);
    fl_draw(text, dx, top + dy, width, height, FL_ALIGN_TOP, nullptr, 0);
    if (font.underline || font.strikeout) {
      int tw = static_cast<int>(fl_width(text));
      int x0 = dx + (width - tw) / 2;
      int baseline = top + dy + fl_height() - fl_descent();
      if (font.underline) fl_xyline(x0, baseline + 1, x0 + tw - 1);
      if (font.strikeout) fl_xyline(x0, baseline - fl_height() / 3, x0 + tw - 1);
    }
  };
  if (label.enabled) {
    textAt(0, 0, toFl(resolveColour(label.colour)));
  } else {
    // The greyed look of disabled text: a light copy one pixel down and to
    // the right, the grey text over it.
    textAt(1, 1, toFl(resolveColour(kSystemButtonHighlight)));
    textAt(0, 0, toFl(resolveColour(kSystemGrayText)));
  }
}

void CommandButton::resize(int x, int y, int w, int h) {
  bool sized = w != this->w() || h != this->h();
  Fl_Double_Window::resize(x, y, w, h);
  if (sized) rules_.sizeChanged(w, h);
}

void CommandButton::refresh() { redraw(); }

void CommandButton::propertyChanged(const std::string& name) {
  if (changedHandler_) changedHandler_(*this, name);
}

void CommandButton::startPointerWatch(int intervalMs) {
  watchInterval_ = intervalMs / 1000.0;
  Fl::remove_timeout(onTimer, this);
  Fl::add_timeout(watchInterval_, onTimer, this);
}

void CommandButton::click() {
  if (clickHandler_) clickHandler_(*this);
}

void CommandButton::onTimer(void* self) {
  auto* button = static_cast<CommandButton*>(self);
  Fl::repeat_timeout(button->watchInterval_, onTimer, self);
  button->watchPointer();
}

void CommandButton::watchPointer() {
  Window own = shown() ? fl_xid(this) : 0;
  Window under = None;
  switch (deepestWindowUnderPointer(fl_display, under)) {
    case PointerAnswer::Found: rules_.pointerWatch(own != 0 && under == own); break;
    case PointerAnswer::OffScreen: rules_.pointerWatch(false); break;
    case PointerAnswer::Failed: break;  // nothing known this tick; the next one asks again
  }
}

}  // namespace button
