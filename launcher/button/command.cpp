#include "launcher/button/command.h"

#include <cmath>

#include "launcher/button/colour.h"

namespace button {

const char* const kCaptionDefault = "Command1";

int CaptionLabel::topPixels() const {
  return static_cast<int>(std::lround(static_cast<double>(topTwips) / kTwipsPerPixel));
}

namespace {
CommandHost g_noHost;
}

Command::Command(CommandHost* host) : host_(host) {}

CommandHost& Command::host() const { return host_ ? *host_ : g_noHost; }

// --- Operations --------------------------------------------------------------

void Command::Initialize() {
  buttonState_ = state::Normal;
  pointerWatchRunning_ = true;
  host().startPointerWatch(kPointerWatchMs);
}

bool Command::Enabled() {
  if (firstRun_ == 0) {
    RestoreNormal();
    firstRun_ = 1;
    enabled_ = true;
  }
  bool answer = enabled_;
  ApplyEnabled();
  return answer;
}

void Command::Enabled(bool value) {
  enabled_ = value;
  host().propertyChanged("Enabled");
  ApplyEnabled();
}

std::string Command::Caption() const { return caption_.text; }

void Command::Caption(const std::string& text) {
  caption_.text = text;
  host().refresh();  // the caption redraws itself; the face stays as it is
  host().propertyChanged("Caption");
}

std::shared_ptr<CaptionFont> Command::Font() const { return caption_.font; }

void Command::Font(std::shared_ptr<CaptionFont> font) {
  if (font) {
    caption_.font = std::move(font);
    host().refresh();
  }
  host().propertyChanged("Font");
}

uint32_t Command::FontColour() {
  uint32_t colour = caption_.colour;
  RestoreNormal();
  return colour;
}

void Command::FontColour(uint32_t colour) {
  if (!isValidColour(colour)) {
    // The caption refuses the value: repaint, and nothing changed to tell.
    RestoreNormal();
    return;
  }
  caption_.colour = colour;
  RestoreNormal();
  host().refresh();
  host().propertyChanged("FontColour");
}

uint8_t Command::Visible() {
  if (backdrop_ == Backdrop::Transparent) return 0;
  RestoreNormal();
  return 255;
}

void Command::Visible(uint8_t value) {
  if (value != 0) {
    backdrop_ = Backdrop::Opaque;
    RestoreNormal();
  } else {
    backdrop_ = Backdrop::Transparent;
  }
  host().refresh();
  host().propertyChanged("Visible");
}

// Each entry is one step: a value that cannot be taken as its property's type
// leaves that property as it was and loading goes on.
void Command::load(const PropertyBag& bag) {
  bool enabled = false;
  if (toBool(bag.read("Enabled", true), enabled)) enabled_ = enabled;

  std::string text;
  if (toText(bag.read("Caption", std::string(kCaptionDefault)), text)) caption_.text = text;

  CaptionFont font;
  if (toFont(bag.read("Font", host().ambientFont()), font)) {
    caption_.font = std::make_shared<CaptionFont>(font);
  }

  int64_t number = 0;
  if (toInteger(bag.read("FirstRun", std::string("1")), number) && number >= 0 && number <= 255) {
    firstRun_ = static_cast<uint8_t>(number);
  }

  if (toInteger(bag.read("FontColour", std::string("0")), number) && number >= INT32_MIN &&
      number <= INT32_MAX) {
    uint32_t colour = static_cast<uint32_t>(static_cast<int32_t>(number));
    if (isValidColour(colour)) caption_.colour = colour;
  }

  if (toInteger(bag.read("Visible", std::string("1")), number) && (number == 0 || number == 1)) {
    backdrop_ = number == 1 ? Backdrop::Opaque : Backdrop::Transparent;
  }

  host().refresh();
  RestoreNormal();
}

void Command::save(PropertyBag& bag) {
  bag.write("Enabled", enabled_, true);
  bag.write("Caption", caption_.text, std::string(kCaptionDefault));
  bag.write("FirstRun", int64_t{firstRun_}, int64_t{1});
  bag.write("Font", *caption_.font, host().ambientFont());
  bag.write("FontColour", int64_t{static_cast<int32_t>(caption_.colour)}, int64_t{0});
  bag.write("Visible", int64_t{backdrop_ == Backdrop::Opaque ? 1 : 0}, int64_t{1});
  RestoreNormal();
}

// --- Events --------------------------------------------------------------------
// Every handler ignores its event entirely while the button is disabled. Rows
// for the same event run one after the other, so a later check sees what an
// earlier one did.

void Command::mouseMove() {
  if (!enabled_) return;
  if (buttonState_ == state::Normal) {
    buttonState_ = state::HighLight;
    PaintFace(Picture::HighLight);
  }
  // Coming back onto a focused button with the left button still held does
  // not light it again; the next movement without a held button does.
  if (buttonState_ == state::Selected && !leftDown_) {
    buttonState_ = state::HighLightSelect;
    PaintFace(Picture::HighLightSelect);
  }
}

void Command::mouseDown(MouseButton which) {
  if (!enabled_) return;
  if (which == MouseButton::Left) {
    leftDown_ = true;
    PaintFace(Picture::Pressed);
  }
}

void Command::mouseUp(MouseButton which) {
  if (!enabled_) return;
  if (which == MouseButton::Left) {
    leftDown_ = false;
    if (buttonState_ == state::HighLight) PaintFace(Picture::Normal);
    if (buttonState_ == state::HighLightSelect) PaintFace(Picture::HighLightSelect);
  }
  // Any release raises Click unless the focused button has lost the pointer:
  // that is what makes a release after moving off silent.
  if (buttonState_ != state::Selected && enabled_) host().click();
}

void Command::focusGained() {
  if (!enabled_) return;
  if (buttonState_ != state::HighLight) {
    buttonState_ = state::Selected;
    PaintFace(Picture::Selected);
  }
  if (buttonState_ == state::HighLight) {
    buttonState_ = state::HighLightSelect;
    PaintFace(Picture::Pressed);
  }
}

void Command::focusLost() {
  if (!enabled_) return;
  if (buttonState_ != state::Normal) {
    buttonState_ = state::Normal;
    PaintFace(Picture::Normal);
  }
}

void Command::sizeChanged(int width, int height) {
  surface_ = makeImage(width, height, kClearColour);
  ApplyEnabled();
}

void Command::pointerWatch(bool pointerOverButton) {
  if (!pointerOverButton) MouseLeave();
}

// --- Routines ------------------------------------------------------------------

void Command::PaintFace(Picture which) {
  // The gradient's direction follows the state, not the picture: a focused
  // button reached by clicking keeps the hover's dark-to-light face.
  if (buttonState_ == state::Normal) reverseGradient_ = false;
  else if (buttonState_ == state::HighLight) reverseGradient_ = true;
  else if (buttonState_ == state::Selected) reverseGradient_ = false;

  fillImage(surface_, kClearColour);
  FillGradient();
  drawFramePieces(surface_, picture(which));
  shownPicture_ = which;
  ++paintCount_;
  host().refresh();
  placeCaption();
}

void Command::FillGradient() {
  fillGradient(surface_, reverseGradient_);
  host().refresh();
}

void Command::placeCaption() {
  long width = static_cast<long>(surface_.width) * kTwipsPerPixel;
  long height = static_cast<long>(surface_.height) * kTwipsPerPixel;
  if (!fitsTwips(width) || !fitsTwips(height)) return;
  // Halves go to the even neighbour, as twips values always have.
  double top = std::nearbyint((height - CaptionLabel::kHeightTwips - 20) / 2.0);
  caption_.topTwips = static_cast<int>(top);
  caption_.widthTwips = static_cast<int>(width);
}

void Command::ApplyEnabled() {
  if (enabled_) {
    PaintFace(Picture::Normal);
    caption_.enabled = true;
  } else {
    PaintFace(Picture::Disable);
    caption_.enabled = false;
  }
  host().refresh();
}

void Command::RestoreNormal() {
  if (!enabled_) return;
  caption_.enabled = true;
  if (firstRun_ == 0) caption_.colour = 0;
  PaintFace(Picture::Normal);
}

void Command::MouseLeave() {
  if (!enabled_) return;
  if (buttonState_ == state::HighLight) {
    buttonState_ = state::Normal;
    PaintFace(Picture::Normal);
  }
  if (buttonState_ == state::HighLightSelect) {
    buttonState_ = state::Selected;
    PaintFace(Picture::Selected);
  }
}

}  // namespace button
