// Command ("Kelvara.Command"): the launcher's own gradient push button, as
// plain code. It keeps the button's state, runs every event through the
// button's rules, and paints the face into its own image of the control's
// size. The FLTK view (fltk_command_button.h) feeds it events and shows the image;
// everything here runs without a display.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "launcher/button/face_painter.h"
#include "launcher/button/image.h"
#include "launcher/button/pictures.h"
#include "launcher/button/property_bag.h"

namespace button {

// Mouse buttons numbered as the button's handlers have always seen them.
enum class MouseButton : int { Left = 1, Right = 2, Middle = 4 };

// Values of ButtonState. 0 until Initialize.
namespace state {
constexpr uint8_t Uninitialized = 0;
constexpr uint8_t Normal = 1;           // no focus, pointer not over the button
constexpr uint8_t HighLight = 2;        // no focus, pointer over the button
constexpr uint8_t Selected = 3;         // focus, pointer not over the button
constexpr uint8_t HighLightSelect = 4;  // focus, pointer over the button
}  // namespace state

enum class Backdrop { Opaque, Transparent };

// LblMsg, the caption: a windowless label drawn above the face. The button
// keeps no copy of its text, font or colour; they live here.
struct CaptionLabel {
  static constexpr int kHeightTwips = 195;  // 13 pixels

  std::string text = "Command";
  std::shared_ptr<CaptionFont> font = std::make_shared<CaptionFont>();
  uint32_t colour = 0;  // 0x00BBGGRR or a system colour
  bool enabled = true;  // false: drawn greyed
  // Placed by every face paint: left edge 0, width of the button.
  int topTwips = 0;
  int widthTwips = 0;

  // Top edge in pixels, rounded to the nearest pixel.
  int topPixels() const;
};

// What the button needs from the window that shows it and from its dialog.
// Every method has a harmless default, so tests override only what they watch.
class CommandHost {
 public:
  virtual ~CommandHost() = default;
  // The image or the caption changed: show them again.
  virtual void refresh() {}
  // A persisted property changed, so the dialog's layout should be saved.
  virtual void propertyChanged(const std::string& name) { (void)name; }
  // The font of the container, the default for a set without "Font".
  virtual CaptionFont ambientFont() const { return CaptionFont{}; }
  // Start (or restart) TmrMouse: call pointerWatch every `intervalMs`.
  virtual void startPointerWatch(int intervalMs) { (void)intervalMs; }
  // The Click event. The button's handling of the release is complete when
  // this runs; nothing of the button is touched afterwards.
  virtual void click() {}
};

// Default of "Caption" both when saving and when loading. A missing caption
// has always loaded as "Command1"; saving with the same default keeps every
// caption, "Command" included, unchanged through a save and a load.
extern const char* const kCaptionDefault;

class Command {
 public:
  static constexpr int kPointerWatchMs = 100;

  // A fresh button: disabled, FirstRun 0, ButtonState 0, nothing painted.
  // `host` (may be null) must outlive the button.
  explicit Command(CommandHost* host = nullptr);

  // --- Operations of the dialog -------------------------------------------
  // State Normal and the pointer watch running. Nothing is painted.
  void Initialize();

  // Enabled. The write stores, notifies "Enabled" and repaints (Normal or
  // Disable). The read has side effects too: on a button whose FirstRun is 0
  // it turns the button enabled first; every read repaints like a write.
  bool Enabled();
  void Enabled(bool value);

  // Caption text. The write notifies "Caption"; the face is not repainted.
  std::string Caption() const;
  void Caption(const std::string& text);

  // The caption's font object itself (not a copy). Replacing it notifies "Font".
  std::shared_ptr<CaptionFont> Font() const;
  void Font(std::shared_ptr<CaptionFont> font);

  // Caption colour. Both the write and the read repaint Normal (when enabled);
  // a write of a colour no caption can take only repaints.
  uint32_t FontColour();
  void FontColour(uint32_t colour);

  // The backdrop: read 0 when transparent, else 255 (and a repaint); written
  // nonzero it turns opaque and repaints, written 0 transparent.
  uint8_t Visible();
  void Visible(uint8_t value);

  // The persisted property set.
  void load(const PropertyBag& bag);
  void save(PropertyBag& bag);

  // --- Events of the platform ---------------------------------------------
  void mouseDown(MouseButton which);
  void mouseMove();
  // May raise Click as its very last step.
  void mouseUp(MouseButton which);
  void focusGained();
  void focusLost();
  // The control's size in pixels; repaints through ApplyEnabled.
  void sizeChanged(int width, int height);
  // One TmrMouse tick: whether the window under the pointer is the button's.
  void pointerWatch(bool pointerOverButton);

  // --- The button's own routines ------------------------------------------
  void PaintFace(Picture which);
  void FillGradient();
  void ApplyEnabled();
  void RestoreNormal();
  void MouseLeave();

  // --- Read without side effects ------------------------------------------
  uint8_t buttonState() const { return buttonState_; }
  bool leftDown() const { return leftDown_; }
  bool reverseGradient() const { return reverseGradient_; }
  bool enabledFlag() const { return enabled_; }
  uint8_t firstRun() const { return firstRun_; }
  Backdrop backdrop() const { return backdrop_; }
  bool pointerWatchRunning() const { return pointerWatchRunning_; }
  const CaptionLabel& caption() const { return caption_; }
  // The drawing surface: what the window shows under the caption.
  const Image& surface() const { return surface_; }
  // The picture of the last face paint and how many paints there were.
  Picture shownPicture() const { return shownPicture_; }
  int paintCount() const { return paintCount_; }

 private:
  CommandHost& host() const;
  void placeCaption();

  CommandHost* host_;
  bool enabled_ = false;
  uint8_t firstRun_ = 0;
  uint8_t buttonState_ = state::Uninitialized;
  bool leftDown_ = false;
  bool reverseGradient_ = false;
  Backdrop backdrop_ = Backdrop::Opaque;
  bool pointerWatchRunning_ = false;
  CaptionLabel caption_;
  Image surface_;
  Picture shownPicture_ = Picture::Normal;
  int paintCount_ = 0;
};

}  // namespace button
