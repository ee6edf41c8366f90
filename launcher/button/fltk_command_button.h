// CommandButton: the FLTK view of the gradient push button ("Kelvara.Command").
//
// Each button is its own child window (an Fl_Double_Window inside the dialog),
// so the X window under the pointer tells the button apart from the dialog
// and from other buttons; the caption is drawn inside that window, so the
// pointer over the caption counts as over the button. The view only feeds
// mouse, focus, size and timer events to the rules (command.h) and shows the
// rules' face image with the caption above it.
//
// Use from a dialog:
//
//   dialog->begin();
//   auto* set = new button::CommandButton(320, 200, 73, 25, "設定");
//   dialog->end();
//   button::PropertyBag layout;               // what the dialog's layout data holds
//   layout.set("Caption", std::string("設定"));
//   layout.set("Font", button::CaptionFont{});
//   set->load(layout);                        // enabled, black caption, Normal face
//   set->onClick([](button::CommandButton&) { /* save and close */ });
//   set->Initialize();                        // hover look from now on
//
// Notes for hosts:
// - Call load() (or read Enabled()) before use: a fresh button is disabled
//   until one of them has run, as the control has always been.
// - load() sets the caption from the set; a set without "Caption" gives
//   "Command1", whatever the constructor was given.
// - Reading Enabled(), FontColour() or Visible() repaints the face (and the
//   first Enabled() read of a never-loaded button enables it). To look at the
//   state without side effects use rules().
// - The Click handler runs as the very last step of the button's handling;
//   it may hide the dialog. Do not delete the button from inside it (use
//   Fl::delete_widget, which deletes later).
// - Keys do nothing on the button; Tab moves on to the next widget.
// - The caption is drawn in IPA P Gothic; labels of the dialog should take
//   their fonts from fltk_font.h too.
// - FLTK takes the focus from every widget while the dialog is not the
//   active window, so a focused button shows Normal then, and Selected again
//   when the dialog comes back.
#pragma once

#include <FL/Fl_Double_Window.H>

#include <functional>
#include <memory>
#include <string>

#include "launcher/button/command.h"

namespace button {

class CommandButton : public Fl_Double_Window, private CommandHost {
 public:
  using ClickHandler = std::function<void(CommandButton&)>;
  using PropertyChangedHandler = std::function<void(CommandButton&, const std::string& name)>;

  // A child window at (x, y) of the current group (the dialog between begin()
  // and end()), w x h pixels, showing `caption`. Like every fresh button it is
  // disabled, shows the Disable face and has no hover look yet.
  CommandButton(int x, int y, int w, int h, const char* caption = "Command");
  ~CommandButton() override;

  // --- The button's operations (see command.h for their exact effects) ----
  void load(const PropertyBag& bag) { rules_.load(bag); }
  void save(PropertyBag& bag) { rules_.save(bag); }
  // Starts the 100 ms pointer watch (TmrMouse). Call once after load.
  void Initialize() { rules_.Initialize(); }

  bool Enabled() { return rules_.Enabled(); }
  void Enabled(bool value) { rules_.Enabled(value); }
  std::string Caption() const { return rules_.Caption(); }
  void Caption(const std::string& text) { rules_.Caption(text); }
  std::shared_ptr<CaptionFont> Font() const { return rules_.Font(); }
  void Font(std::shared_ptr<CaptionFont> font) { rules_.Font(std::move(font)); }
  uint32_t FontColour() { return rules_.FontColour(); }
  void FontColour(uint32_t colour) { rules_.FontColour(colour); }
  uint8_t Visible() { return rules_.Visible(); }
  void Visible(uint8_t value) { rules_.Visible(value); }

  // The Click event.
  void onClick(ClickHandler handler) { clickHandler_ = std::move(handler); }
  // Told the name of each persisted property that changes.
  void onPropertyChanged(PropertyChangedHandler handler) { changedHandler_ = std::move(handler); }
  // The container's font: what a set without "Font" loads. Default: the
  // dialogs' "ＭＳ Ｐゴシック" at 9.75 points.
  void setAmbientFont(const CaptionFont& font) { ambientFont_ = font; }

  // The rules and state, read without side effects.
  const Command& rules() const { return rules_; }

  // FLTK overrides.
  int handle(int event) override;
  void draw() override;
  void resize(int x, int y, int w, int h) override;

 private:
  // CommandHost.
  void refresh() override;
  void propertyChanged(const std::string& name) override;
  CaptionFont ambientFont() const override { return ambientFont_; }
  void startPointerWatch(int intervalMs) override;
  void click() override;

  static void onTimer(void* self);
  void watchPointer();
  void drawCaption();
  // Feeds a pointer move to the rules and remembers where it was.
  void pointerMoved();

  Command rules_;
  ClickHandler clickHandler_;
  PropertyChangedHandler changedHandler_;
  CaptionFont ambientFont_;
  double watchInterval_ = 0.1;
  // FLTK may announce one focus change twice (take_focus, then Fl::focus);
  // the rules must see it once.
  bool hasFocus_ = false;
  // Screen position of the last move the rules were told about.
  int lastMoveX_ = -1000000;
  int lastMoveY_ = -1000000;
};

}  // namespace button
